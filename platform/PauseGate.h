#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace mirelock {

// A cooperative pause for one worker. The controlling thread closes the gate;
// the worker, at the points where it tests its stop flag, parks in WaitIfClosed
// until the gate opens again and then continues exactly where it was. The
// open/closed test is one relaxed atomic load, cheap enough for a hot loop.
class PauseGate {
 public:
  void Close();
  void Open();
  bool IsClosed() const { return closed_.load(std::memory_order_relaxed); }

  // Called by the worker: blocks while the gate is closed.
  void WaitIfClosed();

  // Called by a controller or a test: blocks until the worker is parked at
  // the closed gate, or the gate is open again. Returns whether it is parked.
  bool WaitUntilParked();

 private:
  std::atomic<bool> closed_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool parked_ = false;
};

}  // namespace mirelock
