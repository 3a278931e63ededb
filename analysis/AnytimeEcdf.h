#pragma once
#include <vector>

#include "analysis/FixedTargets.h"

namespace mirelock::analysis {

// The ECDF of running times aggregated over (problem, target) pairs, as the benchmarking
// frameworks draw it: at a budget x, the fraction of (problem, target, run) triples whose run
// reached the target within x repairs, each (problem, target) pair weighing the same. Its area
// under the curve over log10 of the budget from 1 to `maxBudget` (the area divided by
// log10 maxBudget, so between 0 and 1) is one figure of anytime performance: 1 for an experiment
// whose runs reach every target at once, 0 for one that reaches none.
struct AggregatedEcdf {
  struct Hit {
    double repairs;  // at least 1
    double weight;   // 1 / (pairs x runs of its pair)
  };
  std::vector<Hit> hits;  // ascending in repairs
  double At(double repairs) const;
};

// For experiment `experiment`: the pairs of every problem with efforts, and every target.
AggregatedEcdf MakeAggregatedEcdf(const FixedTargetEfforts& efforts, std::size_t experiment);

// The normalised area under the curve over [1, maxBudget] on a log10 axis; for maxBudget <= 1 the
// fraction reached at 1.
double EcdfArea(const AggregatedEcdf& ecdf, double maxBudget);

}  // namespace mirelock::analysis
