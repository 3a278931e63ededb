#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/UserMessages.h"
#include "solver/ProblemType.h"

namespace mirelock {

// The best known costs of "best.txt" in a problems directory. For MAX-SAT a
// line holds three numbers (unsatisfied weight, satisfied weight, total
// weight), kept in the first, second and third map. When a name occurs twice
// the first line counts.
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
class BestKnownCostsReader {
 public:
  explicit BestKnownCostsReader(UserMessages& messages) : messages_(messages) {}

  BestKnownCosts Read(std::uint32_t problemType, const std::string& problemsDirectory);

 private:
  void ReadMaxSat(std::istream& in, const std::string& path, BestKnownCosts& costs);
  void ReadSingleCosts(std::istream& in, const std::string& path, const char* nameSuffix,
                       BestKnownCosts& costs);
  void NoteSkippedLine(int lineNumber);
  void ReportSkippedLines(const std::string& path, const std::string& expected);

  UserMessages& messages_;
  std::string skippedLines_;
  int skippedCount_ = 0;
};

}  // namespace mirelock
