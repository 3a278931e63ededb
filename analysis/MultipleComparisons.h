#pragma once
#include <cstddef>
#include <optional>
#include <vector>

namespace mirelock::analysis {

// Holm's step-down adjustment of m p-values: the i-th smallest is multiplied
// by m - i + 1, then made non-decreasing in that order and capped at 1.
// Returned in the order of the input.
std::vector<double> HolmAdjusted(const std::vector<double>& pValues);

// The Nemenyi test's critical difference of mean ranks at alpha = 0.05 for k
// treatments over N blocks: q * sqrt(k (k + 1) / (6 N)), with q the
// studentized range quantile divided by sqrt(2). Boost.Math has no
// studentized range distribution, so q comes from the table Demsar (2006)
// gives for k = 2..10; beyond it there is no value.
std::optional<double> NemenyiCriticalDifference(std::size_t treatments, std::size_t blocks);

}  // namespace mirelock::analysis
