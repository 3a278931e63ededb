#include "summary/HeadlineColumn.h"

namespace mirelock {

namespace {
// By problem type, the solvers' header name of the column.
constexpr const char* kHeadlineNames[kProblemTypeCount] = {
    "Sol_Found",                     // SAT
    "Best_Found_Solution_Max_Cost",  // MAX-SAT: best satisfied weight
    "Best_cost",                     // QAP
    "Min_Best_Found_Solution_Cost",  // TSP
};
}  // namespace

std::optional<std::size_t> HeadlineColumn(const ResultsTable& table, ProblemType type) {
  if (type >= kProblemTypeCount) return std::nullopt;
  for (std::size_t c = 0; c < table.ColumnCount(); ++c)
    if (table.OriginalColumnName(c) == kHeadlineNames[type]) return c;
  return std::nullopt;
}

HeadlineMean HeadlineMeanOf(const ResultsTable& table, const SummaryStatistics& statistics,
                            std::size_t experiment, std::size_t column) {
  HeadlineMean headline;
  double sum = 0;
  std::size_t counted = 0;
  for (std::size_t p = 0; p < table.ProblemCount(); ++p) {
    if (const auto mean = statistics.PerProblem(p, experiment, column)[kMean]) {
      sum += *mean;
      ++counted;
    } else {
      headline.leftOut.push_back(table.Problems()[p]);
    }
  }
  if (counted > 0) headline.mean = sum / static_cast<double>(counted);
  return headline;
}

}  // namespace mirelock
