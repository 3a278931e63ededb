#include "tsp/TSPStats.h"

#include <algorithm>
#include <cmath>

#include "platform/Clock.h"

namespace mirelock {

TSPStats::TSPStats() = default;

void TSPStats::Reset(const TSPParameters* parameters) {
  parameters_ = parameters;
  repairsToBest_ = 0;
  bestDueToAspiration_ = false;
  cheapStatsOnly_ = true;
  repairs_ = 0;
  localMinima_ = 0;
  startClock_ = 0;
  stopClock_ = 0;
  solutionsFound_ = 0;
  repetitions_ = 0;
  repairLimit_ = 0;
  entropyAverage_ = 0.0;
  entropyStdDev_ = 0.0;
  entropyMin_ = 1.0;
  entropyMax_ = 0.0;
  occupancy_ = PositionOccupancy();
  positionsTracked_ = true;
  aspirationMoves_ = 0;
  visited_.Clear();
  localMinimumCosts_.Clear();
  bestFound_.Clear();
  trace_.Clear();
}

void TSPStats::StartClock() { startClock_ = ClockMilliseconds(); }
void TSPStats::StopClock() {
  stopClock_ = ClockMilliseconds();
  trace_.Finish(repairs_, stopClock_ - startClock_);
}
double TSPStats::ElapsedSeconds() const {
  return static_cast<double>(ClockMilliseconds() - startClock_) * 0.001;
}
double TSPStats::DurationSeconds() const { return static_cast<double>(stopClock_ - startClock_) * 0.001; }

bool TSPStats::TargetSet() const {
  return parameters_ != nullptr && parameters_->TargetCost() != TSPParameters::kNoTarget;
}

void TSPStats::RecordInitialSolution(const std::vector<std::int32_t>& tour, std::int64_t cost,
                                     bool targetReached) {
  repairsToBest_ = 0;
  repairs_ = 0;
  solutionsFound_ = 0;
  localMinima_ = 0;
  visited_.Clear();
  localMinimumCosts_.Clear();
  bestFound_.Clear();
  trace_.Clear();
  RecordNewBest(cost, false, targetReached);
  visited_.Add(SeriesValue(cost));
  if (positionsTracked_) occupancy_.Start(tour);
  repetitions_ = 0;
  aspirationMoves_ = 0;
  bestDueToAspiration_ = false;
}

void TSPStats::RecordMove(const std::vector<std::int32_t>& tour, std::int32_t cost, std::uint32_t first,
                          std::uint32_t last) {
  visited_.Add(static_cast<std::uint32_t>(cost));
  occupancy_.RecordMove(tour, first, last);
  ++repairs_;
}

void TSPStats::RecordLocalMinimum(std::int64_t cost) {
  localMinimumCosts_.Add(SeriesValue(cost));
  ++localMinima_;
}

void TSPStats::RecordNewBest(std::int64_t cost, bool byAspiration, bool targetReached) {
  repairsToBest_ = repairs_;
  trace_.Record(repairs_, cost, [this] { return ClockMilliseconds() - startClock_; });
  bestFound_.Add(SeriesValue(cost));
  bestDueToAspiration_ = byAspiration;
  if (targetReached) ++solutionsFound_;
}

// Entropy of each position's occupancy with logarithms to base n: 0 when one
// city held the position throughout, 1 when all cities held it equally long.
void TSPStats::ComputeEntropy() {
  occupancy_.CloseStays();
  if (occupancy_.Moves() == 0) return;
  const std::uint32_t n = occupancy_.Size();
  const double logBase = std::log(static_cast<double>(n));
  double sum = 0.0;
  double sumOfSquares = 0.0;
  for (std::uint32_t k = 0; k < n; ++k) {
    double total = 0.0;
    for (std::uint32_t c = 0; c < n; ++c) total += occupancy_.Count(k, c);
    double entropy = 0.0;
    if (n > 1 && total > 0.0) {
      for (std::uint32_t c = 0; c < n; ++c) {
        const double q = occupancy_.Count(k, c) / total;
        if (q > 0.0) entropy -= q * std::log(q) / logBase;
      }
    }
    if (k == 0 || entropy < entropyMin_) entropyMin_ = entropy;
    if (k == 0 || entropy > entropyMax_) entropyMax_ = entropy;
    sum += entropy;
    sumOfSquares += entropy * entropy;
  }
  entropyAverage_ = sum / n;
  entropyStdDev_ = std::sqrt(std::max(0.0, sumOfSquares / n - entropyAverage_ * entropyAverage_));
}

std::ostream& TSPStats::WriteHeader(std::ostream& out) {
  if (TargetSet()) out << "Sol_Found\t";
  out << "CPU_Seconds\tRepairs_To_BestSol\t";
  if (!cheapStatsOnly_)
    out << "Repetitions"
        << "\t";
  out << "Ave_Entropy\t"
      << "StdDev_Entropy\t"
      << "Min_Entropy\t"
      << "Max_Entropy"
      << "\t";
  out << "Aspiration"
      << "\t";
  visited_.WriteHeader(out);
  localMinimumCosts_.WriteHeader(out);
  bestFound_.WriteHeader(out);
  out << "Best_Due_To_Aspiration\t";
  return out;
}

std::ostream& TSPStats::WriteRow(std::ostream& out) {
  if (TargetSet()) out << solutionsFound_ << "\t";
  const double duration = DurationSeconds();
  out << (duration > 0.0 ? duration : ElapsedSeconds()) << "\t";
  out << repairsToBest_ << "\t";
  if (!cheapStatsOnly_) out << repetitions_ << "\t";
  if (positionsTracked_) {
    ComputeEntropy();
    out << entropyAverage_ << "\t" << entropyStdDev_ << "\t" << entropyMin_ << "\t" << entropyMax_ << "\t";
  } else {
    out << "NA\tNA\tNA\tNA\t";
  }
  out << aspirationMoves_ << "\t";
  visited_.WriteRow(out);
  localMinimumCosts_.WriteRow(out);
  bestFound_.WriteRow(out);
  out << (bestDueToAspiration_ ? "1\t" : "0\t");
  return out;
}

}  // namespace mirelock
