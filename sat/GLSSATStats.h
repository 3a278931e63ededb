#pragma once
#include <cstdint>
#include <ostream>

#include "sat/EntropyTracker.h"
#include "solver/ValueSeries.h"
#include "solver/SolverStats.h"

namespace mirelock {

// What one GLSSAT run reports. The solver feeds it while it searches; the
// row is written after the run (and by the monitor file during it).
class GLSSATStats : public SolverStats {
 public:
  std::ostream& WriteRow(std::ostream& out) override;
  std::ostream& WriteHeader(std::ostream& out) override;

  // A fresh record for a new run; only the weighted flag survives.
  void Reset();
  void SetWeighted(bool weighted) { weighted_ = weighted; }
  bool IsWeighted() const { return weighted_; }
  void SetTotalWeight(std::uint64_t total) { totalWeight_ = total; }
  void SetCheapStatisticsOnly(bool cheap) { cheapStatisticsOnly_ = cheap; }
  void SetRepairLimit(std::uint64_t limit) { repairLimit_ = limit; }

  void StartClock();
  void StopClock();
  double ElapsedSeconds() const;
  double Duration() const { return static_cast<double>(stopMilliseconds_ - startMilliseconds_) * 0.001; }

  // The starting assignment and its cost (not a repair).
  void RecordStart(const std::uint8_t* values, std::size_t count, std::uint64_t cost);
  // Variable `variable` was flipped and the cost is now `cost`.
  void RecordFlip(std::uint32_t variable, std::uint64_t cost) {
    visited_.Add(cost);
    entropy_.RecordChange(variable, repairs_);
    ++repairs_;
  }
  void RecordBest(std::uint64_t cost, bool byAspiration);
  void RecordLocalMinimum(std::uint64_t cost) {
    localMinimaCosts_.Add(cost);
    ++localMinima_;
  }
  void RecordSolution();
  void CountAspirationMove() { ++aspirationMoves_; }
  void SetBestSatisfiedWeight(std::uint64_t weight) { bestSatisfiedWeight_ = weight; }

  std::uint64_t Repairs() const { return repairs_; }
  std::uint64_t RepairsToBest() const { return repairsToBest_; }
  std::uint64_t LocalMinima() const { return localMinima_; }
  bool SolutionFound() const { return solutionFound_; }
  std::uint64_t BestSatisfiedWeight() const { return bestSatisfiedWeight_; }
  std::uint64_t AspirationMoves() const { return aspirationMoves_; }
  bool BestDueToAspiration() const { return bestDueToAspiration_; }
  const ValueSeries& Visited() const { return visited_; }
  const ValueSeries& LocalMinimaCosts() const { return localMinimaCosts_; }
  const ValueSeries& BestFound() const { return bestFound_; }
  EntropyTracker::Summary Entropy() const { return entropy_.Summarise(repairs_); }

 private:
  bool weighted_ = false;
  std::uint64_t totalWeight_ = 0;
  std::uint64_t bestSatisfiedWeight_ = 0;
  bool cheapStatisticsOnly_ = true;
  std::uint64_t repairLimit_ = 0;
  std::uint64_t repairs_ = 0;
  std::uint64_t repairsToBest_ = 0;
  bool bestDueToAspiration_ = false;
  std::uint64_t localMinima_ = 0;
  long startMilliseconds_ = 0;
  long stopMilliseconds_ = 0;
  bool solutionFound_ = false;
  std::uint64_t repetitions_ = 0;
  std::uint64_t aspirationMoves_ = 0;
  EntropyTracker entropy_;
  ValueSeries visited_{"Visited_Solution", "Cost"};
  ValueSeries localMinimaCosts_{"Local_Minima_Solution", "Cost"};
  ValueSeries bestFound_{"Best_Found_Solution", "Cost"};
};

}  // namespace mirelock
