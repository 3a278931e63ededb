#include "cli/DocumentSupport.h"

#include <algorithm>
#include <ostream>

#include "experiments/DocumentFile.h"

namespace mirelock {

std::unique_ptr<CommandDocument> LoadCommandDocument(const std::string& path) {
  auto document = std::make_unique<CommandDocument>();
  // The desktop app opens an empty file as a new document; a command given
  // one would quietly work on the defaults (the examples, the working
  // directory), which is never what was meant.
  if (!LoadDocumentFile(document->doc, path))
    throw DocumentFileError("The document file " + path + " is empty (0 bytes), not a document; make one with "
                            "\"mirelock doc new " + path + "\".");
  return document;
}

void PrintExperimentTable(std::ostream& out, const ExperimentTable& table) {
  if (table.rows.empty()) {
    out << "The experiment list is empty.\n";
    return;
  }
  // The fixed text carries "\r\n" after each 75-character piece for the
  // list window; on a terminal a plain newline does.
  std::string fixed;
  for (const char c : table.fixedText) {
    if (c != '\r') fixed += c;
  }
  if (!fixed.empty() && fixed.back() != '\n') fixed += '\n';
  out << ExperimentTable::kFixedCaption << ":\n" << fixed << ExperimentTable::kSizeNote << "\n\n";

  std::vector<std::size_t> widths;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    std::size_t width = table.columns[c].heading.size();
    for (const auto& row : table.rows) width = std::max(width, row[c].size());
    widths.push_back(width);
  }
  auto printRow = [&](auto cellAt) {
    std::string line;
    for (std::size_t c = 0; c < widths.size(); ++c) {
      std::string cell = cellAt(c);
      if (c + 1 < widths.size()) cell.resize(widths[c] + 2, ' ');
      line += cell;
    }
    out << line << '\n';
  };
  printRow([&](std::size_t c) { return table.columns[c].heading; });
  for (const auto& row : table.rows) printRow([&](std::size_t c) { return row[c]; });
}

}  // namespace mirelock
