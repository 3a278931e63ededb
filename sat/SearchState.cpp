#include "sat/SearchState.h"

#include <algorithm>
#include <limits>

namespace mirelock {

SearchState::SearchState(const FlatFormula& formula) : formula_(formula) {}

void SearchState::Start(const std::uint8_t* values, std::int64_t scale, std::int64_t lambdaUnits,
                        bool trackObjectiveLists) {
  const std::uint32_t n = formula_.numVariables;
  const std::uint32_t m = formula_.numClauses;
  scale_ = scale;
  lambdaUnits_ = lambdaUnits;
  trackObjectiveLists_ = trackObjectiveLists;
  value_.assign(values, values + n);
  largestPenalty_ = 0;
  lastFlip_.assign(n, 0);

  clause_.assign(m, ClauseState{});
  for (std::uint32_t c = 0; c < m; ++c) clause_[c].weight = static_cast<std::int32_t>(formula_.weight[c]);
  unsatisfied_.clear();
  unsatisfied_.reserve(m);
  unsatisfiedPosition_.assign(m, -1);
  selected_.clear();
  selected_.reserve(m);
  for (std::uint32_t c = 0; c < m; ++c) {
    for (std::uint32_t i = formula_.clauseStart[c]; i < formula_.clauseStart[c + 1]; ++i) {
      const std::uint32_t literal = formula_.clauseLiterals[i];
      if ((literal & 1u) != value_[literal >> 1]) {
        ++clause_[c].satisfied;
        clause_[c].trueVariables ^= literal >> 1;
      }
    }
    if (clause_[c].satisfied == 0) AddUnsatisfied(c);
  }

  d_.assign(n, 0);
  o_.assign(n, 0);
  // Every variable starts outside the lists, so that RecomputeScores appends
  // each one to the list of its class in index order: ties go to the first
  // element, so this order is part of the search.
  dClass_.assign(n, kUpward);
  oClass_.assign(n, kUpward);
  for (auto& list : lists_) list.Resize(n);
  for (auto& list : objectiveLists_) list.Resize(n);
  RecomputeScores();
}

void SearchState::RecomputeScores() {
  const std::uint32_t n = formula_.numVariables;
  std::fill(d_.begin(), d_.end(), 0);
  std::fill(o_.begin(), o_.end(), 0);
  cost_ = 0;
  augmentedCost_ = 0;
  for (std::uint32_t c = 0; c < formula_.numClauses; ++c) {
    const std::int64_t term = scale_ + clause_[c].penalty;
    const std::int64_t weight = formula_.weight[c];
    if (clause_[c].satisfied == 0) {
      cost_ += static_cast<std::uint64_t>(weight);
      augmentedCost_ += term;
      for (std::uint32_t i = formula_.clauseStart[c]; i < formula_.clauseStart[c + 1]; ++i) {
        const std::uint32_t y = formula_.clauseLiterals[i] >> 1;
        d_[y] -= term;
        if (trackObjectiveLists_) o_[y] -= weight;
      }
    } else if (clause_[c].satisfied == 1) {
      d_[clause_[c].trueVariables] += term;
      if (trackObjectiveLists_) o_[clause_[c].trueVariables] += weight;
    }
  }
  for (std::uint32_t v = 0; v < n; ++v) {
    Reclassify(v);
    if (trackObjectiveLists_) ReclassifyObjective(v);
  }
}

void SearchState::RaisePenalty(std::uint32_t c, std::uint32_t increment) {
  const std::uint32_t raised = clause_[c].penalty + increment;
  clause_[c].penalty = raised;
  for (std::uint32_t i = formula_.clauseStart[c]; i < formula_.clauseStart[c + 1]; ++i) {
    const std::uint32_t y = formula_.clauseLiterals[i] >> 1;
    d_[y] -= increment;
    Reclassify(y);
  }
  augmentedCost_ += increment;
  largestPenalty_ = std::max(largestPenalty_, raised);
}

std::uint32_t SearchState::Penalise() {
  // A penalty stops at the largest value its type holds instead of wrapping.
  const auto increment = [this](std::uint32_t c) {
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(lambdaUnits_, static_cast<std::int64_t>(kMaxPenalty - clause_[c].penalty)));
  };
  // Selection is decided before any penalty changes; every unsatisfied clause
  // takes part, empty ones included.
  std::vector<std::uint32_t>& selected = selected_;
  selected.clear();
  // One pass: the clauses of the best value so far, in list order.
  if (formula_.weighted) {
    double best = -1.0;
    for (std::uint32_t c : unsatisfied_) {
      const double utility = Utility(c);
      if (utility > best) {
        best = utility;
        selected.clear();
      }
      if (utility == best) selected.push_back(c);
    }
  } else {
    std::uint32_t smallest = kMaxPenalty;
    for (std::uint32_t c : unsatisfied_) {
      const std::uint32_t penalty = clause_[c].penalty;
      if (penalty < smallest) {
        smallest = penalty;
        selected.clear();
      }
      if (penalty == smallest) selected.push_back(c);
    }
  }
  std::uint32_t raised = 0;
  for (std::uint32_t c : selected) {
    const std::uint32_t step = increment(c);
    if (step > 0) ++raised;
    RaisePenalty(c, step);
  }
  return raised;
}

