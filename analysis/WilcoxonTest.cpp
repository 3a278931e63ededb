#include "analysis/WilcoxonTest.h"

#include <algorithm>
#include <cmath>

#include <boost/math/distributions/normal.hpp>

#include "analysis/Ranking.h"

namespace mirelock::analysis {

namespace {

// Below this many differences the exact distribution is used (R's exact = NULL).
constexpr std::size_t kExactLimit = 50;

// counts[s]: the number of subsets of {1..n} whose sum is s. Below 2^50, so doubles hold them exactly.
std::vector<double> SubsetSumCounts(std::size_t n) {
  const std::size_t maxSum = n * (n + 1) / 2;
  std::vector<double> counts(maxSum + 1, 0.0);
  counts[0] = 1;
  for (std::size_t i = 1; i <= n; ++i)
    for (std::size_t s = maxSum; s >= i; --s) counts[s] += counts[s - i];
  return counts;
}

}  // namespace

double WilcoxonExactLowerTail(std::size_t n, double v) {
  const auto counts = SubsetSumCounts(n);
  const double total = std::ldexp(1.0, static_cast<int>(n));
  double below = 0;
  for (std::size_t s = 0; s < counts.size() && static_cast<double>(s) <= v + 1e-9; ++s) below += counts[s];
  return below / total;
}

WilcoxonResult WilcoxonSignedRank(const std::vector<double>& x, const std::vector<double>& y) {
  std::vector<double> differences;
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) differences.push_back(x[i] - y[i]);
  return WilcoxonSignedRankOfDifferences(differences);
}

WilcoxonResult WilcoxonSignedRankOfDifferences(const std::vector<double>& all) {
  WilcoxonResult result;
  std::vector<double> differences;
  for (double d : all) {
    if (d == 0)
      ++result.zeros;
    else
      differences.push_back(d);
  }
  const std::size_t n = differences.size();
  result.pairs = n;
  if (n == 0) return result;

  std::vector<double> magnitudes;
  for (double d : differences) magnitudes.push_back(std::fabs(d));
  const auto ranks = MidRanks(magnitudes);
  for (std::size_t i = 0; i < n; ++i) (differences[i] > 0 ? result.positiveRankSum : result.negativeRankSum) += ranks[i];

  const double ties = TieCorrectionSum(magnitudes);
  result.tiedDifferences = ties != 0;
  const double v = result.positiveRankSum;
  const double nd = static_cast<double>(n);
  if (n < kExactLimit && !result.tiedDifferences && result.zeros == 0) {
    result.method = WilcoxonResult::Method::kExact;
    // The null distribution is symmetric about n(n+1)/4: the upper tail of v is the lower tail of its mirror.
    const double lower = WilcoxonExactLowerTail(n, v);
    const double upper = WilcoxonExactLowerTail(n, nd * (nd + 1) / 2 - v);
    result.pValue = std::min(1.0, 2 * std::min(lower, upper));
    return result;
  }
  result.method = WilcoxonResult::Method::kNormalApproximation;
  const double mean = nd * (nd + 1) / 4;
  const double variance = nd * (nd + 1) * (2 * nd + 1) / 24 - ties / 48;
  const double deviation = v - mean;
  // One difference, or all tied: the variance is still positive for n >= 1 (ties reduce it to n(n+1)/8 at
  // most), so this is a guard against rounding only.
  if (!(variance > 0)) {
    result.pValue = 1;
    return result;
  }
  const double continuity = deviation > 0 ? 0.5 : (deviation < 0 ? -0.5 : 0);
  result.z = (deviation - continuity) / std::sqrt(variance);
  const boost::math::normal standard;
  result.pValue = std::min(1.0, 2 * boost::math::cdf(boost::math::complement(standard, std::fabs(result.z))));
  return result;
}

}  // namespace mirelock::analysis
