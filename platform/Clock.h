#pragma once
#include <cstdint>

namespace mirelock {

// Milliseconds of processor time used by the calling thread. Run times are
// reported as CPU seconds, so a paused run or a busy neighbour thread must not
// inflate them: wall time since process start would do both.
long ClockMilliseconds();

// Calendar time in whole seconds, for seeding from the time of day.
std::uint32_t TimeSeconds();

}  // namespace mirelock