void SearchState::Decay(std::uint64_t numerator, std::uint64_t denominator) {
  for (ClauseState& clause : clause_)
    clause.penalty = static_cast<std::uint32_t>(clause.penalty * numerator / denominator);
  largestPenalty_ = static_cast<std::uint32_t>(largestPenalty_ * numerator / denominator);
  RecomputeScores();
}

void SearchState::SetPenaltyForTest(std::uint32_t c, std::uint32_t penalty) {
  clause_[c].penalty = penalty;
  largestPenalty_ = std::max(largestPenalty_, penalty);
  RecomputeScores();
}

std::string SearchState::CheckConsistency() const {
  const std::uint32_t n = formula_.numVariables;
  const std::uint32_t m = formula_.numClauses;
  std::vector<std::int64_t> d(n, 0), o(n, 0);
  std::uint64_t cost = 0;
  std::int64_t augmented = 0;
  std::size_t unsatisfiedCount = 0;
  for (std::uint32_t c = 0; c < m; ++c) {
    std::uint32_t trueCount = 0;
    std::uint32_t trueVariables = 0;
    for (std::uint32_t i = formula_.clauseStart[c]; i < formula_.clauseStart[c + 1]; ++i) {
      const std::uint32_t literal = formula_.clauseLiterals[i];
      if ((literal & 1u) != value_[literal >> 1]) {
        ++trueCount;
        trueVariables ^= literal >> 1;
      }
    }
    const std::string clause = "clause " + std::to_string(c);
    if (trueCount != clause_[c].satisfied) return clause + ": satisfied-literal count";
    if (trueVariables != clause_[c].trueVariables) return clause + ": true-variable tag";
    if ((trueCount == 0) != (unsatisfiedPosition_[c] >= 0)) return clause + ": unsatisfied-list membership";
    if (trueCount == 0 && unsatisfied_[static_cast<std::size_t>(unsatisfiedPosition_[c])] != c)
      return clause + ": unsatisfied-list position";
    const std::int64_t term = scale_ + clause_[c].penalty;
    if (trueCount == 0) {
      ++unsatisfiedCount;
      cost += static_cast<std::uint64_t>(formula_.weight[c]);
      augmented += term;
      for (std::uint32_t i = formula_.clauseStart[c]; i < formula_.clauseStart[c + 1]; ++i) {
        d[formula_.clauseLiterals[i] >> 1] -= term;
        o[formula_.clauseLiterals[i] >> 1] -= formula_.weight[c];
      }
    } else if (trueCount == 1) {
      d[trueVariables] += term;
      o[trueVariables] += formula_.weight[c];
    }
  }
  if (unsatisfiedCount != unsatisfied_.size()) return "unsatisfied-list size";
  if (cost != cost_) return "cost " + std::to_string(cost_) + ", recount " + std::to_string(cost);
  if (augmented != augmentedCost_)
    return "augmented cost " + std::to_string(augmentedCost_) + ", recount " + std::to_string(augmented);
  std::uint32_t largest = 0;
  for (const ClauseState& clause : clause_) largest = std::max(largest, clause.penalty);
  if (largest > largestPenalty_) return "largest penalty";
  for (std::uint32_t v = 0; v < n; ++v) {
    const std::string variable = "variable " + std::to_string(v);
    if (d[v] != d_[v]) return variable + ": D " + std::to_string(d_[v]) + ", recount " + std::to_string(d[v]);
    if (trackObjectiveLists_ && o[v] != o_[v]) return variable + ": O " + std::to_string(o_[v]) + ", recount " + std::to_string(o[v]);
    const std::uint8_t dClass = ClassOf(d[v]);
    if (dClass_[v] != dClass) return variable + ": D class";
    for (std::uint8_t k = 0; k < 2; ++k) {
      if (lists_[k].Contains(v) != (dClass == k)) return variable + ": membership of " + lists_[k].Name();
      if (lists_[k].Contains(v) && lists_[k][static_cast<std::size_t>(lists_[k].PositionOf(v))] != v)
        return variable + ": position in " + lists_[k].Name();
      if (!trackObjectiveLists_) continue;
      if (objectiveLists_[k].Contains(v) != (ClassOf(o[v]) == k))
        return variable + ": membership of " + objectiveLists_[k].Name();
      if (objectiveLists_[k].Contains(v) &&
          objectiveLists_[k][static_cast<std::size_t>(objectiveLists_[k].PositionOf(v))] != v)
        return variable + ": position in " + objectiveLists_[k].Name();
    }
  }
  std::size_t members = 0;
  for (const auto& list : lists_) members += list.Size();
  std::size_t upward = 0;
  for (std::uint32_t v = 0; v < n; ++v) upward += dClass_[v] == kUpward ? 1 : 0;
  if (members + upward != n) return "a variable listed twice";
  return "";
}

}  // namespace mirelock
