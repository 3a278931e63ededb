#pragma once
#include <initializer_list>
#include <istream>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/UserMessages.h"
#include "solver/ProblemType.h"

namespace mirelock {

// The best known costs of "best.txt" in a problems directory. For MAX-SAT a
// line holds three numbers (unsatisfied weight, satisfied weight, total
// weight), kept in the first, second and third map. A name listed twice, or
// with a negative, non-finite or absurdly large value, has no entry.
struct BestKnownCosts {
  std::map<std::string, double> first;
  std::map<std::string, double> second;
  std::map<std::string, double> third;
  bool fileRead = false;  // best.txt was found and read

  std::optional<double> First(const std::string& problem) const { return Find(first, problem); }
  std::optional<double> Second(const std::string& problem) const { return Find(second, problem); }
  std::optional<double> Third(const std::string& problem) const { return Find(third, problem); }

 private:
  static std::optional<double> Find(const std::map<std::string, double>& map, const std::string& problem);
};

// Reads "best.txt" of a problems directory for a problem type:
// - SAT: nothing;
// - MAX-SAT: a header line of at most 255 characters, then lines "name unsat sat total";
// - QAP and TSP: lines "name cost" or "name [lower upper]" (the upper bound counts);
//   TSP names come without their extension, ".tsp" is appended.
// Lines that do not have that form are skipped and reported in one message.
// A UTF-8 byte order mark is dropped. A name on two lines, and a value that is
// negative, not finite or beyond any cost, are refused with a message naming
// them: the problem then has no best known cost. A line over 4096 characters
// or with a NUL byte ends the reading (a FIFO or device is not read at all).
class BestKnownCostsReader {
 public:
  explicit BestKnownCostsReader(UserMessages& messages) : messages_(messages) {}

  BestKnownCosts Read(std::uint32_t problemType, const std::string& problemsDirectory);

 private:
  void ReadMaxSat(std::istream& in, const std::string& path, BestKnownCosts& costs);
  void ReadSingleCosts(std::istream& in, const std::string& path, const char* nameSuffix,
                       BestKnownCosts& costs);
  // The next line of at most 4096 characters; false at the end or on a line
  // that shows the file is no best.txt (said in a message).
  bool NextLine(std::istream& in, const std::string& path, std::string& line);
  // False, with a message, when the name was on an earlier line; its entry is removed.
  bool FirstOccurrence(const std::string& path, const std::string& name, BestKnownCosts& costs);
  // False, with a message, for a value no run's cost can be compared with.
  bool Usable(const std::string& path, const std::string& name, std::initializer_list<double> values);
  void Refuse(const std::string& text);
  void NoteSkippedLine(int lineNumber);
  void ReportSkippedLines(const std::string& path, const std::string& expected);

  UserMessages& messages_;
  std::string skippedLines_;
  int skippedCount_ = 0;
  int lineNumber_ = 0;
  int refusals_ = 0;
  std::map<std::string, int> lineOf_;
  std::set<std::string> duplicates_;
};

}  // namespace mirelock
