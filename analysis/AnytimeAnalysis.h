#pragma once
#include <optional>
#include <string>
#include <vector>

#include "analysis/Report.h"

namespace mirelock::analysis {

// Fills `report.anytime` from the traces: ERT with bootstrap intervals per problem, experiment and
// target, performance profiles on ERT at the +1 % target (or the nearest in `targets`), and the
// aggregated ECDF area per experiment.
// The default problem of the one-problem fixed-budget view is the one whose traced runs end with the
// highest mean gap.
void AnalyseAnytime(Report& report, const std::vector<double>& targets);

// The index of the problem with the file name `name`, for choosing the one-problem fixed-budget view.
std::optional<std::size_t> FindBudgetProblem(const Report& report, const std::string& name);

}  // namespace mirelock::analysis
