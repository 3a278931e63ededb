#include "runner/CSolverThread.h"

#include <cstdlib>

#include "platform/FatalError.h"
#include "platform/Random.h"
#include "runner/ProblemDiscovery.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"
#include "solver/Solver.h"
#include "solver/SolverParameters.h"

namespace mirelock {

CSolverThread::CSolverThread(RunControls& view, const std::string& monitorProblem)
    : view_(view),
      monitorProblem_(monitorProblem),
      monitorOutputFile_(monitorProblem.empty() ? std::string() : view.doc_.m_strMonitorOutputFile),
      monitorExperiment_(view.doc_.m_monitorExperiment),
      problemType_(view.doc_.m_nProblemType),
      problemsDirectory_(view.doc_.m_strProblemsDir),
      resultsDirectory_(view.doc_.m_strResultsDir),
      experiments_(view.doc_.m_experiments) {}

void CSolverThread::RequestStop() {
  stopRequested_.store(true, std::memory_order_relaxed);
  if (currentSolver_ != nullptr) currentSolver_->Stop();
}

void CSolverThread::SetCurrentSolver(Solver* solver) {
  std::lock_guard<std::mutex> lock(view_.mutex_);
  currentSolver_ = solver;
  // A stop requested while the solver was being prepared still reaches it.
  if (solver != nullptr && IsStopRequested()) solver->Stop();
}

RunSettings CSolverThread::CurrentRunSettings() const {
  RunSettings settings;
  settings.seedMode = view_.doc_.m_nSeedMode.load();
  settings.fixedSeed = view_.doc_.m_nFixedSeed.load();
  settings.monitorRun = IsMonitorRun();
  if (settings.monitorRun) {
    settings.monitorFile = monitorOutputFile_;
    settings.monitorEvery = view_.doc_.m_nMonitorEvery.load();
  }
  return settings;
}

void CSolverThread::EndWithError(const std::string& message) {
  view_.messages_.Show(message);
  outcome_ = RunOutcome::kError;
  view_.ClearRunningIfCurrent(this);
}

void CSolverThread::Run() {
  try {
    RunPairs();
    if (outcome_ == RunOutcome::kRunning)
      outcome_ = IsStopRequested() ? RunOutcome::kStopped : RunOutcome::kFinished;
  } catch (const FatalError& error) {
    outcome_ = RunOutcome::kFatal;
    view_.ReportFatal(error);
  } catch (const std::exception& error) {
    // Nothing else is expected from a solve; end the run with a message rather than the program.
    EndWithError(error.what());
  }
}

void CSolverThread::RunPairs() {
  std::vector<std::string> problems;
  if (IsMonitorRun()) {
    problems.push_back(monitorProblem_);
  } else {
    problems = DiscoverProblems(problemsDirectory_, problemType_);
    if (problems.empty()) view_.messages_.Show(kNoProblemsMessage);
  }

  {
    std::lock_guard<std::mutex> lock(view_.mutex_);
    if (!IsStopRequested()) {
      view_.doc_.m_nProblemsSolved = 0;
      view_.doc_.m_solvedProblems.clear();
      view_.doc_.m_nTotalProblems = static_cast<std::uint32_t>(problems.size());
    }
  }

  if (IsMonitorRun()) {
    experiments_.assign(1, monitorExperiment_);
  } else if (experiments_.empty()) {
    EndWithError("No experiments in the experiment list to run\n");
    return;
  }

  for (;;) {
    gate_.WaitIfClosed();
    if (problems.empty()) {
      if (!IsStopRequested()) view_.messages_.Show("Finished Solving..");
      return;
    }
    if (IsStopRequested()) return;

    std::size_t index = 0;
    if (view_.doc_.m_nProblemOrdering.load() == 1)
      index = static_cast<std::size_t>(std::abs(Random())) % problems.size();
    const std::string problem = problems[index];
    {
      std::lock_guard<std::mutex> lock(view_.mutex_);
      if (!IsStopRequested()) view_.doc_.m_strCurrentProblem = problem;
    }

    for (const CExperiment& experiment : experiments_) {
      gate_.WaitIfClosed();
      if (IsStopRequested()) break;
      // The worker's own copies decide completeness: the same directory and
      // type it writes into, whatever the document holds meanwhile.
      if (!IsMonitorRun() && IsResultsFileComplete(resultsDirectory_, problemType_, problem, experiment))
        continue;
      if (!SolvePair(problem, experiment)) return;
    }

    {
      std::lock_guard<std::mutex> lock(view_.mutex_);
      if (!IsStopRequested()) {
        view_.doc_.m_solvedProblems.push_back(problem);
        ++view_.doc_.m_nProblemsSolved;
      }
    }
    problems.erase(problems.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

bool CSolverThread::SolvePair(const std::string& problem, const CExperiment& experiment) {
  std::unique_ptr<Solver> solver =
      problemType_ < kProblemTypeCount && view_.factory_ ? view_.factory_(problemType_) : nullptr;
  if (!solver) {
    EndWithError("Problem type not implemented");
    return false;
  }
  solver->SetPauseGate(&gate_);

  ResultsFileRequest request;
  request.problemName = problem;
  request.problemPath = IsMonitorRun() ? problem : JoinPath(problemsDirectory_, problem);
  request.resultsDirectory = resultsDirectory_;
  request.resultsFileName =
      GetResultsFilename(problemType_, IsMonitorRun() ? MonitorRunProblemName(problem) : problem, experiment);
  request.experiment = experiment;

  ResultsFileHooks hooks;
  hooks.runSettings = [this] { return CurrentRunSettings(); };
  hooks.setCurrentSolver = [this](Solver* s) { SetCurrentSolver(s); };
  hooks.commitLock = &view_.commitMutex_;
  hooks.messages = &view_.messages_;

  try {
    WriteResultsFile(*solver, request, hooks);
  } catch (const UnsupportedFeature& feature) {
    EndWithError(std::string(feature.what()) + " is not yet implemented for the current problem type");
    return false;
  } catch (const ResultsFileException& failure) {
    EndWithError("Failed to open results file: " + failure.m_strPath + ". Check directory " +
                 failure.m_strResultsDirectory + " exists and is writable");
    return false;
  }
  return true;
}

}  // namespace mirelock
