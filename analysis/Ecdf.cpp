#include "analysis/Ecdf.h"

#include <algorithm>

namespace mirelock::analysis {

double EffortDistribution::At(double x) const {
  // The last step at or below x.
  const auto after = std::upper_bound(steps.begin(), steps.end(), x,
                                      [](double value, const Step& step) { return value < step.effort; });
  return after == steps.begin() ? 0.0 : std::prev(after)->fraction;
}

EffortDistribution MakeEffortDistribution(std::vector<double> efforts, std::size_t runs) {
  EffortDistribution distribution;
  distribution.runs = std::max(runs, efforts.size());
  distribution.successes = efforts.size();
  if (distribution.runs == 0) return distribution;
  std::sort(efforts.begin(), efforts.end());
  const double total = static_cast<double>(distribution.runs);
  for (std::size_t i = 0; i < efforts.size(); ++i) {
    // Only the last of equal efforts makes a step, at the count including all of them.
    if (i + 1 < efforts.size() && efforts[i + 1] == efforts[i]) continue;
    distribution.steps.push_back({efforts[i], static_cast<double>(i + 1) / total});
  }
  return distribution;
}

double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double position = std::clamp(q, 0.0, 1.0) * static_cast<double>(values.size() - 1);
  const std::size_t below = static_cast<std::size_t>(position);
  if (below + 1 >= values.size()) return values.back();
  const double fraction = position - static_cast<double>(below);
  return values[below] + fraction * (values[below + 1] - values[below]);
}

double Median(std::vector<double> values) { return Quantile(std::move(values), 0.5); }

}  // namespace mirelock::analysis
