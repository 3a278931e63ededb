#pragma once
#include <cstddef>
#include <optional>
#include <vector>

namespace mirelock::analysis {

// Holm's step-down adjustment of m p-values: the i-th smallest is multiplied
// by m - i + 1, then made non-decreasing in that order and capped at 1.
// Returned in the order of the input. Missing p-values (a pair with no
// difference at all) stay missing and do not count in m, as R's p.adjust
// treats NA.
std::vector<std::optional<double>> HolmAdjusted(const std::vector<std::optional<double>>& pValues);

// The studentized range quantile for k treatments and infinite degrees of
// freedom divided by sqrt(2): q_alpha(k, Inf) / sqrt(2), the Nemenyi test's q.
double NemenyiQ(std::size_t treatments, double alpha);

// The Nemenyi test's critical difference of mean ranks for k treatments over
// N blocks: q * sqrt(k (k + 1) / (6 N)). None for k < 2 or N = 0.
std::optional<double> NemenyiCriticalDifference(std::size_t treatments, std::size_t blocks, double alpha = 0.05);

}  // namespace mirelock::analysis
