#pragma once
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "platform/UserMessages.h"
#include "runner/ResultsNaming.h"
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

struct CompletedProblems {
  std::vector<std::string> problems;
  ResultsNaming naming;  // the results file names of the batch the problems belong to
};

// The problem files of the type in the problems directory, in ascending byte
// order, for which every experiment has a complete results file
// (CheckResultsFile). One message names the problems left out and why (the
// first file of each that is missing, short of runs or malformed); problems
// a batch in progress has not reached are left out without one.
CompletedProblems FindCompletedProblems(const CompletedProblemsQuery& query, UserMessages& messages);

}  // namespace mirelock
