#include "experiments/ExperimentTable.h"

namespace mirelock {

namespace {

// Parameter texts are "name=value"; the heading is the name, the cell the value.
std::string BeforeEquals(const std::string& text) { return text.substr(0, text.find('=')); }

std::string AfterEquals(const std::string& text) {
  const auto pos = text.find('=');
  return pos == std::string::npos ? std::string() : text.substr(pos + 1);
}

ExperimentTable::Column MakeColumn(std::string heading, unsigned paramIndex) {
  const int width = static_cast<int>(heading.size()) * ExperimentTable::kPixelsPerHeadingCharacter;
  return {std::move(heading), width, paramIndex};
}

}  // namespace

std::string CutIntoPieces(const std::string& text, std::size_t pieceLength) {
  if (text.size() <= pieceLength) return text;
  std::string out;
  for (std::size_t pos = 0; pos < text.size(); pos += pieceLength) {
    out += text.substr(pos, pieceLength);
    out += "\r\n";
  }
  return out;
}

ExperimentTable BuildExperimentTable(const std::vector<CExperiment>& experiments) {
  ExperimentTable table;
  if (experiments.empty()) return table;

  const CExperiment& first = experiments.front();
  std::vector<unsigned> varying;
  std::string fixed;
  for (unsigned idx = 0; idx < CommonParamCount(experiments); ++idx) {
    const std::string text = first.GetParamAt(idx);
    bool same = true;
    for (const CExperiment& ex : experiments) same = same && ex.GetParamAt(idx) == text;
    if (same) {
      fixed += " " + text;
    } else {
      varying.push_back(idx);
    }
  }
  table.fixedText = CutIntoPieces(fixed, ExperimentTable::kFixedPieceLength);

  table.columns.push_back(MakeColumn(ExperimentTable::kIdHeading, 0));
  for (unsigned idx : varying) table.columns.push_back(MakeColumn(BeforeEquals(first.GetParamAt(idx)), idx));

  for (std::size_t id = 0; id < experiments.size(); ++id) {
    std::vector<std::string> row{std::to_string(id)};
    for (unsigned idx : varying) row.push_back(AfterEquals(experiments[id].GetParamAt(idx)));
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace mirelock
