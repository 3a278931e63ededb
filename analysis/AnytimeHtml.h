#pragma once
#include <ostream>

#include "analysis/Report.h"

namespace mirelock::analysis {

// The page's section on anytime behaviour, from the runs' traces: the ECDF area per experiment
// ranked beside the Friedman mean ranks, the performance profiles, and ERT with its bootstrap
// interval per problem, experiment and target. Without traces it says what the section needs.
void WriteAnytimeSection(std::ostream& out, const Report& report);

}  // namespace mirelock::analysis
