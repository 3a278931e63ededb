#include "experiments/ExperimentTable.h"

#include <algorithm>

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
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t length = std::min(pieceLength, text.size() - pos);
    // A piece ends before the blank that starts the word it would cut ("Penalty decay=Of" / "f"),
    // unless one word fills the whole piece.
    if (pos + length < text.size() && text[pos + length] != ' ') {
      const std::size_t blank = text.rfind(' ', pos + length - 1);
      if (blank != std::string::npos && blank > pos) length = blank - pos;
    }
    out += text.substr(pos, length);
    out += "\r\n";
    pos += length;
  }
  return out;
}

namespace {

// The fixed texts, each with its leading blank, in pieces of whole texts where
// they fit (a label such as "Penalty decay=Off" stays on one line); a single
// text longer than a piece is cut between its words.
std::string PiecesOfWholeTexts(const std::vector<std::string>& texts, std::size_t pieceLength) {
  std::string all;
  for (const std::string& text : texts) all += text;
  if (all.size() <= pieceLength) return all;
  std::string out;
  std::string piece;
  const auto flush = [&] {
    const std::string cut = CutIntoPieces(piece, pieceLength);
    out += cut.size() == piece.size() ? cut + "\r\n" : cut;
    piece.clear();
  };
  for (const std::string& text : texts) {
    if (!piece.empty() && piece.size() + text.size() > pieceLength) flush();
    piece += text;
  }
  if (!piece.empty()) flush();
  return out;
}

}  // namespace

ExperimentTable BuildExperimentTable(const std::vector<CExperiment>& experiments) {
  ExperimentTable table;
  if (experiments.empty()) return table;

  const CExperiment& first = experiments.front();
  std::vector<unsigned> varying;
  std::vector<std::string> fixed;
  for (unsigned idx = 0; idx < CommonParamCount(experiments); ++idx) {
    const std::string text = first.GetParamAt(idx);
    bool same = true;
    for (const CExperiment& ex : experiments) same = same && ex.GetParamAt(idx) == text;
    if (same) {
      fixed.push_back(" " + text);
    } else {
      varying.push_back(idx);
    }
  }
  table.fixedText = PiecesOfWholeTexts(fixed, ExperimentTable::kFixedPieceLength);

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
