#include "analysis/Ranking.h"

#include <algorithm>
#include <numeric>

namespace mirelock::analysis {

namespace {

// Calls group(first, last) for each run [first, last) of equal values in the sorted order.
template <typename Group>
void ForEachTieGroup(const std::vector<double>& values, const std::vector<std::size_t>& order, Group group) {
  for (std::size_t first = 0; first < order.size();) {
    std::size_t last = first + 1;
    while (last < order.size() && values[order[last]] == values[order[first]]) ++last;
    group(first, last);
    first = last;
  }
}

std::vector<std::size_t> SortedOrder(const std::vector<double>& values) {
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
  return order;
}

}  // namespace

std::vector<double> MidRanks(const std::vector<double>& values) {
  const auto order = SortedOrder(values);
  std::vector<double> ranks(values.size());
  ForEachTieGroup(values, order, [&](std::size_t first, std::size_t last) {
    // Positions first..last-1 hold ranks first+1..last; their mean:
    const double mid = (static_cast<double>(first + 1) + static_cast<double>(last)) / 2;
    for (std::size_t i = first; i < last; ++i) ranks[order[i]] = mid;
  });
  return ranks;
}

double TieCorrectionSum(const std::vector<double>& values) {
  double sum = 0;
  ForEachTieGroup(values, SortedOrder(values), [&](std::size_t first, std::size_t last) {
    const double t = static_cast<double>(last - first);
    sum += t * t * t - t;
  });
  return sum;
}

}  // namespace mirelock::analysis
