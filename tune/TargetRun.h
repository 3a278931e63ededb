#pragma once
#include <cstdint>
#include <string>

#include "experiments/CExperiment.h"
#include "solver/ProblemType.h"

namespace mirelock::tune {

// What irace minimises for one run of one problem with one setting.
struct TargetRunCost {
  double cost = 0;
  std::string measure;  // what the cost is, for messages: "% gap", "repairs (PAR-10)", ...
};

// Solves one run of `problemPath` with `experiment` (its runs set to 1) and
// the fixed seed `seed`, through the batch's own writing of a results file
// (into a scratch directory, removed afterwards) and the report's reading of
// it. The cost is:
// - QAP and TSP: the % gap to the best known cost of best.txt beside the
//   problem; without one, the best cost found;
// - MAX-SAT: the % relative error to best.txt's satisfied weight; without
//   one, the satisfied weight negated (lower is better, as for the others);
// - SAT: the repairs to the solution, a run without one counting ten times
//   its repair budget (PAR-10).
// UnsupportedFeature and FatalError pass through; other failures throw
// std::runtime_error with the reason.
TargetRunCost SolveForCost(ProblemType type, const std::string& problemPath, CExperiment experiment,
                           std::uint32_t seed);

}  // namespace mirelock::tune
