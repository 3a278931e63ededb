#pragma once
#include <atomic>

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

 protected:
  // The termination-test check point: parks while the run controls hold the
  // worker paused, then answers whether a stop was requested. Solvers call it
  // at every termination test; it costs two loads when nothing is pending.
  bool StopTest() {
    if (pauseGate_ != nullptr && pauseGate_->IsClosed()) pauseGate_->WaitIfClosed();
    return stopRequested_.load(std::memory_order_relaxed);
  }

 private:
  std::atomic<bool> stopRequested_{false};
  PauseGate* pauseGate_ = nullptr;
};

}  // namespace mirelock
