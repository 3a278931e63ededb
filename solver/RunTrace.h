#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// One improvement of a run's best solution.
struct TracePoint {
  std::uint64_t repairs = 0;      // repairs of the run so far, the improving one included
  long cpuMilliseconds = 0;       // processor time of the run so far
  std::int64_t cost = 0;          // the new best cost (SAT: unsatisfied clauses; MAX-SAT: unsatisfied weight)
};

// Every new best solution of one run, in the order found. Solvers record into
// it only where they already detect a new best, so the per-move path is
// untouched; the buffer keeps its capacity from run to run and grows
// amortised, so a run allocates at most a handful of times.
class RunTrace {
 public:
  RunTrace() { points_.reserve(kInitialCapacity); }

  // Starts a new run, keeping the buffer.
  void Clear() {
    points_.clear();
    endRepairs_ = 0;
    endCpuMilliseconds_ = 0;
  }
  void Record(std::uint64_t repairs, long cpuMilliseconds, std::int64_t cost) {
    points_.push_back(TracePoint{repairs, cpuMilliseconds, cost});
  }
  // The run's whole effort, when it ends: what a run that never reaches a target spent.
  void Finish(std::uint64_t repairs, long cpuMilliseconds) {
    endRepairs_ = repairs;
    endCpuMilliseconds_ = cpuMilliseconds;
  }
  const std::vector<TracePoint>& Points() const { return points_; }
  std::uint64_t EndRepairs() const { return endRepairs_; }
  long EndCpuMilliseconds() const { return endCpuMilliseconds_; }

 private:
  static constexpr std::size_t kInitialCapacity = 256;
  std::vector<TracePoint> points_;
  std::uint64_t endRepairs_ = 0;
  long endCpuMilliseconds_ = 0;
};

}  // namespace mirelock
