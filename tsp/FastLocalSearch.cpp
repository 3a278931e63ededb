#include "tsp/FastLocalSearch.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "platform/Random.h"
#include "tsp/LocalSearchSolver.h"
#include "tsp/TSPSolver.h"

namespace mirelock {

namespace {

constexpr std::int64_t kNoValue = INT64_MAX;

// K must leave every city K others to choose from.
std::uint32_t CheckedNeighbours(const TSPInstance& instance, std::uint32_t k) {
  if (k == 0 || k >= instance.Size()) {
    throw FatalError("Error: TSP file " + instance.Header().name + ": fast local search over " +
                         std::to_string(k) +
                         " nearest neighbours needs 1 to n - 1 neighbours, and the problem has " +
                         std::to_string(instance.Size()) + " cities\n",
                     OutputStream::Err, 1);
  }
  return k;
}

}  // namespace

FastLocalSearch::FastLocalSearch(const TSPInstance& instance, TSPParameters& parameters, TSPStats& stats,
                                 LocalSearchSolver& owner, TSPMonitorWriter* monitor)
    : instance_(instance),
      parameters_(parameters),
      stats_(stats),
      owner_(owner),
      monitor_(monitor),
      distances_(instance),
      n_(instance.Size()) {
  neighbours_.Build(distances_, CheckedNeighbours(instance, parameters.Neighbours()));
  active_.assign(n_, 0);
  queue_.assign(n_, 0);
  bestMoves_.reserve(2 * neighbours_.K());
  aspirationMoves_.reserve(2 * neighbours_.K());
}

void FastLocalSearch::InitialSolution(const std::vector<std::int32_t>& tour) { tour_.Assign(tour); }

void FastLocalSearch::ResetPenalties() {
  heapBuilt_ = false;
  utilities_.Clear();
  lambda_ = 0.0;
  costMultiplier_ = 1;
  integerLambda_ = 0;
  penalties_.Reset(n_);
}

// Every city starts active, in city order.
void FastLocalSearch::Evaluate() {
  cost_ = distances_.TourCost(tour_.Cities());
  std::fill(active_.begin(), active_.end(), 0);
  queueHead_ = 0;
  queueCount_ = 0;
  for (std::uint32_t c = 0; c < n_; ++c) Activate(static_cast<std::int32_t>(c));
}

void FastLocalSearch::StartRun() {
  bestCost_ = kNoBest;
  bestIsCurrent_ = true;
  initialCost_ = cost_;
  stats_.SetCheapStatsOnly(parameters_.CheapStatsOnly());
  stats_.SetRepairLimit(parameters_.MaxRepairs());
  stats_.SetPositionsUntracked();
  stats_.RecordInitialSolution(tour_.Cities(), cost_, cost_ <= parameters_.TargetCost());
  WriteMonitorLineIfDue();
}

// The augmented cost is summed over the tour for each line: monitor lines come
// every R moves, and keeping the sum up to date would cost every move.
void FastLocalSearch::WriteMonitorLine() {
  const std::vector<std::int32_t>& cities = tour_.Cities();
  std::int64_t augmented = Augmented(cities.back(), cities.front());
  for (std::size_t k = 0; k + 1 < cities.size(); ++k) augmented += Augmented(cities[k], cities[k + 1]);
  monitor_->Write({stats_.Repairs(), BestCost(), cost_,
                   static_cast<double>(augmented) / static_cast<double>(costMultiplier_)});
}

const std::vector<std::int32_t>& FastLocalSearch::GetBestTour() {
  if (bestIsCurrent_) bestTour_ = tour_.Cities();
  return bestTour_;
}

void FastLocalSearch::Activate(std::int32_t city) {
  if (active_[static_cast<std::size_t>(city)]) return;
  active_[static_cast<std::size_t>(city)] = 1;
  std::uint32_t at = queueHead_ + queueCount_;
  if (at >= n_) at -= n_;
  queue_[at] = city;
  ++queueCount_;
}

void FastLocalSearch::Consider(const FastMove& move, std::int64_t costDelta, std::int64_t augmentedDelta) {
  if (aspirationOn_ && costDelta < aspirationThreshold_) {
    if (costDelta < aspirationValue_) {
      aspirationMoves_.clear();
      aspirationValue_ = costDelta;
    }
    if (costDelta == aspirationValue_) aspirationMoves_.push_back(move);
  }
  if (augmentedDelta < bestValue_) {
    bestMoves_.clear();
    bestValue_ = augmentedDelta;
  }
  if (augmentedDelta == bestValue_) bestMoves_.push_back(move);
}

// The 2K moves that add an edge from a to one of its neighbours: first those
// removing a's edge to its successor, then those removing the edge to its
// predecessor, each in the order of the neighbour list. Values are exact
// 64-bit sums of 32-bit distances and penalties.
void FastLocalSearch::EvaluateCity(std::int32_t a) {
  bestMoves_.clear();
  bestValue_ = kNoValue;
  aspirationMoves_.clear();
  aspirationValue_ = kNoValue;
  // bestCost_ - cost_, without overflow while no best is set
  aspirationThreshold_ = bestCost_ == kNoBest ? kNoValue : bestCost_ - cost_;
  const std::uint32_t k = neighbours_.K();
  const std::int32_t* near = neighbours_.Of(a);
  const std::int32_t* nearDistance = neighbours_.DistancesOf(a);
  const std::int64_t m = costMultiplier_;

  const std::int32_t next = tour_.Next(a);
  std::int64_t removedCost = distances_(a, next);
  std::int64_t removedAugmented = m * removedCost + penalties_.Of(a, next);
  for (std::uint32_t i = 0; i < k; ++i) {
    const std::int32_t c = near[i];
    if (c == next) continue;
    const std::int32_t d = tour_.Next(c);
    if (d == a) continue;
    const std::int64_t bd = distances_(next, d);
    const std::int64_t cd = distances_(c, d);
    const std::int64_t costDelta = nearDistance[i] + bd - removedCost - cd;
    const std::int64_t augmentedDelta = m * nearDistance[i] + penalties_.Of(a, c) + m * bd +
                                        penalties_.Of(next, d) - removedAugmented - m * cd -
                                        penalties_.Of(c, d);
    Consider({a, next, c, d}, costDelta, augmentedDelta);
  }

  const std::int32_t previous = tour_.Previous(a);
  removedCost = distances_(previous, a);
  removedAugmented = m * removedCost + penalties_.Of(previous, a);
  for (std::uint32_t i = 0; i < k; ++i) {
    const std::int32_t c = near[i];
    if (c == previous) continue;
    const std::int32_t d = tour_.Previous(c);
    if (d == a) continue;
    const std::int64_t bd = distances_(previous, d);
    const std::int64_t cd = distances_(d, c);
    const std::int64_t costDelta = nearDistance[i] + bd - removedCost - cd;
    const std::int64_t augmentedDelta = m * nearDistance[i] + penalties_.Of(a, c) + m * bd +
                                        penalties_.Of(previous, d) - removedAugmented - m * cd -
                                        penalties_.Of(d, c);
    Consider({previous, a, d, c}, costDelta, augmentedDelta);
  }
}

std::int64_t FastLocalSearch::CostDelta(const FastMove& move) const {
  return std::int64_t{distances_(move.a, move.c)} + distances_(move.b, move.d) - distances_(move.a, move.b) -
         distances_(move.c, move.d);
}

// The full scan's random move, on the positions of the tour array.
FastMove FastLocalSearch::RandomMove() const {
  const auto n = static_cast<std::int32_t>(n_);
  const std::int32_t i = Random() % (n - 2) + 1;
  const std::int32_t j = i == 1 ? Random() % (n - 3) + 2 : Random() % (n - i - 1) + i + 1;
  const auto at = [this](std::int32_t p) { return tour_.At(static_cast<std::uint32_t>(p) % n_); };
  return {at(i - 1), at(i), at(j), at(j + 1)};
}

void FastLocalSearch::ApplyMove(const FastMove& move) {
  const std::int64_t costDelta = CostDelta(move);
  // The best tour is copied only when the search leaves it.
  if (bestIsCurrent_ && costDelta >= 0) {
    bestTour_ = tour_.Cities();
    bestIsCurrent_ = false;
  }
  tour_.TwoOptMove(move.a, move.c);
  cost_ += costDelta;
  PushEdge(move.a, move.c);
  PushEdge(move.b, move.d);
  stats_.RecordMove(cost_);
  Activate(move.a);
  Activate(move.b);
  Activate(move.c);
  Activate(move.d);
}

void FastLocalSearch::AfterMove(bool foundByAspiration) {
  if (cost_ < bestCost_) {
    stats_.RecordNewBest(cost_, foundByAspiration, cost_ == parameters_.TargetCost());
    bestCost_ = cost_;
    bestIsCurrent_ = true;
  }
  WriteMonitorLineIfDue();
}

void FastLocalSearch::LocalSearch() {
  std::uint32_t sideways = 0;
  aspirationOn_ = parameters_.Aspiration();
  for (;;) {
    if (owner_.IsFinished() || queueCount_ == 0) return;
    const std::int32_t city = queue_[queueHead_];
    EvaluateCity(city);
    const bool aspire = aspirationOn_ && aspirationValue_ < 0;
    const bool sidewaysAllowed = bestValue_ == 0 && sideways < parameters_.MaxConsecutiveSideways();
    if (bestValue_ >= 0 && !sidewaysAllowed && !aspire) {  // nothing to do from this city
      active_[static_cast<std::size_t>(city)] = 0;
      queueHead_ = queueHead_ + 1 == n_ ? 0 : queueHead_ + 1;
      --queueCount_;
      continue;
    }

    FastMove candidate;
    if (aspire) candidate = aspirationMoves_[static_cast<std::size_t>(Random()) % aspirationMoves_.size()];
    const double r = Random() * (1.0 / 32767);
    FastMove move;
    bool haveMove = false;
    if (parameters_.RandomMoveProbability() > r) {
      move = RandomMove();
      haveMove = true;
    } else {
      if (bestValue_ < 0) sideways = 0;
      if (bestValue_ == 0) ++sideways;
      if (bestValue_ <= 0) {
        move = bestMoves_[static_cast<std::size_t>(Random()) % bestMoves_.size()];
        haveMove = true;
      }
    }
    bool foundByAspiration = false;
    if (aspire && (!haveMove || !candidate.SameAs(move))) {
      move = candidate;
      stats_.CountAspiration();
      foundByAspiration = true;
    }
    ApplyMove(move);
    AfterMove(foundByAspiration);
  }
}

void FastLocalSearch::ComputeIntegerLambda() {
  integerLambda_ = 0;
  costMultiplier_ = cost_ < TSPSolver::kScaledCostLimit ? 100 : 1;
  lambda_ = parameters_.LambdaCoefficient() * cost_ / static_cast<double>(n_);
  const double scaled = std::floor(costMultiplier_ * lambda_ + 0.5);
  if (scaled == 0.0) {
    throw FatalError(
        "Sorry: unable to solve problem as costs/penalties/lambda not possible to calculate using integer "
        "arithmetic\nTry lambda in range 0.1 to 10\n",
        OutputStream::Out, 1);
  }
  std::int64_t longest = Augmented(tour_.At(n_ - 1), tour_.At(0));
  for (std::uint32_t k = 0; k + 1 < n_; ++k)
    longest = std::max(longest, Augmented(tour_.At(k), tour_.At(k + 1)));
  const std::int64_t room = std::int64_t{TSPSolver::kAugmentedCeiling} - longest;
  if (!(scaled > 0 && scaled <= static_cast<double>(room))) {
    throw FatalError("Sorry: lambda coefficient " + FormatNumber(parameters_.LambdaCoefficient()) +
                         " gives an integer lambda of " + FormatNumber(scaled) +
                         " on this tour, outside the 1 to " + std::to_string(room) +
                         " that 32-bit penalties can hold\nTry lambda in range 0.1 to 10\n",
                     OutputStream::Out, 1);
  }
  integerLambda_ = static_cast<std::int32_t>(scaled);
}

void FastLocalSearch::RebuildUtilities() {
  std::vector<EdgeUtilityHeap::Entry> entries;
  entries.reserve(n_);
  for (std::uint32_t k = 0; k < n_; ++k) {
    const std::int32_t a = tour_.At(k == 0 ? n_ - 1 : k - 1);
    const std::int32_t b = tour_.At(k);
    entries.push_back({Utility(a, b), a, b, penalties_.Of(a, b)});
  }
  utilities_.Assign(std::move(entries));
  heapBuilt_ = true;
}

// The edges of greatest utility D / (penalty + lambda) of the whole tour, in
// the order of a scan that starts with the closing edge: the same edges and
// order as the full-scan search finds, from the heap's top entries.
void FastLocalSearch::FindEdgesOfGreatestUtility() {
  if (!heapBuilt_ || utilities_.Size() > 4 * std::size_t{n_}) RebuildUtilities();
  const auto current = [this](const EdgeUtilityHeap::Entry& e) {
    return (tour_.Next(e.a) == e.b || tour_.Next(e.b) == e.a) && penalties_.Of(e.a, e.b) == e.penalty;
  };
  // Tour position k of the edge (k - 1, k); the closing edge is 0.
  const auto position = [this](std::int32_t a, std::int32_t b) {
    const std::uint32_t p = tour_.PositionOf(a), q = tour_.PositionOf(b);
    if ((p == 0 && q == n_ - 1) || (q == 0 && p == n_ - 1)) return std::uint32_t{0};
    return std::max(p, q);
  };
  while (!current(utilities_.Top())) utilities_.Pop();  // every tour edge has a current entry
  const double greatest = utilities_.Top().utility;
  penalisedEdges_.clear();
  while (!utilities_.Empty() && utilities_.Top().utility == greatest) {
    const EdgeUtilityHeap::Entry top = utilities_.Top();
    utilities_.Pop();
    if (!current(top)) continue;
    const auto k = static_cast<std::int32_t>(position(top.a, top.b));
    // An edge that left the tour and came back has two current entries.
    if (std::find(penalisedEdges_.begin(), penalisedEdges_.end(), k) == penalisedEdges_.end())
      penalisedEdges_.push_back(k);
  }
  std::sort(penalisedEdges_.begin(), penalisedEdges_.end());
  // Put back what this penalisation may not change (the run may end before it does).
  for (const std::int32_t k : penalisedEdges_) {
    const auto p = static_cast<std::uint32_t>(k);
    const std::int32_t a = tour_.At(p == 0 ? n_ - 1 : p - 1);
    const std::int32_t b = tour_.At(p);
    utilities_.Push({greatest, a, b, penalties_.Of(a, b)});
  }
}

bool FastLocalSearch::Penalise() {
  stats_.RecordLocalMinimum(cost_);
  if (integerLambda_ == 0) ComputeIntegerLambda();

  FindEdgesOfGreatestUtility();
  for (const std::int32_t k : penalisedEdges_) {
    const auto p = static_cast<std::uint32_t>(k);
    if (Augmented(tour_.At(p == 0 ? n_ - 1 : p - 1), tour_.At(p)) >
        TSPSolver::kAugmentedCeiling - integerLambda_)
      return false;
  }
  for (const std::int32_t k : penalisedEdges_) {
    const auto p = static_cast<std::uint32_t>(k);
    const std::int32_t a = tour_.At(p == 0 ? n_ - 1 : p - 1);
    const std::int32_t b = tour_.At(p);
    penalties_.Add(a, b, integerLambda_);
    PushEdge(a, b);
    Activate(a);
    Activate(b);
  }

  const double escapeProbability = parameters_.RandomEscapeMoveProbability();
  if (escapeProbability > 0) {
    double r = Random() * (1.0 / 32767);
    while (escapeProbability > r && !owner_.IsFinished()) {
      ApplyMove(RandomMove());
      AfterMove(false);
      r = Random() * (1.0 / 32767);
    }
  }
  return true;
}

}  // namespace mirelock
