#pragma once
#include <stdexcept>
#include <string>

#include "experiments/CExperiment.h"
#include "solver/ProblemType.h"

namespace mirelock {

// A results file that cannot be opened for writing.
class ResultsFileException : public std::runtime_error {
 public:
  ResultsFileException(std::string resultsDirectory, std::string path)
      : std::runtime_error("cannot write " + path),
        m_strResultsDirectory(std::move(resultsDirectory)),
        m_strPath(std::move(path)) {}
  std::string m_strResultsDirectory;
  std::string m_strPath;
};

// "Results_" + type piece + problem name up to its first "." + "_" + the eight
// parameter texts ("=", " " and "*" rewritten) joined by "_" + ".txt".
std::string GetResultsFilename(unsigned nProblemType, const std::string& problem, const CExperiment& ex);

// Whether the results file of a pair in a results directory (ending with "/")
// holds at least the header and one line per run.
bool IsResultsFileComplete(const std::string& resultsDirectory, ProblemType type, const std::string& problem,
                           const CExperiment& ex);

}  // namespace mirelock
