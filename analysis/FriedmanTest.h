#pragma once
#include <cstddef>
#include <optional>
#include <vector>

namespace mirelock::analysis {

// The Friedman test of k treatments over N blocks (experiments over
// problems): are the mean ranks further apart than chance would put them?
struct FriedmanResult {
  std::size_t blocks = 0;      // N
  std::size_t treatments = 0;  // k
  std::vector<double> meanRanks;
  double chiSquare = 0;  // corrected for ties within blocks
  double pValue = 1;     // chi-square with k-1 degrees of freedom
  // Iman and Davenport's F form of the statistic, less conservative than the
  // chi-square one; absent when the blocks agree perfectly (F is infinite).
  std::optional<double> imanDavenportF;
  double imanDavenportPValue = 0;  // F with k-1 and (k-1)(N-1) degrees of freedom
};

// `scores[b][t]`: lower is better; each block is ranked with mid-ranks. Needs
// N >= 2 and k >= 2 (otherwise nothing).
std::optional<FriedmanResult> Friedman(const std::vector<std::vector<double>>& scores);

// The untied statistic and its p-values from mean ranks alone, as tables of
// published comparisons give them.
FriedmanResult FriedmanFromMeanRanks(const std::vector<double>& meanRanks, std::size_t blocks);

}  // namespace mirelock::analysis
