#include "app/ResultsRows.h"

#include "summary/CSummariser.h"
#include "summary/HeadlineColumn.h"

namespace mirelock {

namespace {

std::optional<std::size_t> ColumnNamed(const ResultsTable& table, std::initializer_list<const char*> names) {
  for (const char* name : names)
    for (std::size_t c = 0; c < table.ColumnCount(); ++c)
      if (table.OriginalColumnName(c) == name) return c;
  return std::nullopt;
}

// A converted gap or relative error at or below this counts as the best known cost reached;
// the conversion divides by the best cost, so an exact hit may leave a rounding residue.
constexpr double kReachedTolerance = 1e-9;

}  // namespace

std::vector<ResultsRow> BuildResultsRows(const CSummariser& summariser, ProblemType type) {
  const ResultsTable& table = summariser.Table();
  const SummaryStatistics& statistics = summariser.Statistics();
  const ExperimentDescription& description = summariser.Description();
  const auto headline = HeadlineColumn(table, type);
  const auto cpu = ColumnNamed(table, {"CPU_secs", "CPU_Seconds"});
  const auto solved = ColumnNamed(table, {"Sol_Found"});
  const bool gapHeadline = headline && type != kProblemSAT;

  std::vector<ResultsRow> rows;
  for (std::size_t p = 0; p < table.ProblemCount(); ++p)
    for (std::size_t e = 0; e < table.ExperimentCount(); ++e) {
      ResultsRow row;
      row.problem = table.Problems()[p];
      row.experiment = e;
      row.label = e < description.labels.size() ? description.labels[e] : description.fixedText;
      row.runs = table.Runs(e);
      if (gapHeadline) {
        row.meanGap = statistics.PerProblem(p, e, *headline)[kMean];
        row.bestGap = statistics.PerProblem(p, e, *headline)[kMin];
      }
      if (cpu) row.meanCpuSeconds = statistics.PerProblem(p, e, *cpu)[kMean];
      // Success: a found solution where the solver reports one, else the best known cost reached.
      const auto successColumn = type == kProblemSAT ? solved : (gapHeadline ? headline : std::nullopt);
      if (successColumn && row.runs > 0) {
        unsigned hits = 0;
        bool complete = true;
        for (std::uint32_t r = 0; r < row.runs; ++r) {
          const auto value = table.Get(p, e, r, *successColumn);
          if (!value) {
            complete = false;
            break;
          }
          hits += type == kProblemSAT ? (*value != 0) : (*value <= kReachedTolerance);
        }
        if (complete) row.success = static_cast<double>(hits) / row.runs;
      }
      rows.push_back(std::move(row));
    }
  return rows;
}

}  // namespace mirelock
