#pragma once
#include <vector>

namespace mirelock::analysis {

// Ranks 1..n of the values, smallest first; tied values share the mean of the
// ranks they occupy (mid-ranks), so the ranks always sum to n(n+1)/2.
std::vector<double> MidRanks(const std::vector<double>& values);

// Sum over the groups of tied values of t^3 - t (t the group size): the
// term by which rank tests correct their variance for ties.
double TieCorrectionSum(const std::vector<double>& values);

}  // namespace mirelock::analysis
