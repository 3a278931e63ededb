#pragma once
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

#include "solver/SolverStats.h"

namespace mirelock {

// Exact first and second moments of a series of costs. Costs are non-negative
// 64-bit integers; the sum is kept in 128 bits and the sum of squares in 192
// (128 bits plus a carry count), so neither can overflow within 2^32 values,
// and the population deviation comes from count * sum(x^2) - sum(x)^2 formed
// exactly. It never goes negative or NaN, whatever the magnitude of the costs.
class CostMoments {
 public:
  void Add(std::int64_t cost) {
    const auto x = static_cast<unsigned __int128>(static_cast<std::uint64_t>(cost));
    ++count_;
    sum_ += x;
    const unsigned __int128 square = x * x;
    sumOfSquaresLow_ += square;
    sumOfSquaresHigh_ += sumOfSquaresLow_ < square;  // carry out of the low 128 bits
  }
  void Clear() { *this = CostMoments(); }
  std::uint64_t Count() const { return count_; }
  double Mean() const;
  double StandardDeviation() const;

 private:
  std::uint64_t count_ = 0;
  unsigned __int128 sum_ = 0;
  unsigned __int128 sumOfSquaresLow_ = 0;
  std::uint64_t sumOfSquaresHigh_ = 0;
};

// What one run of the QAP solver reports: one row of 20 tab-terminated fields.
// Costs are kept as 64-bit integers so that instances whose costs exceed the
// 32-bit range report their true values.
class QAPStats : public SolverStats {
 public:
  // The best cost of a run before anything has been recorded.
  static constexpr std::int64_t kBestCostUnset = 2147483647;

  QAPStats();

  std::ostream& WriteRow(std::ostream& out) override;
  std::ostream& WriteHeader(std::ostream& out) override;
  virtual unsigned TotalRepairs() { return totalRepairs_; }

  // Starts a run. The unset best cost is the largest value of the solver's
  // cost type, which is 2147483647 unless the instance needs 64-bit costs.
  void ResetRun(std::int64_t bestCostUnset = kBestCostUnset);
  void StartClock();
  void StopClock();

  // Counts, for every position, the item standing there.
  void RecordSolution(const std::vector<int>& perm);
  void RecordMove(std::int64_t cost);
  void RecordLocalMinimum(std::int64_t cost);
  void RecordNewBest(std::int64_t cost, bool byAspiration);
  void AddRepetition() { ++repetitions_; }
  void AddOverridingAspiringMove() { ++overridingAspiringMoves_; }
  void AddAspiringMove() { ++aspiringMoves_; }
  void AddAspiringMoveUndone() { ++aspiringMovesUndone_; }
  void AddConsecutiveAspiringMove() { ++consecutiveAspiringMoves_; }

  unsigned Repairs() const { return repairs_; }
  unsigned LocalMinima() const { return localMinima_; }
  unsigned Repetitions() const { return repetitions_; }
  unsigned RepairsAtBest() const { return repairsAtBest_; }
  std::int64_t BestCost() const { return bestCost_; }
  unsigned BestFoundCount() const { return bestFoundCount_; }
  unsigned AspiringMoves() const { return aspiringMoves_; }
  unsigned OverridingAspiringMoves() const { return overridingAspiringMoves_; }
  long StartClockValue() const { return startClock_; }

 private:
  void ComputeEntropy();

  bool bestFoundByAspiration_ = false;
  unsigned repetitions_ = 0;
  unsigned repairsAtBest_ = 0;
  unsigned totalRepairs_ = 0;
  unsigned localMinima_ = 0;
  std::int64_t bestCost_ = kBestCostUnset;
  CostMoments moveCosts_, localMinCosts_;
  double entropyAve_ = 0, entropyStdDev_ = 0;
  double entropyMin_ = std::numeric_limits<double>::max();
  double entropyMax_ = std::numeric_limits<double>::min();
  unsigned repairs_ = 0;
  // frequency_[position * n + item]; empty until the first solution of a run.
  std::vector<std::uint32_t> frequency_;
  std::size_t frequencySize_ = 0;
  unsigned bestFoundCount_ = 0;
  unsigned __int128 bestFoundCostSum_ = 0;
  unsigned overridingAspiringMoves_ = 0, aspiringMoves_ = 0;
  unsigned aspiringMovesUndone_ = 0, consecutiveAspiringMoves_ = 0;
  long startClock_ = 0, endClock_ = 0;
};

}  // namespace mirelock
