#include "sat/GLSSATStats.h"

#include <string>

#include "platform/Clock.h"
#include "platform/NumberFormat.h"

namespace mirelock {

void GLSSATStats::Reset() {
  const bool weighted = weighted_;
  RunTrace trace = std::move(trace_);  // keeps its buffer for the next run
  *this = GLSSATStats();
  trace_ = std::move(trace);
  trace_.Clear();
  weighted_ = weighted;
}

void GLSSATStats::StartClock() { startMilliseconds_ = ClockMilliseconds(); }
void GLSSATStats::StopClock() {
  stopMilliseconds_ = ClockMilliseconds();
  trace_.Finish(repairs_, stopMilliseconds_ - startMilliseconds_);
}
double GLSSATStats::ElapsedSeconds() const {
  return static_cast<double>(ClockMilliseconds() - startMilliseconds_) * 0.001;
}

void GLSSATStats::RecordStart(const std::uint8_t* values, std::size_t count, std::uint64_t cost) {
  entropy_.Start(values, count);
  visited_.Add(cost);
}

void GLSSATStats::RecordBest(std::uint64_t cost, bool byAspiration) {
  repairsToBest_ = repairs_;
  trace_.Record(repairs_, static_cast<std::int64_t>(cost), [this] { return ClockMilliseconds() - startMilliseconds_; });
  bestFound_.Add(cost);
  bestDueToAspiration_ = byAspiration;
  bestSatisfiedWeight_ = totalWeight_ >= cost ? totalWeight_ - cost : 0;
}

void GLSSATStats::RecordSolution() {
  if (solutionFound_) return;
  solutionFound_ = true;
  repairsToBest_ = repairs_;
}

std::ostream& GLSSATStats::WriteHeader(std::ostream& out) {
  if (weighted_) out << "Best_Found_Solution_Max_Cost\t";
  out << "Sol_Found\tCPU_Seconds\tRepairs_To_BestSol\tMinimas\t";
  out << "Repetitions" << '\t';
  out << "Ave_Entropy\t"
      << "StdDev_Entropy\t"
      << "Min_Entropy\t"
      << "Max_Entropy" << '\t';
  out << "Aspiration" << '\t';
  visited_.WriteHeader(out);
  localMinimaCosts_.WriteHeader(out);
  bestFound_.WriteHeader(out);
  return out << "Best_Due_To_Aspiration\t";
}

std::ostream& GLSSATStats::WriteRow(std::ostream& out) {
  if (weighted_) out << std::to_string(bestSatisfiedWeight_) << '\t';
  out << (solutionFound_ ? "1" : "0") << '\t';
  const double duration = Duration();
  out << FormatNumber(duration > 0.0 ? duration : ElapsedSeconds()) << '\t';
  out << std::to_string(repairsToBest_) << '\t' << std::to_string(localMinima_) << '\t';
  out << std::to_string(repetitions_) << '\t';
  const EntropyTracker::Summary entropy = Entropy();
  out << FormatNumber(entropy.average) << '\t' << FormatNumber(entropy.deviation) << '\t'
      << FormatNumber(entropy.minimum) << '\t' << FormatNumber(entropy.maximum) << '\t';
  out << std::to_string(aspirationMoves_) << '\t';
  visited_.WriteRow(out);
  localMinimaCosts_.WriteRow(out);
  bestFound_.WriteRow(out);
  return out << (bestDueToAspiration_ ? "1\t" : "0\t");
}

}  // namespace mirelock
