#include "platform/Clock.h"

#include <ctime>

namespace mirelock {

long ClockMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<long>(now.tv_sec) * 1000L + now.tv_nsec / 1000000L;
}

std::uint32_t SeedFromSeconds(std::uint64_t seconds) { return static_cast<std::uint32_t>(seconds << 1) | 1u; }

std::uint32_t TimeSeed() { return SeedFromSeconds(static_cast<std::uint64_t>(std::time(nullptr))); }

}  // namespace mirelock
