#pragma once
#include <cstdint>
#include <vector>

#include "analysis/RunEffort.h"

namespace mirelock::analysis {

// How many bootstrap resamples an ERT interval is taken from, and the seed that makes it reproducible.
inline constexpr unsigned kErtResamples = 1000;
inline constexpr std::uint64_t kErtBootstrapSeed = 20020101;

enum class EffortUnit { kRepairs, kCpuSeconds };

// The expected running time to a target: the effort of all runs (a run that reached the target
// counts its effort to it, one that did not its whole run) divided by the runs that reached it.
// Infinite when none did or there are no runs.
double ExpectedRunningTime(const std::vector<RunEffort>& runs, EffortUnit unit);

struct ErtEstimate {
  double ert = kNeverHit;
  double low = kNeverHit;   // 2.5 % percentile of the bootstrap ERTs
  double high = kNeverHit;  // 97.5 % percentile (infinite when resamples without a success are that common)
  std::size_t successes = 0;
  std::size_t runs = 0;
};

// ERT with a percentile bootstrap 95 % interval: `resamples` times, as many runs as there are
// drawn with replacement (a 64-bit Mersenne twister seeded with `seed`, index = draw mod runs),
// the resample's ERT taken, and the 2.5 and 97.5 % quantiles of those (type 7, an infinite ERT
// sorting last).
ErtEstimate EstimateErt(const std::vector<RunEffort>& runs, EffortUnit unit, unsigned resamples = kErtResamples,
                        std::uint64_t seed = kErtBootstrapSeed);

}  // namespace mirelock::analysis
