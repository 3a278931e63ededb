#include "platform/PauseGate.h"

namespace mirelock {

void PauseGate::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_.store(true, std::memory_order_relaxed);
}

void PauseGate::Open() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_.store(false, std::memory_order_relaxed);
  }
  changed_.notify_all();
}

void PauseGate::WaitIfClosed() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!closed_.load(std::memory_order_relaxed)) return;
  parked_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return !closed_.load(std::memory_order_relaxed); });
  parked_ = false;
}

bool PauseGate::WaitUntilParked() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return parked_ || !closed_.load(std::memory_order_relaxed); });
  return parked_;
}

}  // namespace mirelock
