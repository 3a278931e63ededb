#pragma once
#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/ExpectedRunningTime.h"
#include "analysis/PerformanceProfile.h"

namespace mirelock::analysis {

// What the runs' traces tell about anytime behaviour; empty without traces.
struct AnytimeSummary {
  bool available = false;        // some traced run of a problem with a best known cost (SAT: any)
  std::vector<double> targets;   // percent above the best known; SAT: {0}, meaning solved
  // ert[problem][experiment][target], over repairs and over CPU seconds
  std::vector<std::vector<std::vector<ErtEstimate>>> ertRepairs, ertSeconds;
  std::size_t profileTarget = 0;  // the target the performance profiles are drawn for
  std::vector<PerformanceProfile> profiles;  // per experiment, on ERT in repairs
  std::vector<double> ecdfArea;   // per experiment, over all (problem, target) pairs
  double ecdfBudget = 0;          // the budget the areas run to: the most repairs of any run
  // The problem of the one-problem fixed-budget view: by default the one whose traced runs end
  // furthest from the best known cost, where the experiments' paths differ most; none for SAT or
  // without a traced run with a gap.
  std::optional<std::size_t> budgetProblem;
};

}  // namespace mirelock::analysis
