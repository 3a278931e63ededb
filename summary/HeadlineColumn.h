#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "solver/ProblemType.h"
#include "summary/ResultsTable.h"
#include "summary/SummaryStatistics.h"

namespace mirelock {

// The column that best sums up a run of a problem type: the best cost found
// (as a gap or relative error once converted), or for SAT whether a solution
// was found. Front ends show its per-experiment mean as the short summary.
std::optional<std::size_t> HeadlineColumn(const ResultsTable& table, ProblemType type);

// An experiment's headline: the mean over the problems of the column's
// per-problem means. A problem without one (no usable best known cost, or a
// run without a value) is left out and named, so that one problem missing
// from best.txt does not blank every experiment's figure; `mean` is missing
// only when no problem has one.
struct HeadlineMean {
  std::optional<double> mean;
  std::vector<std::string> leftOut;
};
HeadlineMean HeadlineMeanOf(const ResultsTable& table, const SummaryStatistics& statistics,
                            std::size_t experiment, std::size_t column);

}  // namespace mirelock
