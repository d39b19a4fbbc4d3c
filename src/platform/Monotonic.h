// A clock that only moves forward, for measuring how long a run has taken.
#pragma once

#include <functional>

namespace platform {

// Seconds since an arbitrary fixed point; never goes back, unaffected by
// changes of the time of day.
double MonotonicSeconds();

namespace hooks {
// Tests set the clock's reading; an empty function goes back to the system's.
// Called on the UI thread (the yield and the free-space clock read it).
void SetMonotonicClock(std::function<double()> clock);
}  // namespace hooks

}  // namespace platform
