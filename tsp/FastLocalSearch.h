#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "tsp/ArrayTour.h"
#include "tsp/CityDistances.h"
#include "tsp/EdgePenalties.h"
#include "tsp/EdgeUtilityHeap.h"
#include "tsp/NeighbourLists.h"
#include "tsp/TSPInstance.h"
#include "tsp/TSPMonitorWriter.h"
#include "tsp/TSPParameters.h"
#include "tsp/TSPStats.h"

namespace mirelock {

class LocalSearchSolver;

// A 2-opt move in successor form: removes the edges (a, b) and (c, d), where
// b follows a and d follows c on the tour, and adds (a, c) and (b, d).
struct FastMove {
  std::int32_t a = 0, b = 0, c = 0, d = 0;
  // The same two edges removed, whichever end the move was found from.
  bool SameAs(const FastMove& other) const {
    return (a == other.a && c == other.c) || (a == other.c && c == other.a);
  }
};

// Guided local search with fast local search (Voudouris and Tsang): every city
// has an activation bit, and only active cities are examined, in the order in
// which they became active. Examining city a evaluates its sub-neighbourhood:
// for each of its K nearest cities c, the 2-opt move that adds the edge (a, c)
// by removing the edge from a to its successor, and the one removing the edge
// to its predecessor. The move chosen among them follows the full-scan rules
// (least augmented value with ties drawn at random, sideways moves,
// aspiration, random moves); when none is taken, a is deactivated. A move
// activates the four cities of the edges it changes, a penalty the two ends of
// the penalised edge. A local minimum is reached when no city is active.
// Memory is O(n K): distances are computed on the fly, penalties kept per city.
class FastLocalSearch {
 public:
  static constexpr std::int64_t kNoBest = INT64_MAX;
  // `monitor`, when given, gets the monitor file's lines of a monitor run.
  FastLocalSearch(const TSPInstance& instance, TSPParameters& parameters, TSPStats& stats,
                  LocalSearchSolver& owner, TSPMonitorWriter* monitor = nullptr);

  // The steps of a run, in the order of LocalSearchSolver::Solve.
  void InitialSolution(const std::vector<std::int32_t>& tour);
  void ResetPenalties();
  void Evaluate();
  void StartRun();
  void LocalSearch();
  // False when a penalty would take an augmented value past the ceiling: the run must end.
  bool Penalise();
  // The solver interface's 32-bit costs: a cost beyond 2^31 - 1 reads as
  // 2^31 - 1 here (the statistics and Cost() keep it whole).
  std::int32_t GetBestCost() const { return Clamped(stats_.Repairs() == 0 ? initialCost_ : bestCost_); }
  std::int32_t TourCost(const std::vector<std::int32_t>& tour) const {
    return Clamped(distances_.TourCost(tour));
  }
  static std::int32_t Clamped(std::int64_t cost) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(cost, 2147483647));
  }
  const std::vector<std::int32_t>& GetBestTour();

  // The search state, for tests and benchmark programs.
  const ArrayTour& Tour() const { return tour_; }
  std::int64_t Cost() const { return cost_; }
  std::int64_t BestCost() const { return stats_.Repairs() == 0 ? initialCost_ : bestCost_; }
  std::int32_t Penalty(std::int32_t a, std::int32_t b) const { return penalties_.Of(a, b); }
  std::int32_t IntegerLambda() const { return integerLambda_; }
  std::int32_t CostMultiplier() const { return costMultiplier_; }
  double Lambda() const { return lambda_; }
  const NeighbourLists& Neighbours() const { return neighbours_; }
  const CityDistances& Distances() const { return distances_; }
  std::uint32_t ActiveCities() const { return queueCount_; }

 private:
  void Prepare();
  void Activate(std::int32_t city);
  void EvaluateCity(std::int32_t a);
  void Consider(const FastMove& move, std::int64_t costDelta, std::int64_t augmentedDelta);
  std::int64_t Augmented(std::int32_t a, std::int32_t b) const {
    return std::int64_t{costMultiplier_} * distances_(a, b) + penalties_.Of(a, b);
  }
  std::int64_t CostDelta(const FastMove& m) const;
  FastMove RandomMove() const;
  void ApplyMove(const FastMove& move);
  void AfterMove(bool foundByAspiration);
  void WriteMonitorLineIfDue() {
    if (monitor_ != nullptr && monitor_->Due(stats_.Repairs())) WriteMonitorLine();
  }
  void WriteMonitorLine();
  void ComputeIntegerLambda();
  double Utility(std::int32_t a, std::int32_t b) const {
    return distances_(a, b) /
           static_cast<double>(penalties_.Of(a, b) + static_cast<std::int64_t>(integerLambda_));
  }
  void PushEdge(std::int32_t a, std::int32_t b) {
    if (heapBuilt_) utilities_.Push({Utility(a, b), a, b, penalties_.Of(a, b)});
  }
  void RebuildUtilities();
  // The tour edges of greatest utility, as tour positions k of edges (k - 1, k), in increasing order.
  void FindEdgesOfGreatestUtility();

  const TSPInstance& instance_;
  TSPParameters& parameters_;
  TSPStats& stats_;
  LocalSearchSolver& owner_;
  TSPMonitorWriter* monitor_;
  bool prepared_ = false;
  CityDistances distances_;
  NeighbourLists neighbours_;
  std::uint32_t n_ = 0;

  ArrayTour tour_;
  std::int64_t cost_ = 0;
  std::vector<std::int32_t> bestTour_;
  bool bestIsCurrent_ = false;  // the current tour is the best: bestTour_ is not yet a copy of it
  std::int64_t bestCost_ = kNoBest;
  std::int64_t initialCost_ = kNoBest;
  double lambda_ = 0.0;
  std::int32_t integerLambda_ = 0;
  std::int32_t costMultiplier_ = 1;
  EdgePenalties penalties_;

  // Active cities in a ring buffer, in order of activation.
  std::vector<std::uint8_t> active_;
  std::vector<std::int32_t> queue_;
  std::uint32_t queueHead_ = 0;
  std::uint32_t queueCount_ = 0;

  // The examined city's moves of least augmented value, and of least cost
  // value among those that would give a new best tour.
  std::vector<FastMove> bestMoves_;
  std::int64_t bestValue_ = 2147483647;
  std::vector<FastMove> aspirationMoves_;
  std::int64_t aspirationValue_ = 2147483647;
  std::int64_t aspirationThreshold_ = 0;
  bool aspirationOn_ = false;
  std::vector<std::int32_t> penalisedEdges_;  // tour positions k of edges (k - 1, k), 0 the closing edge
  // Built at the run's first penalisation, when lambda is known.
  EdgeUtilityHeap utilities_;
  bool heapBuilt_ = false;
};

}  // namespace mirelock
