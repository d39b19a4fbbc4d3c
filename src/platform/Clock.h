// The time of day and the process-wide random generator.
#pragma once

#include <cstdint>

namespace platform {

// Seconds since local midnight, single precision, with its fraction.
float Timer();

// One draw of the process-wide generator: 0 <= r < 1.
float Rnd();
// Mixes the number into the generator's state: reseeding twice from the same
// number does not repeat the draws.
void Randomize(double seed);
// Reseeds from the time of day.
inline void RandomizeFromClock() { Randomize(Timer()); }

}  // namespace platform
