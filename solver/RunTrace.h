#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// One improvement of a run's best solution.
struct TracePoint {
  std::uint64_t repairs = 0;  // repairs of the run so far, the improving one included
  long cpuMilliseconds = 0;   // processor time of the run so far
  std::int64_t cost = 0;      // the new best cost (SAT: unsatisfied clauses; MAX-SAT: unsatisfied weight)
};

// Every new best solution of one run, in the order found. Solvers record into
// it only where they already detect a new best, so the per-move path is
// untouched; the buffer keeps its capacity from run to run and grows
// amortised, so a run allocates at most a handful of times.
//
// Reading the thread's CPU clock costs about half a microsecond, as much as a
// 2-opt move of a large tour, and a descent from a random start finds a new
// best at nearly every move. So the clock is read only for a point at least
// kClockSpacing repairs after the last one read; Finish fills in the points
// between by linear interpolation in repairs between the readings around
// them (the run's end is the last reading). A point is then off by at most
// the time of kClockSpacing repairs, below the clock's millisecond tick for
// the solvers' move rates.
class RunTrace {
 public:
  static constexpr std::uint64_t kClockSpacing = 16;

  RunTrace() { points_.reserve(kInitialCapacity); }

  // Starts a new run, keeping the buffer.
  void Clear() {
    points_.clear();
    endRepairs_ = 0;
    endCpuMilliseconds_ = 0;
  }
  // `cpuMilliseconds` is called for the run's CPU time when the clock is to be read.
  template <typename CpuMilliseconds>
  void Record(std::uint64_t repairs, std::int64_t cost, CpuMilliseconds cpuMilliseconds) {
    long milliseconds = kNotRead;
    if (points_.empty() || repairs - lastReadRepairs_ >= kClockSpacing) {
      milliseconds = cpuMilliseconds();
      lastReadRepairs_ = repairs;
    }
    points_.push_back(TracePoint{repairs, milliseconds, cost});
  }
  // The run's whole effort, when it ends: what a run that never reaches a target spent.
  void Finish(std::uint64_t repairs, long cpuMilliseconds);

  const std::vector<TracePoint>& Points() const { return points_; }
  std::uint64_t EndRepairs() const { return endRepairs_; }
  long EndCpuMilliseconds() const { return endCpuMilliseconds_; }

 private:
  static constexpr std::size_t kInitialCapacity = 256;
  static constexpr long kNotRead = -1;
  std::vector<TracePoint> points_;
  std::uint64_t lastReadRepairs_ = 0;
  std::uint64_t endRepairs_ = 0;
  long endCpuMilliseconds_ = 0;
};

}  // namespace mirelock
