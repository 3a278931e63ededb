#include "summary/FullResultsReport.h"

namespace mirelock {

void FullResultsReport::Write(std::ostream& out) const {
  const ResultsTable& table = content_.table;
  WriteReportTitle(out, content_);
  for (std::size_t c = 0; c < table.ColumnCount(); ++c) {
    out << table.ColumnName(c) << "\n";
    out << "Problem,";
    for (const std::string& label : content_.description.labels) out << label << ',';
    out << "\n";
    for (std::size_t p = 0; p < table.ProblemCount(); ++p) {
      for (std::uint32_t r = 0; r < table.MaxRuns(); ++r) {
        out << table.Problems()[p] << ',';
        for (std::size_t e = 0; e < table.ExperimentCount(); ++e) WriteCell(out, table.Get(p, e, r, c));
        out << "\n";
      }
    }
    out << "Average,";
    for (std::size_t e = 0; e < table.ExperimentCount(); ++e)
      WriteCell(out, content_.statistics.OverallMean(e, c));
    out << "\n\n";
  }
}

}  // namespace mirelock
