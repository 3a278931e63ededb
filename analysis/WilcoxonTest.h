#pragma once
#include <cstddef>
#include <vector>

namespace mirelock::analysis {

// The Wilcoxon signed-rank test of paired samples x and y (two-sided).
// Zero differences are dropped (Wilcoxon's own rule); the absolute
// differences get mid-ranks. With fewer than 50 pairs left and no tied
// absolute differences the p-value is exact, from the distribution of the
// rank sum over all 2^n sign patterns; otherwise it comes from the normal
// approximation with the variance corrected for ties and a continuity
// correction of 0.5. These are the conventions of R's wilcox.test, so the
// figures can be checked there.
struct WilcoxonResult {
  std::size_t pairs = 0;     // non-zero differences used
  std::size_t zeros = 0;     // zero differences dropped
  double positiveRankSum = 0;  // V: rank sum of the pairs where x > y
  double negativeRankSum = 0;
  bool exact = false;
  double z = 0;       // normal approximation only
  double pValue = 1;  // 1 when no pair differs
};

WilcoxonResult WilcoxonSignedRank(const std::vector<double>& x, const std::vector<double>& y);

// P(V <= v) for n untied pairs under the null hypothesis: the exact lower tail.
double WilcoxonExactLowerTail(std::size_t n, double v);

}  // namespace mirelock::analysis
