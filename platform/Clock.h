#pragma once
#include <cstdint>

namespace mirelock {

// Milliseconds of processor time used by the calling thread. Run times are
// reported as CPU seconds, so a paused run or a busy neighbour thread must not
// inflate them: wall time since process start would do both.
long ClockMilliseconds();

// The seed of the "time" seed mode at `seconds` since the epoch: twice the
// seconds plus one, modulo 2^32. Solvers seed run r with seed * r; an odd
// seed keeps that nonzero and different for every run, where the bare time
// gave 0 for every run whenever it was a multiple of 2^32 (and repeated a
// seed across runs at other powers of two). Consecutive seconds still give
// different seeds, for 68 years.
std::uint32_t SeedFromSeconds(std::uint64_t seconds);
// SeedFromSeconds of now.
std::uint32_t TimeSeed();

}  // namespace mirelock
