#pragma once
#include <vector>

#include "analysis/Report.h"

namespace mirelock::analysis {

// Fills `report.anytime` from the traces: ERT with bootstrap intervals per problem, experiment and
// target, performance profiles on ERT at the +1 % target (or the nearest in `targets`), and the
// aggregated ECDF area per experiment.
void AnalyseAnytime(Report& report, const std::vector<double>& targets);

}  // namespace mirelock::analysis
