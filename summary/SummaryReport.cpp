#include "summary/SummaryReport.h"

namespace mirelock {

void SummaryReport::Write(std::ostream& out) const {
  WriteReportTitle(out, content_);
  WriteShortSummary(out);
  out << "\n"
      << "More detailed summary with monitor averages per problem:\n";
  for (std::size_t c = 0; c < content_.table.ColumnCount(); ++c) WriteColumnBlock(out, c);
}

void SummaryReport::WriteShortSummary(std::ostream& out) const {
  out << "\n"
      << "Short Summary per monitor:\n";
  for (const char* statistic : kStatisticNames) {
    out << statistic << "(Monitor),";
    WriteLabelCells(out);
    out << ",,";
  }
  out << "\n";
  for (std::size_t c = 0; c < content_.table.ColumnCount(); ++c) {
    WritePerExperimentGroups(out, content_.table.ColumnName(c), c);
    out << "\n";
  }
}

void SummaryReport::WriteColumnBlock(std::ostream& out, std::size_t column) const {
  const ResultsTable& table = content_.table;
  const std::string& name = table.ColumnName(column);
  for (const char* statistic : kStatisticNames) {
    out << statistic << "(" << name << "),";
    for (std::size_t i = 0; i < content_.description.labels.size(); ++i) out << ',';
    out << ",,";
  }
  out << "\n";
  for (std::size_t s = 0; s < kStatisticCount; ++s) {
    out << "Problem,";
    WriteLabelCells(out);
    out << ",,";
  }
  out << "\n";
  for (std::size_t p = 0; p < table.ProblemCount(); ++p) {
    for (std::size_t s = 0; s < kStatisticCount; ++s) {
      out << table.Problems()[p] << ',';
      for (std::size_t e = 0; e < table.ExperimentCount(); ++e)
        WriteCell(out, content_.statistics.PerProblem(p, e, column)[s]);
      out << ",,";
    }
    out << "\n";
  }
  WritePerExperimentGroups(out, "Average", column);
  out << "\n\n";
}

void SummaryReport::WriteLabelCells(std::ostream& out) const {
  for (const std::string& label : content_.description.labels) out << label << ',';
}

// Four groups of a label and the per-experiment averages of one column.
void SummaryReport::WritePerExperimentGroups(std::ostream& out, const std::string& label,
                                             std::size_t column) const {
  for (std::size_t s = 0; s < kStatisticCount; ++s) {
    out << label << ',';
    for (std::size_t e = 0; e < content_.table.ExperimentCount(); ++e)
      WriteCell(out, content_.statistics.PerExperiment(e, column)[s]);
    out << ",,";
  }
}

}  // namespace mirelock
