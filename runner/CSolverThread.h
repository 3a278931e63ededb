#pragma once
#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "platform/FatalError.h"
#include "platform/PauseGate.h"
#include "runner/BatchPartition.h"
#include "runner/RunOutcome.h"
#include "runner/ResultsNaming.h"
#include "runner/RunProgress.h"
#include "runner/SerialMessages.h"
#include "solver/ProblemType.h"

namespace mirelock {

class PairQueue;
class RunControls;
class Solver;

// What one worker thread executes: a batch run over a problems directory and
// an experiment list, or a monitor run of one problem with one experiment.
// Everything it needs from the document is copied at construction, except the
// values a researcher may change during a run (problem ordering, seeds, R),
// which it reads when it uses them.
//
// A batch run may use several workers (the run controls' partition): the
// thread that runs Run is the first, the others are started by it and joined
// before Run returns. They take pairs from one queue in the batch's order;
// every pair gets a fresh solver and starts from a fresh generator state, so
// its lines depend only on the problem, the experiment and the seed.
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
  // Under the run controls' lock: pairs and the workers' current pairs and runs.
  void FillProgress(RunProgress& progress) const;
  // Once Run has returned: what the run kept.
  RunReport Report() const;

 private:
  void RunPairs();
  // Why the run cannot start (a missing problems directory or monitor output
  // directory), or nothing.
  std::optional<std::string> MissingDirectory() const;
  // Makes the results directory; why the batch cannot write there, or nothing.
  std::optional<std::string> PrepareResultsDirectory() const;
  // Why a pair of the batch cannot be written (a name too long, a results
  // path that is a directory), checked before anything is solved; or nothing.
  std::optional<std::string> UnwritablePair(const std::vector<std::string>& problems) const;
  // Records the run's seed setting beside the results files and says so when pairs there used another.
  void WarnOfOtherSeeds();
  std::string ResultsPathOf(const std::string& problem, const CExperiment& experiment) const;
  // One worker's loop over the queue; `slot` numbers the worker from 0.
  void WorkPairs(PairQueue& queue, std::size_t slot);
  // False when an error ended the run.
  bool SolvePair(const std::string& problem, const CExperiment& experiment, std::size_t slot);
  void SetCurrentSolver(std::size_t slot, Solver* solver);
  void EndWithError(const std::string& message);
  // An error in one worker ends the run for all: the others stop their
  // current runs (keeping their finished lines) and take no more pairs.
  void HaltPeers();
  bool ShouldQuit() const { return IsStopRequested() || halted_.load(std::memory_order_relaxed); }
  RunSettings CurrentRunSettings() const;

  RunControls& view_;
  const std::string monitorProblem_;
  const std::string monitorOutputFile_;
  const CExperiment monitorExperiment_;
  const ProblemType problemType_;
  const std::string problemsDirectory_;
  const std::string resultsDirectory_;
  std::vector<CExperiment> experiments_;
  const BatchPartition partition_;

  std::vector<Solver*> currentSolvers_;  // one per worker, under the run controls' lock
  // Progress for the display, under the run controls' lock: each worker's pair
  // in hand (empty problem when none) and the pair counts.
  std::vector<WorkerProgress> activity_;
  std::size_t pairsTotal_ = 0;
  std::size_t pairsDone_ = 0;
  std::size_t pairsSkipped_ = 0;
  ResultsNaming naming_;  // set before the workers start, read-only after
  // Under the run controls' lock: pairs that failed (with why) and pairs a
  // stop ended with some finished runs kept.
  std::vector<std::string> failedPairs_;
  std::vector<std::string> keptPartialPairs_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> halted_{false};
  std::mutex failureMutex_;
  std::optional<FatalError> fatal_;  // the first fatal error of any worker, under failureMutex_
  std::optional<std::string> otherFailure_;
  SerialMessages messages_;
  std::atomic<RunOutcome> outcome_{RunOutcome::kRunning};
  PauseGate gate_;
};

}  // namespace mirelock
