#pragma once
#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>

#include "experiments/CExperiment.h"
#include "platform/FilePaths.h"
#include "solver/ProblemType.h"

namespace mirelock {

class Solver;
class UserMessages;

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

// Lines of a results file as the completeness test counts them: lines of at
// most 1023 characters, a last line without "\n" included, counting stops at
// the first longer line. A file that cannot be read counts 0.
std::size_t CountResultsFileLines(const std::string& path);

// Whether the results file of a pair in a results directory holds at least the header and one line per run.
bool IsResultsFileComplete(const std::string& resultsDirectory, ProblemType type, const std::string& problem,
                           const CExperiment& ex);

// The problem argument a monitor run gives GetResultsFilename: the file name
// without directory, cut at its first ".", followed by "_monitor_run", so the
// monitor run's results file never replaces the batch file of the same pair.
std::string MonitorRunProblemName(const std::string& problemPath);

// One pair of a problem and an experiment, as its results file is written.
struct ResultsFileRequest {
  std::string problemName;       // first column of every row
  std::string problemPath;       // the file the problem is read from
  std::string resultsDirectory;
  std::string resultsFileName;  // from GetResultsFilename
  CExperiment experiment;

  std::string ResultsPath() const { return JoinPath(resultsDirectory, resultsFileName); }
};

// What the worker lends to the writing of a pair.
struct ResultsFileHooks {
  // Read when the experiment is handed to the solver, not before.
  std::function<RunSettings()> runSettings;
  // Publishes the solver under the run lock (null withdraws it).
  std::function<void(Solver*)> setCurrentSolver;
  // Serialises the renaming of results files between workers.
  std::mutex* commitLock = nullptr;
  UserMessages* messages = nullptr;
  // Called before each run of the pair with its number (from 1) and the pair's runs; may be null.
  std::function<void(unsigned run, unsigned runs)> runStarting;
};

enum class PairOutcome {
  kFinished,           // every run finished and has its line
  kStopped,            // a stop request ended a run; earlier lines are kept
  kProblemUnreadable,  // the file holds the header only
};

// The lines of a pair's results file, written to `out`: header, problem read,
// experiment applied, one line per finished run. `lineDone` is called after
// the header and after every line; it answers false on a write error, which
// throws ResultsFileException naming `request`'s file. UnsupportedFeature and
// FatalError pass through.
PairOutcome WritePairLines(Solver& solver, std::ostream& out, const ResultsFileRequest& request,
                           const ResultsFileHooks& hooks, const std::function<bool()>& lineDone);

// Writes the results file of a pair: header, problem read, experiment applied,
// one line per finished run. The file appears under its name only when the
// pair ends (also on a stop or an error), never half-written. A pair ended by
// a stop does not replace a file that is already complete. Throws
// ResultsFileException when the file cannot be written; UnsupportedFeature
// and FatalError pass through after the lines so far are in place.
PairOutcome WriteResultsFile(Solver& solver, const ResultsFileRequest& request,
                             const ResultsFileHooks& hooks);

}  // namespace mirelock
