#pragma once
#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>

#include "experiments/CExperiment.h"
#include "platform/FilePaths.h"
#include "runner/ResultsNaming.h"
#include "solver/ProblemType.h"

namespace mirelock {

class Solver;
class UserMessages;

// A results file that cannot be opened for writing, or written.
class ResultsFileException : public std::runtime_error {
 public:
  ResultsFileException(std::string resultsDirectory, std::string path, std::string reason = {},
                       bool opened = false)
      : std::runtime_error("cannot write " + path),
        m_strResultsDirectory(std::move(resultsDirectory)),
        m_strPath(std::move(path)),
        m_strReason(std::move(reason)),
        m_bOpened(opened) {}
  std::string m_strResultsDirectory;
  std::string m_strPath;
  std::string m_strReason;  // strerror of the failed call, when known
  bool m_bOpened;           // the file was opened, then a write or the rename failed

  // The message a batch shows.
  std::string Message() const;
};

// "Results_" + type piece + problem name up to its first "." + "_" + the eight
// parameter texts ("=", " " and "*" rewritten) joined by "_" + ".txt".
std::string GetResultsFilename(unsigned nProblemType, const std::string& problem, const CExperiment& ex);
// As GetResultsFilename, with `piece` standing for the problem as it is (see ResultsNaming).
std::string ResultsFilenameForPiece(unsigned nProblemType, const std::string& piece, const CExperiment& ex);

// Lines of a results file for a display of progress: lines of at most 1023
// characters, a last line without "\n" included, counting stops at the first
// longer line. A file that cannot be read counts 0. Completeness is
// CheckResultsFile's, which reads what the lines hold.
std::size_t CountResultsFileLines(const std::string& path);

// Whether the results file of a pair in a results directory holds a results
// header and one whole line per run (CheckResultsFile), the file named by
// `naming` (the cut problem name without one).
bool IsResultsFileComplete(const std::string& resultsDirectory, ProblemType type, const std::string& problem,
                           const CExperiment& ex, const ResultsNaming& naming = ResultsNaming());

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
  // A batch pair gets its trace file; a monitor run's pair does not (its files stay as they were).
  bool writeTrace = true;

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
  // Called with the problem's path and the reason when the problem file cannot be opened; may be null.
  std::function<void(const std::string& why)> problemUnreadable;
};

enum class PairOutcome {
  kFinished,           // every run finished and has its line
  kStopped,            // a stop request ended a run; earlier lines are kept
  kProblemUnreadable,  // the problem file could not be opened; no results file is left
};

// The lines of a pair's results file, written to `out`: header, problem read,
// experiment applied, one line per finished run. `lineDone` is called after
// the header and after every line; it answers false on a write error, which
// throws ResultsFileException naming `request`'s file. UnsupportedFeature and
// FatalError pass through. With `trace`, the trace file's header and each
// finished run's new bests go there (see TraceFile), before `lineDone`.
PairOutcome WritePairLines(Solver& solver, std::ostream& out, const ResultsFileRequest& request,
                           const ResultsFileHooks& hooks, const std::function<bool()>& lineDone,
                           std::ostream* trace = nullptr);

// Writes the results file of a pair: header, problem read, experiment applied,
// one line per finished run, and beside it its trace file (TraceFile). The
// two appear under their names only when the pair ends (the trace first;
// also on a stop or an error), never half-written; a problem that cannot be
// opened leaves no file (a header alone would count as complete
// for an experiment of 0 runs), nor does a pair stopped before its first
// run finished. A pair ended by a stop does not replace a file that is
// already complete. Throws
// ResultsFileException when the file cannot be written; UnsupportedFeature
// and FatalError pass through after the lines so far are in place.
PairOutcome WriteResultsFile(Solver& solver, const ResultsFileRequest& request,
                             const ResultsFileHooks& hooks);

}  // namespace mirelock
