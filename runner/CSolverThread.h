#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "platform/PauseGate.h"
#include "runner/RunOutcome.h"
#include "solver/ProblemType.h"

namespace mirelock {

class RunControls;
class Solver;

// What one worker thread executes: a batch run over a problems directory and
// an experiment list, or a monitor run of one problem with one experiment.
// Everything it needs from the document is copied at construction, except the
// values a researcher may change during a run (problem ordering, seeds, R),
// which it reads when it uses them.
class CSolverThread {
 public:
  // Construct under the run controls' lock; an empty monitor problem makes a batch run.
  CSolverThread(RunControls& view, const std::string& monitorProblem);
  CSolverThread(const CSolverThread&) = delete;
  CSolverThread& operator=(const CSolverThread&) = delete;

  // The worker's body.
  void Run();

  // Under the run controls' lock: ends the current run at its next
  // termination test and makes Run end without solving anything more.
  void RequestStop();
  bool IsStopRequested() const { return stopRequested_.load(std::memory_order_relaxed); }

  // Closed by Stop; the worker parks at the next termination test or between pairs.
  PauseGate& Gate() { return gate_; }
  bool IsMonitorRun() const { return !monitorProblem_.empty(); }
  RunOutcome Outcome() const { return outcome_.load(); }

 private:
  void RunPairs();
  // False when an error ended the run.
  bool SolvePair(const std::string& problem, const CExperiment& experiment);
  void SetCurrentSolver(Solver* solver);
  void EndWithError(const std::string& message);
  RunSettings CurrentRunSettings() const;

  RunControls& view_;
  const std::string monitorProblem_;
  const std::string monitorOutputFile_;
  const CExperiment monitorExperiment_;
  const ProblemType problemType_;
  const std::string problemsDirectory_;
  const std::string resultsDirectory_;
  std::vector<CExperiment> experiments_;

  Solver* currentSolver_ = nullptr;  // under the run controls' lock
  std::atomic<bool> stopRequested_{false};
  std::atomic<RunOutcome> outcome_{RunOutcome::kRunning};
  PauseGate gate_;
};

}  // namespace mirelock
