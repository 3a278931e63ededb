#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "tsp/IntMatrix.h"
#include "tsp/LocalSearchSolver.h"
#include "tsp/TSPInstance.h"
#include "tsp/TSPMonitorWriter.h"
#include "tsp/TSPMove.h"
#include "tsp/TwoOptEvaluator.h"

namespace mirelock {

class FastLocalSearch;

// Guided Local Search for the symmetric TSP: 2-opt moves on a tour, the tour's
// edges as features, penalised at each local minimum by their utility. Costs,
// penalties and move values are 32-bit integers (the tour cost scaled by a
// multiplier of 1 or 100, the penalties in units of an integer lambda), so
// ties between moves are exact and are broken uniformly at random.
// By default every move comes from a scan of the whole 2-opt neighbourhood;
// with a neighbour count set in the parameters the steps are those of
// FastLocalSearch instead, over the same parameters and statistics.
class TSPSolver : public LocalSearchSolver {
 public:
  static constexpr std::int32_t kNoCost = 2147483647;
  // Below this tour cost at the first local minimum, costs are scaled by 100
  // so that lambda keeps two decimals in integer arithmetic.
  static constexpr std::int32_t kScaledCostLimit = 214748;
  // Largest multiplier * distance + penalty of an edge. A move value adds two
  // such elements and subtracts two, so below 2^29 it never leaves 32 bits.
  static constexpr std::int32_t kAugmentedCeiling = (1 << 29) - 1;

  TSPSolver();
  ~TSPSolver() override;

  ProblemInstance& GetProblem() override { return instance_; }

  void StartRun() override;
  void ResetPenalties() override;
  void InitialSolution() override;
  void Evaluate() override;
  void LocalSearch() override;
  void Penalise() override;
  std::int32_t GetBestCost() override;
  int MonitorWriteError() const override { return monitor_.Error(); }
  std::int32_t TourCost(const std::vector<std::int32_t>& tour) override;
  const std::vector<std::int32_t>& GetBestTour() override;
  std::int32_t GetSize() override { return static_cast<std::int32_t>(instance_.Size()); }

  // The search state, for tests and benchmark programs.
  const TSPInstance& Instance() const { return instance_; }
  // The fast search of this run, or nullptr for the full scan.
  const FastLocalSearch* Fast() const { return fast_.get(); }
  const std::vector<std::int32_t>& Tour() const { return tour_; }
  std::int32_t Cost() const { return cost_; }
  // The cost plus the penalties of the tour's edges, in the multiplier's units.
  std::int64_t AugmentedCost() const;
  double Lambda() const { return lambda_; }
  std::int32_t IntegerLambda() const { return integerLambda_; }
  std::int32_t CostMultiplier() const { return costMultiplier_; }
  // Integer lambda times the number of times the edge between two cities was penalised.
  std::int32_t Penalty(std::int32_t a, std::int32_t b) const;
  const TwoOptEvaluator& Neighbourhood() const { return neighbourhood_; }
  // Cost delta and augmented delta of a move on the current tour, computed directly.
  std::int32_t CostDelta(const TSPMove& move) const;
  std::int32_t AugmentedDelta(const TSPMove& move) const;

 private:
  void CheckSize();
  void ComputeIntegerLambda();
  void EvaluateNeighbourhood();
  TSPMonitorPoint MonitorPoint() const;
  void ScaleCosts(std::int32_t multiplier);
  TSPMove RandomMove();
  void ApplyMove(const TSPMove& move);
  void AfterMove(bool foundByAspiration);
  std::int32_t MoveDelta(const IntMatrix& matrix, const TSPMove& move) const;

  TSPInstance instance_;
  std::uint32_t n_ = 0;
  std::vector<std::int32_t> tour_;
  std::int32_t cost_ = 0;
  std::vector<std::int32_t> bestTour_;
  std::int32_t bestCost_ = kNoCost;
  std::int32_t initialCost_ = kNoCost;
  double lambda_ = 0.0;
  std::int32_t integerLambda_ = 0;
  std::int32_t costMultiplier_ = 1;
  // multiplier * distance + penalty for every pair of cities; the penalty of an
  // edge is recovered from it, so no separate penalty table is kept. The
  // neighbourhood keeps a copy in tour order.
  IntMatrix augmented_;
  TwoOptEvaluator neighbourhood_;
  std::vector<std::uint32_t> penalisedEdges_;  // tour positions k of edges (k - 1, k), 0 the closing edge
  std::unique_ptr<FastLocalSearch> fast_;      // made at the first run that asks for it
  std::uint64_t fastGeneration_ = 0;           // the instance's generation fast_ was made for
  TSPMonitorWriter monitor_;                   // the monitor output file of a monitor run
};

}  // namespace mirelock
