#include "analysis/PerformanceProfile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirelock::analysis {

double PerformanceProfile::At(double tau) const {
  if (ratios.empty()) return 0;
  const auto reached = std::upper_bound(ratios.begin(), ratios.end(), tau) - ratios.begin();
  return static_cast<double>(reached) / static_cast<double>(ratios.size());
}

std::vector<PerformanceProfile> MakePerformanceProfiles(const std::vector<std::vector<double>>& ert) {
  const double infinity = std::numeric_limits<double>::infinity();
  std::size_t experiments = 0;
  for (const auto& row : ert) experiments = std::max(experiments, row.size());
  std::vector<PerformanceProfile> profiles(experiments);
  for (const auto& row : ert) {
    double best = infinity;
    for (double value : row) best = std::min(best, value);
    for (std::size_t e = 0; e < experiments; ++e) {
      const double value = e < row.size() ? row[e] : infinity;
      profiles[e].ratios.push_back(std::isinf(best) || std::isinf(value) ? infinity : value / best);
    }
  }
  for (PerformanceProfile& profile : profiles) std::sort(profile.ratios.begin(), profile.ratios.end());
  return profiles;
}

}  // namespace mirelock::analysis
