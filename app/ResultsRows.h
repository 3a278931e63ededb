#pragma once
#include <optional>
#include <string>
#include <vector>

#include "solver/ProblemType.h"

namespace mirelock {

class CSummariser;

// One row of the results window: a problem solved with an experiment.
struct ResultsRow {
  std::string problem;
  std::size_t experiment = 0;  // position in the experiment list
  std::string label;           // the experiment's varying parameter texts
  unsigned runs = 0;
  // As the summary file has them: mean and minimum over the runs of the
  // headline column (gap to the best known cost, or relative error for MAX-SAT).
  std::optional<double> meanGap;
  std::optional<double> bestGap;
  // Share of runs that found a solution (SAT) or reached the best known cost.
  std::optional<double> success;
  // Mean CPU seconds of a run, as the summary file has it.
  std::optional<double> meanCpuSeconds;
};

// The rows of a finished summary, problem by problem, experiments in list order.
std::vector<ResultsRow> BuildResultsRows(const CSummariser& summariser, ProblemType type);

}  // namespace mirelock
