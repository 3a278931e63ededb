#include "tsp/TSPSolver.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "platform/Random.h"
#include "tsp/FastLocalSearch.h"

namespace mirelock {

namespace {

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t WrappingMultiply(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

}  // namespace

TSPSolver::TSPSolver() = default;
TSPSolver::~TSPSolver() = default;

void TSPSolver::CheckSize() {
  const std::uint32_t n = instance_.Size();
  if (n == 0) {
    throw FatalError("Problem with size 0\nProblem file must be incorrect\n", OutputStream::Err, 1);
  }
  // Three cities or fewer have no 2-opt move at all, and the random move would divide by zero.
  if (n < 4) {
    throw FatalError("Problem with size " + std::to_string(n) +
                         ": a tour needs at least 4 cities for 2-opt moves\nProblem file must be incorrect\n",
                     OutputStream::Err, 1);
  }
}

void TSPSolver::InitialSolution() {
  CheckSize();
  n_ = instance_.Size();
  tour_.resize(n_);
  for (std::uint32_t k = 0; k < n_; ++k) tour_[k] = static_cast<std::int32_t>(k);
  for (std::uint32_t k = 1; k < n_; ++k) {
    std::swap(tour_[k], tour_[static_cast<std::uint32_t>(Random()) % (k + 1)]);
  }
  if (parameters_.Neighbours() == 0) {
    fast_.reset();
    return;
  }
  // The fast search keeps neighbour lists and distances of the instance it was made for.
  if (fast_ && fastGeneration_ != instance_.Generation()) fast_.reset();
  if (!fast_) {
    fast_ = std::make_unique<FastLocalSearch>(instance_, parameters_, stats_, *this, &monitor_);
    fastGeneration_ = instance_.Generation();
  }
  fast_->InitialSolution(tour_);
}

void TSPSolver::ResetPenalties() {
  if (fast_) return fast_->ResetPenalties();
  lambda_ = 0.0;
  costMultiplier_ = 1;
  integerLambda_ = 0;
  augmented_ = instance_.Distances();
  neighbourhood_.Start(tour_, instance_.Distances(), augmented_, parameters_.Aspiration());
}

void TSPSolver::StartRun() {
  monitor_.StartRun(parameters_.MonitorFileName(), parameters_.MonitorFrequency());
  if (fast_) return fast_->StartRun();
  // The run's first move always sets the best; until then the initial tour
  // stands for it, so that a run ended before any move reports a true best.
  bestCost_ = kNoCost;
  bestTour_ = tour_;
  initialCost_ = cost_;
  stats_.SetCheapStatsOnly(parameters_.CheapStatsOnly());
  stats_.SetRepairLimit(parameters_.MaxRepairs());
  stats_.RecordInitialSolution(tour_, cost_, cost_ <= parameters_.TargetCost());
  if (monitor_.Due(0)) monitor_.Write(MonitorPoint());
}

std::int32_t TSPSolver::GetBestCost() {
  if (fast_) return fast_->GetBestCost();
  return stats_.Repairs() == 0 ? initialCost_ : bestCost_;
}

const std::vector<std::int32_t>& TSPSolver::GetBestTour() {
  if (fast_) return fast_->GetBestTour();
  return bestTour_;
}

std::int32_t TSPSolver::TourCost(const std::vector<std::int32_t>& tour) {
  if (fast_) return fast_->TourCost(tour);
  if (tour.empty()) return 0;
  const IntMatrix& d = instance_.Distances();
  std::int32_t cost = d(tour.front(), tour.back());
  for (std::size_t k = 0; k + 1 < tour.size(); ++k) cost = WrappingAdd(cost, d(tour[k], tour[k + 1]));
  return cost;
}

std::int32_t TSPSolver::Penalty(std::int32_t a, std::int32_t b) const {
  const std::int32_t low = std::min(a, b);
  const std::int32_t high = std::max(a, b);
  return WrappingAdd(augmented_(low, high),
                     -WrappingMultiply(costMultiplier_, instance_.Distances()(low, high)));
}

std::int64_t TSPSolver::AugmentedCost() const {
  if (tour_.empty()) return 0;
  std::int64_t penalties = Penalty(tour_.front(), tour_.back());
  for (std::uint32_t k = 0; k + 1 < n_; ++k) penalties += Penalty(tour_[k], tour_[k + 1]);
  return penalties + std::int64_t{costMultiplier_} * cost_;
}

void TSPSolver::Evaluate() {
  if (instance_.Size() == 0) CheckSize();
  if (fast_) return fast_->Evaluate();
  cost_ = TourCost(tour_);
  EvaluateNeighbourhood();
}

// Moves keep the cost up to date by their deltas (exact: both wrap modulo
// 2^32) and penalties leave it alone, so only the neighbourhood is evaluated
// again: summing the tour reads a cache line per city of the matrix.
void TSPSolver::EvaluateNeighbourhood() {
  neighbourhood_.Evaluate(static_cast<std::int64_t>(bestCost_) - cost_);
}

std::int32_t TSPSolver::MoveDelta(const IntMatrix& matrix, const TSPMove& move) const {
  const std::int32_t a = tour_[move.i - 1];
  const std::int32_t b = tour_[move.i];
  const std::int32_t c = tour_[move.j];
  const std::int32_t d = tour_[(static_cast<std::uint32_t>(move.j) + 1) % n_];
  return static_cast<std::int32_t>(
      static_cast<std::uint32_t>(matrix(b, d)) - static_cast<std::uint32_t>(matrix(c, d)) -
      static_cast<std::uint32_t>(matrix(a, b)) + static_cast<std::uint32_t>(matrix(a, c)));
}

std::int32_t TSPSolver::CostDelta(const TSPMove& move) const {
  return MoveDelta(instance_.Distances(), move);
}
std::int32_t TSPSolver::AugmentedDelta(const TSPMove& move) const { return MoveDelta(augmented_, move); }

TSPMove TSPSolver::RandomMove() {
  const auto n = static_cast<std::int32_t>(n_);
  const std::int32_t i = Random() % (n - 2) + 1;
  const std::int32_t j = i == 1 ? Random() % (n - 3) + 2 : Random() % (n - i - 1) + i + 1;
  return TSPMove(i, j, TSPMove::kRandomKey);
}

void TSPSolver::ApplyMove(const TSPMove& move) {
  const std::int32_t costDelta = CostDelta(move);
  std::reverse(tour_.begin() + move.i, tour_.begin() + move.j + 1);
  neighbourhood_.Reverse(static_cast<std::uint32_t>(move.i), static_cast<std::uint32_t>(move.j));
  cost_ = WrappingAdd(cost_, costDelta);
  stats_.RecordMove(tour_, cost_, static_cast<std::uint32_t>(move.i), static_cast<std::uint32_t>(move.j));
  EvaluateNeighbourhood();
}

void TSPSolver::AfterMove(bool foundByAspiration) {
  if (cost_ < bestCost_) {
    stats_.RecordNewBest(cost_, foundByAspiration, cost_ == parameters_.TargetCost());
    bestTour_ = tour_;
    bestCost_ = cost_;
  }
  if (monitor_.Due(stats_.Repairs())) monitor_.Write(MonitorPoint());
}

// Costs as the results rows write them, unsigned 32-bit numbers; the augmented
// cost in tour-cost units.
TSPMonitorPoint TSPSolver::MonitorPoint() const {
  return {stats_.Repairs(), static_cast<std::uint32_t>(stats_.Repairs() == 0 ? initialCost_ : bestCost_),
          static_cast<std::uint32_t>(cost_),
          static_cast<double>(AugmentedCost()) / static_cast<double>(costMultiplier_)};
}

void TSPSolver::LocalSearch() {
  if (fast_) return fast_->LocalSearch();
  std::uint32_t sideways = 0;
  const bool aspirationOn = parameters_.Aspiration();
  for (;;) {
    if (IsFinished()) return;
    const std::int32_t bestValue = neighbourhood_.BestMoveValue();
    const bool aspire = aspirationOn && neighbourhood_.AspirationValue() < 0;
    const bool sidewaysAllowed = bestValue == 0 && sideways < parameters_.MaxConsecutiveSideways();
    if (bestValue >= 0 && !sidewaysAllowed && !aspire) return;  // a local minimum

    TSPMove candidate;
    if (aspire) {
      const std::vector<TSPMove>& list = neighbourhood_.AspirationMoves();
      candidate = list[static_cast<std::size_t>(Random()) % list.size()];
    }
    const double r = Random() * (1.0 / 32767);
    TSPMove move;
    bool haveMove = false;
    if (parameters_.RandomMoveProbability() > r) {
      move = RandomMove();
      haveMove = true;
    } else {
      if (bestValue < 0) sideways = 0;
      if (bestValue == 0) ++sideways;
      if (bestValue <= 0) {
        const std::vector<TSPMove>& list = neighbourhood_.BestMoves();
        move = list[static_cast<std::size_t>(Random()) % list.size()];
        haveMove = true;
      }
    }
    bool foundByAspiration = false;
    if (aspire && (!haveMove || !candidate.SamePositions(move))) {
      move = candidate;
      stats_.CountAspiration();
      foundByAspiration = true;
    }
    ApplyMove(move);
    AfterMove(foundByAspiration);
  }
}

void TSPSolver::ScaleCosts(std::int32_t multiplier) {
  const IntMatrix& d = instance_.Distances();
  const std::int32_t change = multiplier - costMultiplier_;
  for (std::uint32_t a = 0; a < n_; ++a) {
    std::int32_t* row = augmented_.Row(a);
    const std::int32_t* distanceRow = d.Row(a);
    for (std::uint32_t b = 0; b < n_; ++b)
      row[b] = WrappingAdd(row[b], WrappingMultiply(change, distanceRow[b]));
  }
  costMultiplier_ = multiplier;
  neighbourhood_.Start(tour_, d, augmented_, parameters_.Aspiration());
}

void TSPSolver::ComputeIntegerLambda() {
  integerLambda_ = 0;
  ScaleCosts(cost_ < kScaledCostLimit ? 100 : 1);
  lambda_ = parameters_.LambdaCoefficient() * cost_ / static_cast<double>(n_);
  const double scaled = std::floor(costMultiplier_ * lambda_ + 0.5);
  if (scaled == 0.0) {
    throw FatalError(
        "Sorry: unable to solve problem as costs/penalties/lambda not possible to calculate using integer "
        "arithmetic\nTry lambda in range 0.1 to 10\n",
        OutputStream::Out, 1);
  }
  // Penalties must raise augmented costs (a negative lambda, from a tour of
  // negative cost, would lower them for ever without a move), and the first
  // penalty of the tour's longest edge must keep its element below the ceiling.
  std::int32_t longest = augmented_(tour_.front(), tour_.back());
  for (std::uint32_t k = 0; k + 1 < n_; ++k) longest = std::max(longest, augmented_(tour_[k], tour_[k + 1]));
  const std::int64_t room = std::int64_t{kAugmentedCeiling} - longest;
  if (!(scaled > 0 && scaled <= static_cast<double>(room))) {
    throw FatalError("Sorry: lambda coefficient " + FormatNumber(parameters_.LambdaCoefficient()) +
                         " gives an integer lambda of " + FormatNumber(scaled) +
                         " on this tour, outside the 1 to " + std::to_string(room) +
                         " that 32-bit penalties can hold\nTry lambda in range 0.1 to 10\n",
                     OutputStream::Out, 1);
  }
  integerLambda_ = static_cast<std::int32_t>(scaled);
  EvaluateNeighbourhood();
}

void TSPSolver::Penalise() {
  if (fast_) {
    if (!fast_->Penalise()) EndRun();
    return;
  }
  stats_.RecordLocalMinimum(cost_);
  if (integerLambda_ == 0) ComputeIntegerLambda();

  // The edges of greatest utility D / (penalty + lambda), the closing edge first.
  const IntMatrix& d = instance_.Distances();
  penalisedEdges_.clear();
  double greatest = 0.0;
  for (std::uint32_t k = 0; k < n_; ++k) {
    const std::uint32_t p = k == 0 ? n_ - 1 : k - 1;  // positions of the edge's ends
    const std::uint32_t q = k;
    const std::int32_t low = std::min(tour_[p], tour_[q]);
    const std::int32_t high = std::max(tour_[p], tour_[q]);
    const double utility =
        d(low, high) / static_cast<double>(Penalty(low, high) + static_cast<std::int64_t>(integerLambda_));
    if (k == 0 || utility > greatest) {
      penalisedEdges_.clear();
      greatest = utility;
    }
    if (utility == greatest) penalisedEdges_.push_back(k);
  }
  // A penalty that would take an element past the ceiling could make move
  // values wrap: the run ends here instead, with what it has found.
  for (const std::uint32_t k : penalisedEdges_) {
    const std::int32_t element = augmented_(tour_[k == 0 ? n_ - 1 : k - 1], tour_[k]);
    if (element > kAugmentedCeiling - integerLambda_) {
      EndRun();
      return;
    }
  }
  for (const std::uint32_t k : penalisedEdges_) {
    const std::uint32_t p = k == 0 ? n_ - 1 : k - 1;
    const std::int32_t a = tour_[p];
    const std::int32_t b = tour_[k];
    augmented_(a, b) = WrappingAdd(augmented_(a, b), integerLambda_);
    augmented_(b, a) = WrappingAdd(augmented_(b, a), integerLambda_);
    neighbourhood_.AddPenalty(p, k, integerLambda_);
  }
  EvaluateNeighbourhood();

  const double escapeProbability = parameters_.RandomEscapeMoveProbability();
  if (escapeProbability > 0) {
    double r = Random() * (1.0 / 32767);
    while (escapeProbability > r && !IsFinished()) {
      ApplyMove(RandomMove());
      AfterMove(false);
      r = Random() * (1.0 / 32767);
    }
  }
}

}  // namespace mirelock
