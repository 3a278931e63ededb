#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace mirelock {

// floor(x + 0.5), clamped to the range of a signed 64-bit integer (NaN gives 0).
inline std::int64_t RoundHalfUp(double x) {
  const double rounded = std::floor(x + 0.5);
  if (!(rounded == rounded)) return 0;
  if (rounded >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (rounded <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(rounded);
}

}  // namespace mirelock
