#include "analysis/MultipleComparisons.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/StudentizedRange.h"

namespace mirelock::analysis {

std::vector<std::optional<double>> HolmAdjusted(const std::vector<std::optional<double>>& pValues) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < pValues.size(); ++i)
    if (pValues[i]) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return *pValues[a] < *pValues[b]; });
  const std::size_t m = order.size();
  std::vector<std::optional<double>> adjusted(pValues.size());
  double running = 0;
  for (std::size_t i = 0; i < m; ++i) {
    running = std::max(running, std::min(1.0, static_cast<double>(m - i) * *pValues[order[i]]));
    adjusted[order[i]] = running;
  }
  return adjusted;
}

double NemenyiQ(std::size_t treatments, double alpha) {
  return StudentizedRangeQuantile(1 - alpha, treatments) / std::sqrt(2.0);
}

std::optional<double> NemenyiCriticalDifference(std::size_t treatments, std::size_t blocks, double alpha) {
  if (treatments < 2 || blocks == 0) return std::nullopt;
  const double k = static_cast<double>(treatments);
  return NemenyiQ(treatments, alpha) * std::sqrt(k * (k + 1) / (6 * static_cast<double>(blocks)));
}

}  // namespace mirelock::analysis
