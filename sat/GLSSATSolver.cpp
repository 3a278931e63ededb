#include "sat/GLSSATSolver.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "platform/Random.h"

namespace mirelock {
namespace {

// floor(x + 0.5), then truncation toward zero.
std::int64_t Round(double x) { return static_cast<std::int64_t>(std::floor(x + 0.5)); }

// Clause penalties are 32-bit: one increment must fit in one, or the first
// penalisation would already lose it. Scores and the augmented cost are
// 64-bit and cannot wrap once this holds (FlatFormula bounds the literals).
void CheckSettings(const GLSSATParameters& p) {
  if (!p.gls) return;
  // A factor above 1 would raise penalties past their type at a decay.
  if (p.forgetting && !(p.forgetDecayFactor >= 0.0 && p.forgetDecayFactor <= 1.0))
    throw FatalError("Error: penalty decay factor " + FormatNumber(p.forgetDecayFactor) + " is outside 0 to 1",
                     OutputStream::Err, 1);
  constexpr double kLargestIncrement = static_cast<double>(SearchState::kMaxPenalty);
  if (!(p.lambda >= 0.0))
    throw FatalError("Error: lambda " + FormatNumber(p.lambda) + " is not a number from 0 up", OutputStream::Err,
                     1);
  const double increment = std::floor(p.lambda * static_cast<double>(GLSSATSolver::kScale) + 0.5);
  if (increment > kLargestIncrement)
    throw FatalError("Error: lambda " + FormatNumber(p.lambda) + " gives a penalty increment of " +
                         FormatNumber(increment) + ", more than a clause penalty holds (" +
                         std::to_string(SearchState::kMaxPenalty) + "); lambda can be at most 429496.7295",
                     OutputStream::Err, 1);
}

}  // namespace

GLSSATSolver::GLSSATSolver(UserMessages* messages) : problem_(messages) {}

void GLSSATSolver::SetWeighted(bool weighted) {
  problem_.SetWeighted(weighted);
  stats_.SetWeighted(weighted);
}

void GLSSATSolver::PrepareFormula() {
  // The problem is loaded once, before the first run; rebuild only if it grew since.
  if (formulaBuilt_ && formula_.numVariables == problem_.NumVariables() &&
      formula_.numClauses == problem_.NumClauses())
    return;
  formula_.Build(problem_);
  formulaBuilt_ = true;
  state_ = std::make_unique<SearchState>(formula_);
  ties_.assign(formula_.numVariables, 0);
}

void GLSSATSolver::Solve() {
  const GLSSATParameters& p = parameters_;
  PrepareFormula();
  const std::uint32_t n = formula_.numVariables;

  // Integer lambda and decay fraction. A lambda that rounds to 0 runs: no
  // penalty ever changes, and a round without a flip then ends the run.
  CheckSettings(p);
  const std::int64_t decayNumerator = p.forgetting ? Round(p.forgetDecayFactor * 1000.0) : 0;
  constexpr std::int64_t kDecayDenominator = 1000;
  const std::int64_t lambdaUnits = p.gls ? Round(p.lambda * static_cast<double>(kScale)) : 0;

  if (problem_.IsWeighted()) stats_.SetWeighted(true);
  monitoring_ = false;
  if (!p.monitorFileName.empty()) {
    monitor_.open(p.monitorFileName, std::ios::out | std::ios::trunc);
    monitoring_ = monitor_.is_open();
    if (!monitoring_ && monitorError_ == 0) monitorError_ = errno != 0 ? errno : EIO;
    if (monitoring_) {
      UseDefaultNumberFormat(monitor_);
      monitor_ << "Repairs\tCurrent_Cost\tCurrent_Aug_Cost\t";
      stats_.WriteHeader(monitor_);
      monitor_ << "\n";
    }
  }
  monitorInterval_ = p.monitorInterval > 0 ? static_cast<std::uint64_t>(p.monitorInterval) : 1;

  stats_.Reset();
  if (problem_.IsWeighted()) {
    stats_.SetWeighted(true);
    stats_.SetTotalWeight(formula_.totalWeight);
  }

  ++runNumber_;
  if (p.seed != GLSSATParameters::kDoNotSeed) SeedRandom(p.seed * runNumber_);

  // Repair limit: -1 means none; comparisons are unsigned and 64-bit, so
  // variables x limit never wraps.
  repairLimit_ = ~std::uint64_t{0};
  if (p.maxRepairs != GLSSATParameters::kUnset) {
    repairLimit_ = static_cast<std::uint32_t>(p.maxRepairs);
    if (p.maxRepairsPerVariable) repairLimit_ *= n;
  }
  timeLimited_ = p.maxSeconds != GLSSATParameters::kUnset;
  maxSeconds_ = static_cast<double>(static_cast<std::uint32_t>(p.maxSeconds));
  stats_.SetCheapStatisticsOnly(p.cheapStatisticsOnly);
  stats_.SetRepairLimit(repairLimit_);
  stats_.StartClock();

  startValues_.resize(n);
  for (std::uint32_t v = 0; v < n; ++v) startValues_[v] = (Random() % 2 != 0) ? 1 : 0;

  state_->Start(startValues_.data(), kScale, lambdaUnits, p.aspiration);
  stats_.RecordStart(state_->Values(), n, state_->Cost());

  bestCost_ = kNoCost;
  bestValues_.resize(n);
  if (state_->Cost() < bestCost_) RecordBest(false);

  if (monitoring_) WriteMonitorLine();

  const bool decaying = p.gls && p.forgetting && p.forgetDecay &&
                        p.forgettingMode == ForgettingMode::kAfterNLocalMinima && p.forgettingPeriod > 0;
  std::uint64_t idleRounds = 0;
  while (!TerminationTest()) {
    const std::uint64_t repairsBefore = stats_.Repairs();
    RunSearch();
    std::uint32_t penalised = 0;
    if (p.gls && state_->UnsatisfiedCount() > 0 && !TerminationTest()) {
      const std::uint64_t minimaBefore = stats_.LocalMinima();
      penalised = state_->Penalise();
      // Decay at the 1st, (N+1)th, (2N+1)th ... local minimum of the run.
      if (decaying && minimaBefore % static_cast<std::uint64_t>(p.forgettingPeriod) == 0)
        state_->Decay(static_cast<std::uint64_t>(decayNumerator), kDecayDenominator);
      stats_.RecordLocalMinimum(state_->Cost());
    }
    // Nothing moved and no penalty changed: every further round would be the
    // same, so the run is over (only empty clauses are left unsatisfied, or
    // the problem has no variable to flip).
    if (stats_.Repairs() == repairsBefore && penalised == 0) break;
    idleRounds = stats_.Repairs() == repairsBefore ? idleRounds + 1 : 0;
    if (IdleLimitPassed(idleRounds, lambdaUnits)) break;
  }
  FinishRun();
}

// Penalising and decaying can take turns for ever without a flip (a small
// lambda with frequent strong decay). To make a flip pay, a stuck minimum
// needs about (clause term + penalty) / lambda penalisations for each critical
// clause of its best variable, spread over its unsatisfied clauses; the bound
// allows 10 x (variables + clauses) times that with the largest penalty now.
// Without decay penalties only grow, and the bound grows with them, so a run
// that is not cycling never meets it.
bool GLSSATSolver::IdleLimitPassed(std::uint64_t idleRounds, std::int64_t lambdaUnits) const {
  // Every bound allows this many, so the division below is skipped while the
  // search moves (this runs at every local minimum).
  constexpr std::uint64_t kAlwaysAllowed = 1000;
  if (idleRounds <= kAlwaysAllowed) return false;
  const std::uint64_t units = lambdaUnits > 0 ? static_cast<std::uint64_t>(lambdaUnits) : 1;
  const std::uint64_t perTerm = (kScale + std::uint64_t{state_->LargestPenalty()} + units - 1) / units;
  // 128 bits: the product may pass 64 bits for a huge formula with lambda near 0.
  const unsigned __int128 limit =
      static_cast<unsigned __int128>(10) * (std::uint64_t{formula_.numVariables} + formula_.numClauses) * perTerm +
      kAlwaysAllowed;
  return idleRounds > limit;
}

void GLSSATSolver::RunSearch() {
  const GLSSATParameters& p = parameters_;
  SearchState& state = *state_;
  const std::uint32_t n = formula_.numVariables;
  const std::int64_t sidewaysLimit = p.repairsBeforePenalise;
  const double randomMoveProbability = p.randomMoveProbability;
  std::int64_t nonImproving = 0;

  // The repair limit is tested after every move: with frequent random moves
  // the search may never reach a local minimum.
  while (state.UnsatisfiedCount() > 0 && stats_.Repairs() < repairLimit_) {
    if (state.Improving().Empty() && (state.Sideways().Empty() || nonImproving >= sidewaysLimit)) break;

    const std::int64_t candidate = p.aspiration ? FindAspirationCandidate() : -1;
    std::int64_t chosen = -1;
    if (candidate < 0 && randomMoveProbability > 0.0) {
      const double r = static_cast<double>(Random()) / kRandomMax;
      if (r <= randomMoveProbability) chosen = Random() % static_cast<std::int64_t>(n);
    }
    if (chosen < 0) {
      chosen = Pick(state.Improving(), false);
      if (chosen < 0) chosen = Pick(state.Sideways(), true);
      if (chosen < 0) break;
    }
    const bool byAspiration =
        candidate >= 0 && candidate != chosen &&
        state.O(static_cast<std::uint32_t>(candidate)) < state.O(static_cast<std::uint32_t>(chosen));
    const auto v = static_cast<std::uint32_t>(byAspiration ? candidate : chosen);
    if (byAspiration) stats_.CountAspirationMove();

    const std::int64_t augmentedBefore = state.AugmentedCost();
    state.Flip(v, stats_.Repairs());
    stats_.RecordFlip(v, state.Cost());
    if (state.Cost() < bestCost_) RecordBest(byAspiration);
    nonImproving = state.AugmentedCost() < augmentedBefore ? 0 : nonImproving + 1;
    if (monitoring_ && stats_.Repairs() % monitorInterval_ == 0) WriteMonitorLine();
  }
}

bool GLSSATSolver::TerminationTest() {
  if (stats_.Repairs() >= repairLimit_) return true;
  if (timeLimited_ && stats_.ElapsedSeconds() >= maxSeconds_) return true;
  if (state_->Cost() <= parameters_.targetCost) return true;
  PublishRunProgress(stats_.Repairs(), repairLimit_);
  return StopTest();
}

std::int64_t GLSSATSolver::FindAspirationCandidate() const {
  const SearchState& state = *state_;
  const IndexedVariableList& list =
      state.ObjectiveImproving().Empty() ? state.ObjectiveSideways() : state.ObjectiveImproving();
  if (list.Empty()) return -1;
  std::uint32_t best = list[0];
  for (std::uint32_t v : list)
    if (state.O(v) < state.O(best)) best = v;
  // The smallest O gives the smallest new cost: if it does not beat the best, none does.
  const std::int64_t newCost = static_cast<std::int64_t>(state.Cost()) + state.O(best);
  if (bestCost_ != kNoCost && newCost >= static_cast<std::int64_t>(bestCost_)) return -1;
  return best;
}

std::int64_t GLSSATSolver::Pick(const IndexedVariableList& list, bool equalScores) {
  if (list.Empty()) return -1;
  const SearchState& state = *state_;
  if (parameters_.pickHeuristic == PickHeuristic::kBest) {
    // Every element ties (the sideways list holds exactly the D = 0 moves), so
    // the scan below would collect the whole list in order: draw from it directly.
    if (equalScores) return list[static_cast<std::uint32_t>(Random()) % static_cast<std::uint32_t>(list.Size())];
    // One pass: the variables of the smallest D so far, in list order.
    std::uint32_t* ties = ties_.data();
    std::uint32_t count = 0;
    std::int64_t smallest = state.D(list[0]);
    for (std::uint32_t v : list) {
      const std::int64_t d = state.D(v);
      if (d < smallest) {
        smallest = d;
        count = 0;
      }
      if (d == smallest) ties[count++] = v;
    }
    return ties[static_cast<std::uint32_t>(Random()) % count];
  }
  // Recency (the default for every other code): the variable flipped longest ago.
  std::uint32_t oldest = list[0];
  for (std::uint32_t v : list)
    if (state.LastFlip(v) < state.LastFlip(oldest)) oldest = v;
  return oldest;
}

void GLSSATSolver::RecordBest(bool byAspiration) {
  const std::uint64_t cost = state_->Cost();
  bestCost_ = cost;
  if (!bestValues_.empty()) std::memcpy(bestValues_.data(), state_->Values(), bestValues_.size());
  stats_.RecordBest(cost, byAspiration);
  if (cost == 0) stats_.RecordSolution();
}

void GLSSATSolver::WriteMonitorLine() {
  monitor_ << std::to_string(stats_.Repairs()) << '\t' << std::to_string(state_->Cost()) << '\t'
           << FormatNumber(static_cast<double>(state_->AugmentedCost()) / static_cast<double>(kScale))
           << '\t';
  stats_.WriteRow(monitor_);
  monitor_ << "\n";
}

void GLSSATSolver::FinishRun() {
  stats_.StopClock();
  for (std::size_t v = 0; v < bestValues_.size(); ++v) problem_.GetVariable(v).SetValue(bestValues_[v] != 0);
  if (problem_.IsWeighted()) stats_.SetBestSatisfiedWeight(problem_.SatisfiedWeight());
  if (monitoring_) {
    monitor_.close();
    if (!monitor_ && monitorError_ == 0) monitorError_ = errno != 0 ? errno : EIO;
  }
  monitoring_ = false;
}

}  // namespace mirelock
