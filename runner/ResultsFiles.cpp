#include "runner/ResultsFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

#include "experiments/CExperiment.h"
#include "platform/FatalError.h"
#include "platform/InputFile.h"
#include "platform/UserMessages.h"
#include "platform/AtomicFileWriter.h"
#include "platform/FilePaths.h"
#include "runner/ResultsFileCheck.h"
#include "runner/TraceFile.h"
#include "solver/Solver.h"

namespace mirelock {

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
    text.replace(pos, from.size(), to);
}

// Withdraws the published solver on every way out of a pair.
class CurrentSolverGuard {
 public:
  CurrentSolverGuard(const ResultsFileHooks& hooks, Solver& solver) : hooks_(hooks) {
    if (hooks_.setCurrentSolver) hooks_.setCurrentSolver(&solver);
  }
  ~CurrentSolverGuard() {
    if (hooks_.setCurrentSolver) hooks_.setCurrentSolver(nullptr);
  }
  CurrentSolverGuard(const CurrentSolverGuard&) = delete;
  CurrentSolverGuard& operator=(const CurrentSolverGuard&) = delete;

 private:
  const ResultsFileHooks& hooks_;
};

void ThrowUnwritable(const ResultsFileRequest& request, const AtomicFileWriter& file, bool opened) {
  throw ResultsFileException(request.resultsDirectory, file.FinalPath(), file.ErrorText(), opened);
}

// Puts the file and its trace under their names. A stopped pair gives way to a
// complete file that another worker finished meanwhile: fewer lines must never
// replace more. The trace goes first: the results file is what makes a pair
// complete, so a pair cut off between the two renames reads as incomplete (and
// is solved again, its trace replaced) rather than as complete without its trace.
void CommitPair(AtomicFileWriter& file, AtomicFileWriter* trace, const ResultsFileRequest& request,
                const ResultsFileHooks& hooks, bool stopped) {
  std::unique_lock<std::mutex> lock;
  if (hooks.commitLock != nullptr) lock = std::unique_lock<std::mutex>(*hooks.commitLock);
  if (stopped &&
      CheckResultsFile(file.FinalPath(), request.problemName, request.experiment.m_nNumRuns).complete) {
    if (trace != nullptr) trace->Discard();
    file.Discard();
    return;
  }
  if (trace != nullptr && !trace->Commit()) ThrowUnwritable(request, *trace, true);
  if (!file.Commit()) ThrowUnwritable(request, file, true);
}

}  // namespace

std::string ResultsFileException::Message() const {
  if (m_bOpened) return "Failed to write results file " + m_strPath + ReasonSuffix(m_strReason);
  return "Failed to open results file: " + m_strPath + ". Check directory " + m_strResultsDirectory +
         " exists and is writable" + (m_strReason.empty() ? std::string() : " (" + m_strReason + ")");
}

std::string GetResultsFilename(unsigned nProblemType, const std::string& problem, const CExperiment& ex) {
  return ResultsFilenameForPiece(nProblemType, problem.substr(0, problem.find('.')), ex);
}

std::string ResultsFilenameForPiece(unsigned nProblemType, const std::string& piece, const CExperiment& ex) {
  if (nProblemType >= kProblemTypeCount)
    throw FatalError(
        "Problem type not implemented yet in const CString GetResultsFilename(unsigned int nProblemType, "
        "const char *problem, const CExperiment &ex)",
        OutputStream::Err, 1);
  std::string params;
  for (unsigned nIdx = 0; nIdx < ex.GetParamCount(); ++nIdx) {
    std::string text = ex.GetParamAt(nIdx);
    ReplaceAll(text, "=", "_");
    ReplaceAll(text, " ", "_");
    ReplaceAll(text, "*", "times");
    params += text;
    if (nIdx + 1 < ex.GetParamCount()) params += "_";
  }
  return std::string("Results_") + ResultsNamePiece(static_cast<ProblemType>(nProblemType)) + piece + "_" +
         params + ".txt";
}

std::size_t CountResultsFileLines(const std::string& path) {
  InputFileStream in(path);  // a FIFO under the name must not block the batch
  if (!in) return 0;
  // getline into a 1024-byte buffer: a line of 1023 characters still fits, a
  // longer one fails the stream and ends the count.
  char line[1024];
  std::size_t count = 0;
  while (in.getline(line, sizeof line)) ++count;
  return count;
}

