#pragma once
#include <limits>

namespace mirelock::analysis {

inline constexpr double kNeverHit = std::numeric_limits<double>::infinity();

// What one run spent to reach one target: the effort at the first new best that reached it, or,
// for a run that never did, the whole run's effort with `hit` false.
struct RunEffort {
  bool hit = false;
  double repairs = kNeverHit;
  double cpuSeconds = kNeverHit;
};

}  // namespace mirelock::analysis
