#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "experiments/CMirelockDoc.h"
#include "platform/FatalError.h"
#include "platform/UserMessages.h"
#include "runner/BatchPartition.h"
#include "runner/RunOutcome.h"
#include "runner/RunProgress.h"

namespace mirelock {

class CSolverThread;

// The run state that the view owns, usable without a window: one lock, the
// running flag, the current worker, and the commands Start, Stop and Solve
// problem. The desktop app and the command line drive the same object.
class RunControls {
 public:
  RunControls(CMirelockDoc& doc, UserMessages& messages, SolverFactoryFn factory = nullptr);
  // Abandons every worker and waits for all of them.
  ~RunControls();
  RunControls(const RunControls&) = delete;
  RunControls& operator=(const RunControls&) = delete;

  // Continues a paused worker, or abandons it when settings changed and starts a new batch run.
  void Start();
  // As Start, but a new worker runs the monitor problem (a batch when none is
  // selected); clears settings changed.
  void SolveProblem();
  // Pauses the worker at its next termination test; it keeps its place.
  void Stop();
  // Ends the current run at its next termination test, keeping the lines
  // finished so far; the worker then ends by itself.
  void Cancel();

  bool IsRunning() const;
  bool HasWorker() const;
  // Calls `f` under the lock and returns its result; for readers of the
  // document's progress fields outside the worker (the summariser copies the
  // solved list while a batch may be running).
  template <typename F>
  decltype(auto) UnderLock(F&& f) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return f();
  }
  // The status line's text, computed under the lock.
  std::string ProgressText() const;
  // The current run's details for a progress display, under the lock.
  RunProgress Progress() const;
  // The current worker's pause gate (null without a worker), for waiting until it is parked.
  PauseGate* CurrentPauseGate();

  // Waits until there is no current worker; false on timeout.
  bool WaitForWorkerEnd(std::chrono::milliseconds timeout);
  void WaitForWorkerEnd();

  // Worker threads that have not finished yet, abandoned ones included.
  std::size_t UnfinishedWorkerCount() const;

  // How the last worker that ended as the current one ended.
  RunOutcome LastOutcome() const;
  // What the last worker that ended as the current one kept.
  RunReport LastReport() const;
  // The fatal error that ended the last run, if any.
  std::optional<FatalError> LastFatalError() const;

  // Called on the worker's thread when a fatal error ends its run; by
  // default its text is shown as a message. Set before the first run.
  void SetFatalErrorHandler(std::function<void(const FatalError&)> handler);
  // Called on the worker's thread after the current worker ended.
  void SetWorkerEndedHandler(std::function<void()> handler);

  // The workers and the shard of the batch runs started from now on (one
  // worker, the whole batch, unless set). A monitor run always has one worker.
  // Throws std::invalid_argument for a partition that is not valid.
  void SetPartition(const BatchPartition& partition);
  BatchPartition Partition() const;

 private:
  friend class CSolverThread;

  struct Worker {
    std::shared_ptr<CSolverThread> job;
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  void StartOrContinue(bool monitor);
  void AbandonCurrentLocked();
  void LaunchLocked(const std::string& monitorProblem);
  void JoinFinishedLocked();
  void WorkerEnded(CSolverThread* job);
  // Worker side: clears the running flag when that worker is still the current one.
  void ClearRunningIfCurrent(const CSolverThread* job);
  void ReportFatal(const FatalError& error);

  CMirelockDoc& doc_;
  UserMessages& messages_;
  SolverFactoryFn factory_;
  std::function<void(const FatalError&)> fatalHandler_;
  std::function<void()> workerEndedHandler_;

  mutable std::mutex mutex_;  // the one lock
  std::condition_variable workerEnded_;
  bool running_ = false;
  std::shared_ptr<CSolverThread> current_;
  std::list<Worker> workers_;  // every thread not yet joined, abandoned ones included
  RunOutcome lastOutcome_ = RunOutcome::kFinished;
  RunReport lastReport_;
  std::optional<FatalError> lastFatal_;
  std::mutex commitMutex_;    // serialises the renaming of results files between workers
  BatchPartition partition_;  // under the lock; copied by each new worker
  std::uint64_t launches_ = 0;  // workers started, under the lock
  unsigned lastRunStarted_ = 0;  // under the lock; set by the current worker
  bool lastRunWasMonitor_ = false;
};

}  // namespace mirelock
