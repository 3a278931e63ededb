#pragma once
#include <cstddef>
#include <optional>

#include "solver/ProblemType.h"
#include "summary/ResultsTable.h"

namespace mirelock {

// The column that best sums up a run of a problem type: the best cost found
// (as a gap or relative error once converted), or for SAT whether a solution
// was found. Front ends show its per-experiment mean as the short summary.
std::optional<std::size_t> HeadlineColumn(const ResultsTable& table, ProblemType type);

}  // namespace mirelock
