#pragma once
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "solver/ProblemType.h"

namespace mirelock {

// The longest file name most file systems take (NAME_MAX).
inline constexpr std::size_t kMaxResultsNameBytes = 255;

// Results file names for the problems of one batch. A results name keeps a
// problem's file name only up to its first ".", so bw_large.a.cnf and
// bw_large.b.cnf would share one file. The rule:
//   - a problem whose cut name no other problem of the batch shares keeps
//     the name it always had (existing batches resume unchanged);
//   - every problem of a group that shares a cut name is named by its whole
//     file name instead (Results_SAT_bw_large.a.cnf_...). Whole names contain
//     a "." and cut names do not, and no two files of one folder share a whole
//     name, so no two problems ever share a results file.
// The names depend on which problems the folder holds: adding bw_large.b.cnf
// beside a solved bw_large.a.cnf renames bw_large.a.cnf's pairs, which are
// then solved again (the old file is never read for either problem).
class ResultsNaming {
 public:
  ResultsNaming() = default;
  explicit ResultsNaming(const std::vector<std::string>& problems);

  // The piece of the name that stands for `problem`.
  std::string ProblemPiece(const std::string& problem) const;
  // The results file name (without directory) of a pair.
  std::string FileName(ProblemType type, const std::string& problem, const CExperiment& experiment) const;

  // Why the pairs of `problems` × `experiments` cannot all be named safely (a
  // name over kMaxResultsNameBytes bytes), or nothing.
  std::optional<std::string> Refusal(ProblemType type, const std::vector<std::string>& problems,
                                     const std::vector<CExperiment>& experiments) const;

 private:
  std::set<std::string> wholeNamed_;
};

// The naming of the batch over the problems of `type` in `problemsDirectory`.
ResultsNaming NamingForDirectory(const std::string& problemsDirectory, ProblemType type);

}  // namespace mirelock
