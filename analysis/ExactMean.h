#pragma once
#include <compare>
#include <cstdint>
#include <vector>

namespace mirelock::analysis {

// The mean of a list of run values, kept so that two means compare exactly:
// the solvers write costs, weights and repair counts as integers, so a mean is
// the fraction (integer sum) / count, and fractions compare by cross
// multiplication. A floating-point sum would depend on the order of the runs
// (the same runs in another order can differ in the last bit) and turn a tie
// into a rank difference. Values that are not integers (a file edited by hand)
// fall back to a floating-point sum taken in sorted order, which at least does
// not depend on the order of the runs.
class ExactMean {
 public:
  ExactMean() = default;
  explicit ExactMean(std::vector<double> values);

  bool Empty() const { return count_ == 0; }
  std::uint64_t Count() const { return count_; }
  // The mean, correctly rounded from the exact fraction: equal means give equal doubles.
  double Value() const;

  // a - b as a double: exactly 0 when the means are equal, and the same double
  // for equal exact differences (the fraction is reduced before it is divided).
  friend double Difference(const ExactMean& a, const ExactMean& b);
  friend std::strong_ordering Compare(const ExactMean& a, const ExactMean& b);
  friend bool operator==(const ExactMean& a, const ExactMean& b) { return Compare(a, b) == 0; }

 private:
  bool exact_ = true;
  __int128 sum_ = 0;    // exact mode
  double floatSum_ = 0;  // otherwise, summed in sorted order
  std::uint64_t count_ = 0;
};

// Ranks 1..n of the means, smallest first, with mid-ranks for exact ties.
std::vector<double> MidRanks(const std::vector<ExactMean>& means);

}  // namespace mirelock::analysis
