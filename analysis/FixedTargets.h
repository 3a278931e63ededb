#pragma once
#include <optional>
#include <string>
#include <vector>

#include "analysis/Report.h"
#include "analysis/RunEffort.h"

namespace mirelock::analysis {

// The default ladder of targets, in percent above the best known cost: the best known itself, then
// 0.1, 0.5, 1, 2 and 5 % above it. SAT has the one target "solved".
std::vector<double> DefaultTargets();

// A comma-separated list of non-negative percentages ("0,0.5,1"), in increasing order; nothing
// and `error` set when the text is not one.
std::optional<std::vector<double>> ParseTargets(const std::string& text, std::string& error);

// Per problem (index into Report::problems), experiment and target (index into `targets`), the
// effort of each traced run. Empty for a problem without a best known cost (QAP, TSP, MAX-SAT)
// and for runs without a trace. SAT: one target, a solution found (cost 0), whatever `targets` says.
struct FixedTargetEfforts {
  std::vector<double> targets;  // percent above the best known; SAT: {0}
  // efforts[problem][experiment][target] = one RunEffort per traced run
  std::vector<std::vector<std::vector<std::vector<RunEffort>>>> efforts;
};

FixedTargetEfforts CollectFixedTargetEfforts(const Report& report, const std::vector<double>& targets);

}  // namespace mirelock::analysis
