#pragma once
#include <string>
#include <vector>

#include "experiments/CExperiment.h"

namespace mirelock {

// What the experiment list shows: the parameter texts that all experiments
// share as one fixed text, and a table with one column per varying parameter.
struct ExperimentTable {
  static constexpr const char* kFixedCaption = "Fixed parameter settings";
  static constexpr const char* kSizeNote = "N = number of variables in problem";
  static constexpr const char* kIdHeading = "Exp Id";
  static constexpr std::size_t kFixedPieceLength = 75;
  static constexpr int kPixelsPerHeadingCharacter = 11;

  struct Column {
    std::string heading;
    int widthPixels;      // 11 per character of the heading
    unsigned paramIndex;  // the parameter text it shows; not meaningful for the id column
    bool operator==(const Column&) const = default;
  };

  std::string fixedText;        // " Lambda=1 Aspiration=Off ..." cut into pieces of up to 75 characters, each + "\r\n"
  std::vector<Column> columns;  // "Exp Id" first, when there is any experiment
  std::vector<std::vector<std::string>> rows;  // one per experiment, one cell per column

  bool operator==(const ExperimentTable&) const = default;
};

ExperimentTable BuildExperimentTable(const std::vector<CExperiment>& experiments);

// A text of 75 characters or less stays as it is; a longer one becomes pieces
// of at most 75 characters, each followed by "\r\n". A piece ends at a blank
// rather than inside a word; only a word longer than a piece is cut.
std::string CutIntoPieces(const std::string& text, std::size_t pieceLength);

}  // namespace mirelock