bool IsResultsFileComplete(const std::string& resultsDirectory, ProblemType type, const std::string& problem,
                           const CExperiment& ex, const ResultsNaming& naming) {
  const std::string path = JoinPath(resultsDirectory, naming.FileName(type, problem, ex));
  return CheckResultsFile(path, problem, ex.m_nNumRuns).complete;
}

std::string MonitorRunProblemName(const std::string& problemPath) {
  const auto slash = problemPath.find_last_of('/');
  std::string name = slash == std::string::npos ? problemPath : problemPath.substr(slash + 1);
  return name.substr(0, name.find('.')) + "_monitor_run";
}

PairOutcome WritePairLines(Solver& solver, std::ostream& out, const ResultsFileRequest& request,
                           const ResultsFileHooks& hooks, const std::function<bool()>& lineDone,
                           std::ostream* trace) {
  auto done = [&] {
    if (!lineDone())
      throw ResultsFileException(request.resultsDirectory, request.ResultsPath(), std::strerror(errno), true);
  };
  out << "Problem_name\t";
  solver.GetStats().WriteHeader(out);
  out << "Options\n";
  if (trace != nullptr) WriteTraceHeader(*trace);
  done();

  InputFileStream problem(request.problemPath);
  if (!problem) {
    if (hooks.messages != nullptr)
      hooks.messages->Show("Error : Cannot open file " + request.problemName + " (" + problem.Error() + ")");
    if (hooks.problemUnreadable) hooks.problemUnreadable(problem.Error());
    return PairOutcome::kProblemUnreadable;
  }
  ProblemInstance& instance = solver.GetProblem();
  instance.SetSourceName(request.problemPath);
  if (hooks.messages != nullptr) instance.SetMessages(hooks.messages);
  try {
    instance.Read(problem);
  } catch (const FatalError& error) {
    // Some readers' messages are fixed texts without the file's name.
    if (!error.Source().empty()) throw;
    throw error.WithSource(request.problemPath);
  }
  problem.close();

  SolverParameters& parameters = solver.GetParameters();
  ApplyExperiment(parameters, request.experiment, hooks.runSettings ? hooks.runSettings() : RunSettings{});

  CurrentSolverGuard published(hooks, solver);
  for (unsigned finished = 0; finished < parameters.GetNumRuns(); ++finished) {
    if (hooks.runStarting) hooks.runStarting(finished + 1, parameters.GetNumRuns());
    solver.Solve();
    if (solver.IsStopped()) return PairOutcome::kStopped;
    out << request.problemName << '\t';
    solver.GetStats().WriteRow(out);
    parameters.WriteOptions(out);
    out << '\n';
    if (trace != nullptr) WriteTraceRun(*trace, finished + 1, solver.GetStats().Trace());
    done();
  }
  return PairOutcome::kFinished;
}

PairOutcome WriteResultsFile(Solver& solver, const ResultsFileRequest& request,
                             const ResultsFileHooks& hooks) {
  AtomicFileWriter file(request.ResultsPath());
  if (!file.IsOpen()) ThrowUnwritable(request, file, false);
  // Without a trace the writer stays unopened: committing and discarding it do nothing.
  std::optional<AtomicFileWriter> trace;
  if (request.writeTrace) {
    trace.emplace(JoinPath(request.resultsDirectory, TraceFileName(request.resultsFileName)));
    if (!trace->IsOpen()) ThrowUnwritable(request, *trace, false);
  }
  PairOutcome outcome;
  int linesWritten = -1;  // the header is not a run's line
  try {
    outcome = WritePairLines(
        solver, file.Stream(), request, hooks,
        [&] {
          if (!file.Flush()) ThrowUnwritable(request, file, true);
          if (trace && !trace->Flush()) ThrowUnwritable(request, *trace, true);
          ++linesWritten;
          return true;
        },
        trace ? &trace->Stream() : nullptr);
  } catch (const ResultsFileException&) {
    throw;
  } catch (...) {
    // The lines finished so far stay, as they would in a file written in place.
    CommitPair(file, trace ? &*trace : nullptr, request, hooks, true);
    throw;
  }
  // A pair stopped before its first run finished has no line to keep.
  if (outcome == PairOutcome::kProblemUnreadable || (outcome == PairOutcome::kStopped && linesWritten <= 0)) {
    if (trace) trace->Discard();
    file.Discard();
  } else {
    CommitPair(file, trace ? &*trace : nullptr, request, hooks, outcome == PairOutcome::kStopped);
  }
  return outcome;
}

}  // namespace mirelock
