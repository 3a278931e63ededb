#include "analysis/MultipleComparisons.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mirelock::analysis {

namespace {
// q_0.05 for k = 2..10 (Demsar, J. Mach. Learn. Res. 7 (2006), table 5a).
constexpr double kNemenyiQ005[] = {1.960, 2.343, 2.569, 2.728, 2.850, 2.949, 3.031, 3.102, 3.164};
}  // namespace

std::vector<double> HolmAdjusted(const std::vector<double>& pValues) {
  const std::size_t m = pValues.size();
  std::vector<std::size_t> order(m);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return pValues[a] < pValues[b]; });
  std::vector<double> adjusted(m);
  double running = 0;
  for (std::size_t i = 0; i < m; ++i) {
    running = std::max(running, std::min(1.0, static_cast<double>(m - i) * pValues[order[i]]));
    adjusted[order[i]] = running;
  }
  return adjusted;
}

std::optional<double> NemenyiCriticalDifference(std::size_t treatments, std::size_t blocks) {
  if (treatments < 2 || treatments > 10 || blocks == 0) return std::nullopt;
  const double k = static_cast<double>(treatments);
  return kNemenyiQ005[treatments - 2] * std::sqrt(k * (k + 1) / (6 * static_cast<double>(blocks)));
}

}  // namespace mirelock::analysis
