#pragma once
#include <atomic>
#include <cstdint>

#include "platform/PauseGate.h"
#include "solver/ProblemInstance.h"
#include "solver/SolverParameters.h"
#include "solver/SolverStats.h"

namespace mirelock {

// One solver serves one problem file with one experiment (all its runs) and is
// then destroyed. The declaration order of the virtual operations is the
// interface's slot order.
class Solver {
 public:
  virtual ~Solver() = default;
  // One complete run from a fresh start; returns when the run's termination test holds.
  virtual void Solve() {}
  virtual ProblemInstance& GetProblem() = 0;
  virtual SolverStats& GetStats() = 0;
  virtual SolverParameters& GetParameters() = 0;
  virtual bool IsStopped() { return stopRequested_.load(std::memory_order_relaxed); }
  // The one operation called from another thread. Once set the flag stays set.
  virtual void Stop() { stopRequested_.store(true, std::memory_order_relaxed); }

  // errno of the first failure to open or write the monitor output file
  // (EIO when none was set); 0 when there was none or the solver writes none.
  virtual int MonitorWriteError() const { return 0; }

  // The run controls' pause gate, tested wherever the solver tests its stop flag.
  void SetPauseGate(PauseGate* gate) { pauseGate_ = gate; }

  // The current run's repairs and repair limit as the solver last published them at a termination
  // test, for a progress display on another thread (a run of minutes is otherwise silent until it ends).
  // The two are stored apart: for the moment a run ends and the next starts, the share read may pair
  // one run's repairs with the other's limit, which a progress display shrugs off (it clamps to 0..1).
  struct RunProgressMark {
    std::uint64_t repairs = 0;
    std::uint64_t limit = 0;
  };
  RunProgressMark PublishedRunProgress() const {
    return {publishedRepairs_.load(std::memory_order_relaxed), publishedLimit_.load(std::memory_order_relaxed)};
  }

 protected:
  // The termination-test check point: parks while the run controls hold the
  // worker paused, then answers whether a stop was requested. Solvers call it
  // at every termination test; it costs two loads when nothing is pending.
  // Two plain stores on x86: cheap enough for every termination test.
  void PublishRunProgress(std::uint64_t repairs, std::uint64_t limit) {
    publishedRepairs_.store(repairs, std::memory_order_relaxed);
    publishedLimit_.store(limit, std::memory_order_relaxed);
  }

  bool StopTest() {
    if (pauseGate_ != nullptr && pauseGate_->IsClosed()) pauseGate_->WaitIfClosed();
    return stopRequested_.load(std::memory_order_relaxed);
  }

 private:
  std::atomic<bool> stopRequested_{false};
  std::atomic<std::uint64_t> publishedRepairs_{0};
  std::atomic<std::uint64_t> publishedLimit_{0};
  PauseGate* pauseGate_ = nullptr;
};

}  // namespace mirelock
