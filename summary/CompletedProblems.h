#pragma once
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "platform/UserMessages.h"
#include "solver/ProblemType.h"

namespace mirelock {

// Which problems a summary covers.
struct CompletedProblemsQuery {
  ProblemType problemType = kProblemQAP;
  std::string problemsDirectory;
  std::string resultsDirectory;
  std::vector<CExperiment> experiments;
  // While a batch has been started, only the problems it has solved count, so
  // that results left from an earlier batch do not mix in.
  bool runStarted = false;
  std::vector<std::string> solvedProblems;
};

// The problem files of the type in the problems directory, in ascending byte
// order, for which every experiment has a complete results file.
std::vector<std::string> FindCompletedProblems(const CompletedProblemsQuery& query, UserMessages& messages);

}  // namespace mirelock
