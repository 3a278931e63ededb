#pragma once
#include <cstdint>
#include <ostream>
#include <vector>

#include "solver/SolverStats.h"
#include "solver/ValueSeries.h"
#include "tsp/PositionOccupancy.h"
#include "tsp/TSPParameters.h"

namespace mirelock {

// What one TSP run reports: time, repairs to the best tour, how evenly the
// cities shared each tour position (entropy), aspiration overrides and three
// cost series (every visited tour, the local minima, the new bests).
class TSPStats : public SolverStats {
 public:
  TSPStats();

  std::ostream& WriteRow(std::ostream& out) override;
  std::ostream& WriteHeader(std::ostream& out) override;

  // Back to the freshly constructed state, with the run's parameters attached.
  void Reset(const TSPParameters* parameters);
  void StartClock();
  void StopClock();
  double ElapsedSeconds() const;
  double DurationSeconds() const;

  void SetCheapStatsOnly(bool on) { cheapStatsOnly_ = on; }
  void SetRepairLimit(std::uint32_t maxRepairs) { repairLimit_ = maxRepairs; }

  // Costs are 32-bit in the full scan and appended as unsigned 32-bit values;
  // the fast search's 64-bit costs are appended whole when they leave 32 bits.
  void RecordInitialSolution(const std::vector<std::int32_t>& tour, std::int64_t cost, bool targetReached);
  void RecordMove(const std::vector<std::int32_t>& tour, std::int32_t cost, std::uint32_t first,
                  std::uint32_t last);
  // For a search that keeps no fixed tour positions (the fast local search
  // reverses either side of a move): no position occupancy is kept and the
  // entropy columns are written as NA. Called before RecordInitialSolution,
  // every run: Reset tracks positions again.
  void SetPositionsUntracked() { positionsTracked_ = false; }
  bool PositionsTracked() const { return positionsTracked_; }
  void RecordMove(std::int64_t cost) {
    visited_.Add(SeriesValue(cost));
    ++repairs_;
  }
  void RecordLocalMinimum(std::int64_t cost);
  void RecordNewBest(std::int64_t cost, bool byAspiration, bool targetReached);
  void CountAspiration() { ++aspirationMoves_; }

  std::uint32_t Repairs() const { return repairs_; }
  std::uint32_t RepairsToBest() const { return repairsToBest_; }
  std::uint32_t LocalMinima() const { return localMinima_; }
  std::uint32_t SolutionsFound() const { return solutionsFound_; }
  std::uint32_t AspirationMoves() const { return aspirationMoves_; }
  bool BestDueToAspiration() const { return bestDueToAspiration_; }
  const ValueSeries& VisitedCosts() const { return visited_; }
  const ValueSeries& LocalMinimumCosts() const { return localMinimumCosts_; }
  const ValueSeries& BestFoundCosts() const { return bestFound_; }
  const PositionOccupancy& Occupancy() const { return occupancy_; }

 private:
  static std::uint64_t SeriesValue(std::int64_t cost) {
    if (cost >= INT32_MIN && cost <= INT32_MAX) return static_cast<std::uint32_t>(cost);
    return static_cast<std::uint64_t>(cost);
  }
  bool TargetSet() const;
  void ComputeEntropy();

  const TSPParameters* parameters_ = nullptr;
  std::uint32_t repairsToBest_ = 0;
  bool bestDueToAspiration_ = false;
  bool cheapStatsOnly_ = true;
  std::uint32_t repairs_ = 0;
  std::uint32_t localMinima_ = 0;
  long startClock_ = 0;
  long stopClock_ = 0;
  std::uint32_t solutionsFound_ = 0;
  // Repetitions of visited tours would be counted here; no setting of this
  // program switches cheap statistics off, so no visited-tour table is kept.
  std::uint32_t repetitions_ = 0;
  std::uint32_t repairLimit_ = 0;
  double entropyAverage_ = 0.0;
  double entropyStdDev_ = 0.0;
  double entropyMin_ = 1.0;
  double entropyMax_ = 0.0;
  PositionOccupancy occupancy_;
  bool positionsTracked_ = true;
  std::uint32_t aspirationMoves_ = 0;
  ValueSeries visited_{"Visited_Solution", "Cost"};
  ValueSeries localMinimumCosts_{"Local_Minima_Solution", "Cost"};
  ValueSeries bestFound_{"Best_Found_Solution", "Cost"};
};

}  // namespace mirelock
