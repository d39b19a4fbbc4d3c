#include "platform/Currency.h"

#include <cfenv>
#include <cmath>

#include "platform/Errors.h"

namespace platform {

Currency CurrencyFromDouble(double value) {
    double scaled = value * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2233720368547758e18) {
        Raise(err::Overflow);
    }
    // nearbyint rounds halves to even in the default rounding mode.
    return Currency{static_cast<std::int64_t>(std::nearbyint(scaled))};
}

}  // namespace platform
