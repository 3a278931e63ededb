#include "solver/QAPStats.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>

#include "platform/Clock.h"

namespace mirelock {

double CostMoments::Mean() const {
  if (count_ == 0) return 0.0;
  return static_cast<double>(static_cast<long double>(sum_) / static_cast<long double>(count_));
}

double CostMoments::StandardDeviation() const {
  if (count_ == 0) return 0.0;
  using boost::multiprecision::int256_t;
  const int256_t sumOfSquares = (int256_t(sumOfSquaresHigh_) << 128) | int256_t(sumOfSquaresLow_);
  const int256_t sum(sum_);
  // At most 2^32 * 2^190 and (2^95)^2: both fit 256 bits; the difference is >= 0.
  const int256_t spread = int256_t(count_) * sumOfSquares - sum * sum;
  const long double count = static_cast<long double>(count_);
  const long double variance = spread.convert_to<long double>() / (count * count);
  return static_cast<double>(std::sqrt(variance));
}

QAPStats::QAPStats() { ResetRun(); }

void QAPStats::ResetRun(std::int64_t bestCostUnset) {
  bestFoundByAspiration_ = false;
  repetitions_ = 0;
  repairsAtBest_ = 0;
  localMinima_ = 0;
  bestCost_ = bestCostUnset;
  trace_.Clear();
  moveCosts_.Clear();
  localMinCosts_.Clear();
  entropyAve_ = entropyStdDev_ = 0;
  entropyMin_ = std::numeric_limits<double>::max();
  entropyMax_ = std::numeric_limits<double>::min();
  repairs_ = 0;
  frequency_.clear();
  frequencySize_ = 0;
  bestFoundCount_ = 0;
  bestFoundCostSum_ = 0;
  overridingAspiringMoves_ = aspiringMoves_ = aspiringMovesUndone_ = consecutiveAspiringMoves_ = 0;
  startClock_ = endClock_ = 0;
}

void QAPStats::StartClock() { startClock_ = ClockMilliseconds(); }
void QAPStats::StopClock() {
  endClock_ = ClockMilliseconds();
  trace_.Finish(repairs_, endClock_ - startClock_);
}

void QAPStats::RecordSolution(const std::vector<int>& perm) {
  const std::size_t n = perm.size();
  if (frequencySize_ != n || frequency_.empty()) {
    frequency_.assign(n * n, 0);
    frequencySize_ = n;
  }
  std::uint32_t* row = frequency_.data();
  for (std::size_t i = 0; i < n; ++i, row += n) ++row[perm[i]];
}

void QAPStats::RecordMove(std::int64_t cost) {
  ++totalRepairs_;
  ++repairs_;
  moveCosts_.Add(cost);
}

void QAPStats::RecordLocalMinimum(std::int64_t cost) {
  ++localMinima_;
  localMinCosts_.Add(cost);
}

void QAPStats::RecordNewBest(std::int64_t cost, bool byAspiration) {
  bestCost_ = cost;
  repairsAtBest_ = repairs_;
  trace_.Record(repairs_, cost, [this] { return ClockMilliseconds() - startClock_; });
  bestFoundCostSum_ += static_cast<std::uint64_t>(cost);
  ++bestFoundCount_;
  bestFoundByAspiration_ = byAspiration;
}

// Row entropies with logarithms to base n. A one-position problem has no
// choice at all, so its single row counts as entropy 0 (ln 1 would divide by 0).
void QAPStats::ComputeEntropy() {
  const std::size_t n = frequencySize_;
  if (n == 0 || frequency_.empty()) return;
  const double logN = std::log(static_cast<double>(n));
  double sum = 0, sumSq = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t* row = frequency_.data() + i * n;
    double total = 0;
    for (std::size_t j = 0; j < n; ++j) total += row[j];
    double entropy = 0;
    if (n > 1 && total > 0) {
      for (std::size_t j = 0; j < n; ++j) {
        const double q = row[j] / total;
        if (q > 0) entropy -= q * std::log(q) / logN;
      }
    }
    sum += entropy;
    sumSq += entropy * entropy;
    if (i == 0) {
      entropyMin_ = entropyMax_ = entropy;
    } else {
      if (entropy < entropyMin_) entropyMin_ = entropy;
      if (entropy > entropyMax_) entropyMax_ = entropy;
    }
  }
  entropyAve_ = sum / static_cast<double>(n);
  entropyStdDev_ = std::sqrt(sumSq / static_cast<double>(n) - entropyAve_ * entropyAve_);
}

std::ostream& QAPStats::WriteHeader(std::ostream& out) {
  return out << "Best_cost\tAve_cost\tStddev_cost\tCPU_secs\t#Repairs\t#Local_minima\t"
             << "#Repetitions\t"
             << "Ave_Entropy\tStdDev_Entropy\tMin_Entropy\tMax_Entropy\t"
             << "Ave_LocalMinima_Cost\tStdDev_LocalMinima_Cost\t"
             << "#BestFoundSols\t"
             << "Ave_BestFoundSols_Cost\t"
             << "#Overriding_Aspiring_Moves\t"
             << "#Aspiring_Moves\t"
             << "#Aspiring_Moves_undone_next_move\t"
             << "#Consecutive_Aspiring_Moves\t"
             << "BestFound_due_to_Aspiring_Move\t";
}

std::ostream& QAPStats::WriteRow(std::ostream& out) {
  out << bestCost_ << '\t';
  if (repairs_ > 0) {
    out << moveCosts_.Mean() << '\t' << moveCosts_.StandardDeviation() << '\t';
  } else {
    out << "NA\tNA\t";
  }
  if (endClock_ != 0) {
    out << (endClock_ - startClock_) * 0.001 << '\t';
  } else {
    out << static_cast<double>((ClockMilliseconds() - startClock_) / 1000) << '\t';
  }
  out << repairsAtBest_ << '\t' << localMinima_ << '\t' << repetitions_ << '\t';
  if (repairs_ > 0) ComputeEntropy();
  out << entropyAve_ << '\t' << entropyStdDev_ << '\t' << entropyMin_ << '\t' << entropyMax_ << '\t';
  if (localMinima_ > 0) {
    out << localMinCosts_.Mean() << '\t' << localMinCosts_.StandardDeviation() << '\t';
  } else {
    out << "NA" << '\t' << "NA" << '\t';
  }
  out << bestFoundCount_ << '\t';
  if (bestFoundCount_ > 0) {
    out << static_cast<double>(static_cast<long double>(bestFoundCostSum_) / bestFoundCount_) << '\t';
  } else {
    out << "NA\t";
  }
  out << overridingAspiringMoves_ << '\t' << aspiringMoves_ << '\t' << aspiringMovesUndone_ << '\t'
      << consecutiveAspiringMoves_ << '\t';
  out << (bestFoundByAspiration_ ? "1\t" : "0\t");
  return out;
}

}  // namespace mirelock
