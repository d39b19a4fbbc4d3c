// The currency type: a 64-bit count of ten-thousandths (four decimal places).
#pragma once

#include <cstdint>

namespace platform {

struct Currency {
    std::int64_t tenThousandths = 0;

    static constexpr Currency FromWhole(std::int64_t n) { return Currency{n * 10000}; }
    constexpr double ToDouble() const { return static_cast<double>(tenThousandths) / 10000.0; }
    friend constexpr bool operator==(Currency, Currency) = default;
};

// A double made currency: rounded to four places, halves to the even one;
// error 6 when it does not fit.
Currency CurrencyFromDouble(double value);

}  // namespace platform
