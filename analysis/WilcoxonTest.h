#pragma once
#include <cstddef>
#include <optional>
#include <vector>

namespace mirelock::analysis {

// The two-sided Wilcoxon signed-rank test of paired samples, computed as R's
// wilcox.test(x, y, paired = TRUE, exact = NULL, correct = TRUE) computes it,
// so that every figure can be checked there:
// - zero differences are dropped; the absolute differences left get mid-ranks;
// - V is the rank sum of the positive differences;
// - with fewer than 50 differences left, no tied absolute differences and no
//   zero dropped, p is exact (the distribution of V over all 2^n sign
//   patterns);
// - otherwise p comes from the normal approximation with the variance
//   corrected for ties and a continuity correction of 0.5;
// - when no pair differs there is no p-value at all (R gives NA).
struct WilcoxonResult {
  enum class Method { kNone, kExact, kNormalApproximation };

  std::size_t pairs = 0;       // non-zero differences used
  std::size_t zeros = 0;       // zero differences dropped
  bool tiedDifferences = false;  // some absolute differences are equal
  double positiveRankSum = 0;  // V: rank sum of the pairs where x > y
  double negativeRankSum = 0;
  Method method = Method::kNone;
  double z = 0;                   // normal approximation only
  std::optional<double> pValue;  // none when no pair differs
};

WilcoxonResult WilcoxonSignedRank(const std::vector<double>& x, const std::vector<double>& y);

// The same test given the differences x - y themselves; an exact 0 is a zero difference.
WilcoxonResult WilcoxonSignedRankOfDifferences(const std::vector<double>& differences);

// P(V <= v) for n untied pairs under the null hypothesis: the exact lower tail.
double WilcoxonExactLowerTail(std::size_t n, double v);

}  // namespace mirelock::analysis
