#include "analysis/AnytimeEcdf.h"

#include <algorithm>
#include <cmath>

namespace mirelock::analysis {

double AggregatedEcdf::At(double repairs) const {
  double fraction = 0;
  for (const Hit& hit : hits)
    if (hit.repairs <= repairs) fraction += hit.weight;
  return fraction;
}

AggregatedEcdf MakeAggregatedEcdf(const FixedTargetEfforts& efforts, std::size_t experiment) {
  std::size_t pairs = 0;
  for (const auto& problem : efforts.efforts)
    if (experiment < problem.size())
      for (const auto& runs : problem[experiment])
        if (!runs.empty()) ++pairs;
  AggregatedEcdf ecdf;
  for (const auto& problem : efforts.efforts) {
    if (experiment >= problem.size()) continue;
    for (const auto& runs : problem[experiment])
      for (const RunEffort& run : runs)
        if (run.hit)
          ecdf.hits.push_back({std::max(1.0, run.repairs), 1.0 / static_cast<double>(pairs * runs.size())});
  }
  std::sort(ecdf.hits.begin(), ecdf.hits.end(), [](const auto& a, const auto& b) { return a.repairs < b.repairs; });
  return ecdf;
}

double EcdfArea(const AggregatedEcdf& ecdf, double maxBudget) {
  if (maxBudget <= 1) return ecdf.At(1);
  const double span = std::log10(maxBudget);
  double area = 0;
  for (const auto& hit : ecdf.hits)
    if (hit.repairs <= maxBudget) area += hit.weight * (1 - std::log10(hit.repairs) / span);
  return area;
}

}  // namespace mirelock::analysis
