#include "analysis/ExpectedRunningTime.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace mirelock::analysis {

namespace {

double EffortOf(const RunEffort& run, EffortUnit unit) {
  return unit == EffortUnit::kRepairs ? run.repairs : run.cpuSeconds;
}

// Type 7 quantile of sorted values that may end in infinities.
double SortedQuantile(const std::vector<double>& sorted, double q) {
  const double position = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(position));
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  const double fraction = position - static_cast<double>(below);
  if (fraction == 0 || sorted[below] == sorted[above]) return sorted[below];
  if (std::isinf(sorted[above])) return kNeverHit;
  return sorted[below] + fraction * (sorted[above] - sorted[below]);
}

}  // namespace

double ExpectedRunningTime(const std::vector<RunEffort>& runs, EffortUnit unit) {
  double total = 0;
  std::size_t successes = 0;
  for (const RunEffort& run : runs) {
    total += EffortOf(run, unit);
    if (run.hit) ++successes;
  }
  return successes == 0 ? kNeverHit : total / static_cast<double>(successes);
}

ErtEstimate EstimateErt(const std::vector<RunEffort>& runs, EffortUnit unit, unsigned resamples, std::uint64_t seed) {
  ErtEstimate estimate;
  estimate.runs = runs.size();
  estimate.successes = static_cast<std::size_t>(std::count_if(runs.begin(), runs.end(), [](const RunEffort& run) {
    return run.hit;
  }));
  estimate.ert = ExpectedRunningTime(runs, unit);
  if (runs.empty() || resamples == 0) return estimate;
  std::mt19937_64 generator(seed);
  std::vector<double> erts;
  erts.reserve(resamples);
  std::vector<RunEffort> resample(runs.size());
  for (unsigned b = 0; b < resamples; ++b) {
    for (RunEffort& drawn : resample) drawn = runs[generator() % runs.size()];
    erts.push_back(ExpectedRunningTime(resample, unit));
  }
  std::sort(erts.begin(), erts.end());
  estimate.low = SortedQuantile(erts, 0.025);
  estimate.high = SortedQuantile(erts, 0.975);
  return estimate;
}

}  // namespace mirelock::analysis
