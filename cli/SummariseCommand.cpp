#include "cli/SummariseCommand.h"

#include <iostream>
#include <memory>

#include "cli/CommandError.h"
#include "cli/DocumentSupport.h"
#include "platform/NumberFormat.h"
#include "summary/CSummariser.h"
#include "summary/HeadlineColumn.h"

namespace mirelock {

namespace {

// A few lines on standard output: the headline column's mean per experiment
// and where the two reports went.
void PrintShortSummary(std::ostream& out, const CSummariser& summariser, const CMirelockDoc& doc) {
  const ResultsTable& table = summariser.Table();
  out << "Summarised " << table.ProblemCount() << " " << ProblemMenuName(doc.m_nProblemType) << " problem"
      << (table.ProblemCount() == 1 ? "" : "s") << " with " << table.ExperimentCount() << " experiment"
      << (table.ExperimentCount() == 1 ? "" : "s") << "\n";
  if (const auto column = HeadlineColumn(table, doc.m_nProblemType)) {
    out << "Mean " << table.ColumnName(*column) << " per experiment:\n";
    const auto& labels = summariser.Description().labels;
    for (std::size_t e = 0; e < table.ExperimentCount(); ++e) {
      const HeadlineMean headline = HeadlineMeanOf(table, summariser.Statistics(), e, *column);
      out << "  Exp " << e << (labels.empty() ? "" : "  " + labels[e]) << ": "
          << (headline.mean ? FormatNumber(*headline.mean) : "NA");
      std::string leftOut;
      for (const std::string& name : headline.leftOut)
        leftOut.append(leftOut.empty() ? "" : ", ").append(name);
      if (!leftOut.empty()) out << " (without " << leftOut << ")";
      out << "\n";
    }
  }
  if (summariser.FullResultsWritten()) out << "Full results file: " << doc.m_strFullResultsFile << "\n";
  if (summariser.SummaryWritten()) out << "Results summary file: " << doc.m_strSummaryFile << "\n";
}

}  // namespace

void RegisterSummariseCommand(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  CLI::App* command = app.add_subcommand(
      "summarise", "Write the full results and summary CSV files from the document's results files");
  command->add_option("DOC", *path, "document file")->required();
  command->callback([path] {
    auto document = LoadCommandDocument(*path);
    CSummariser summariser(document->doc, document->messages);
    if (!summariser.Summarise()) throw CommandError("");  // the message is on standard error
    PrintShortSummary(std::cout, summariser, document->doc);
    if (!summariser.FullResultsWritten() || !summariser.SummaryWritten()) throw CommandError("");
  });
}

}  // namespace mirelock
