#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sat/FlatFormula.h"
#include "sat/IndexedVariableList.h"

namespace mirelock {

// The incremental state of one GLSSAT run: assignment, satisfied-literal
// counts, unsatisfied clauses, cost and augmented cost, the scores D
// (augmented) and O (objective) of every variable, the candidate lists by the
// sign of D and, when aspiration needs them, by the sign of O, and the clause
// penalties. All arithmetic is integer; a flip touches only the clauses of
// the flipped variable.
class SearchState {
 public:
  explicit SearchState(const FlatFormula& formula);

  static constexpr std::uint32_t kMaxPenalty = 0xffffffffu;

  // Sets the assignment, zeroes the penalties and computes everything else
  // from scratch. `scale` is the clause term, `lambdaUnits` the penalty increment.
  void Start(const std::uint8_t* values, std::int64_t scale, std::int64_t lambdaUnits,
             bool trackObjectiveLists);

  // Flips variable v at repair `now`. Flipping it again restores every value.
  void Flip(std::uint32_t v, std::uint64_t now) {
    if (trackObjectiveLists_) {
      FlipAndUpdate<true>(v, now);
    } else {
      FlipAndUpdate<false>(v, now);
    }
  }

  // Raises the penalties of the unsatisfied clauses of largest utility (on an
  // unweighted problem: of smallest penalty), all ties, by the increment.
  // Returns how many penalties changed (a penalty at its largest value stays).
  std::uint32_t Penalise();
  // Every penalty p becomes floor(p * numerator / denominator); D and the
  // augmented cost are recomputed.
  void Decay(std::uint64_t numerator, std::uint64_t denominator);

  // Compares every incremental value with a recount from scratch; empty when
  // all agree, otherwise a description of the first difference.
  std::string CheckConsistency() const;

  std::uint64_t Cost() const { return cost_; }
  std::int64_t AugmentedCost() const { return augmentedCost_; }
  std::int64_t Scale() const { return scale_; }
  std::size_t UnsatisfiedCount() const { return unsatisfied_.size(); }
  std::uint32_t Unsatisfied(std::size_t i) const { return unsatisfied_[i]; }
  std::int64_t D(std::uint32_t v) const { return d_[v]; }
  // O is kept only with the objective lists (aspiration needs both); 0 otherwise.
  std::int64_t O(std::uint32_t v) const { return o_[v]; }
  std::uint8_t Value(std::uint32_t v) const { return value_[v]; }
  const std::uint8_t* Values() const { return value_.data(); }
  std::uint64_t LastFlip(std::uint32_t v) const { return lastFlip_[v]; }
  std::uint32_t Penalty(std::uint32_t c) const { return clause_[c].penalty; }
  std::uint32_t SatisfiedLiterals(std::uint32_t c) const { return clause_[c].satisfied; }
  std::uint32_t LargestPenalty() const { return largestPenalty_; }
  const IndexedVariableList& Improving() const { return lists_[kImproving]; }
  const IndexedVariableList& Sideways() const { return lists_[kSideways]; }
  const IndexedVariableList& ObjectiveImproving() const { return objectiveLists_[kImproving]; }
  const IndexedVariableList& ObjectiveSideways() const { return objectiveLists_[kSideways]; }
  const FlatFormula& Formula() const { return formula_; }

  // Test support: sets a clause's penalty directly (D and the augmented cost
  // are recomputed as after a decay).
  void SetPenaltyForTest(std::uint32_t c, std::uint32_t penalty);

 private:
  // Sign classes of a score; the upward class (> 0) has no list of its own
  // because no move is ever picked from it.
  static constexpr std::uint8_t kImproving = 0;
  static constexpr std::uint8_t kSideways = 1;
  static constexpr std::uint8_t kUpward = 2;
  static std::uint8_t ClassOf(std::int64_t score) {
    return score < 0 ? kImproving : (score == 0 ? kSideways : kUpward);
  }

  template <bool kTrackObjective>
  void FlipAndUpdate(std::uint32_t v, std::uint64_t now);
  template <bool kTrackObjective>
  void AddScores(std::uint32_t y, std::int64_t term, std::int64_t weight) {
    d_[y] += term;
    Reclassify(y);
    if constexpr (kTrackObjective) {
      o_[y] += weight;
      ReclassifyObjective(y);
    } else {
      (void)weight;
    }
  }
  void Reclassify(std::uint32_t y) {
    const std::uint8_t now = ClassOf(d_[y]);
    const std::uint8_t before = dClass_[y];
    if (now == before) return;
    if (before != kUpward) lists_[before].Erase(y);
    if (now != kUpward) lists_[now].Insert(y);
    dClass_[y] = now;
  }
  void ReclassifyObjective(std::uint32_t y) {
    const std::uint8_t now = ClassOf(o_[y]);
    const std::uint8_t before = oClass_[y];
    if (now == before) return;
    if (before != kUpward) objectiveLists_[before].Erase(y);
    if (now != kUpward) objectiveLists_[now].Insert(y);
    oClass_[y] = now;
  }
  void AddUnsatisfied(std::uint32_t c) {
    unsatisfiedPosition_[c] = static_cast<std::int32_t>(unsatisfied_.size());
    unsatisfied_.push_back(c);
  }
  void RemoveUnsatisfied(std::uint32_t c) {
    const std::int32_t hole = unsatisfiedPosition_[c];
    const std::uint32_t last = unsatisfied_.back();
    unsatisfied_[static_cast<std::size_t>(hole)] = last;
    unsatisfiedPosition_[last] = hole;
    unsatisfied_.pop_back();
    unsatisfiedPosition_[c] = -1;
  }
  void RaisePenalty(std::uint32_t c, std::uint32_t increment);
  double Utility(std::uint32_t c) const {
    return static_cast<double>(formula_.weight[c]) / static_cast<double>(std::int64_t{clause_[c].penalty} + scale_);
  }
  // Recomputes D, O and the augmented cost from the counts and penalties;
  // list memberships follow, elements that keep their class keep their place.
  void RecomputeScores();

  const FlatFormula& formula_;
  std::int64_t scale_ = 10000;
  std::int64_t lambdaUnits_ = 10000;
  bool trackObjectiveLists_ = false;
  std::uint64_t cost_ = 0;
  std::int64_t augmentedCost_ = 0;
  std::vector<std::uint8_t> value_;
  // What a flip reads and writes of a clause, in one 16-byte record.
  struct ClauseState {
    std::uint32_t satisfied = 0;  // true literals
    // XOR of the variables whose literal is true in the clause: while exactly
    // one literal is true it names that literal's variable, without a scan.
    std::uint32_t trueVariables = 0;
    std::uint32_t penalty = 0;
    std::int32_t weight = 1;
  };
  std::vector<ClauseState> clause_;
  std::vector<std::uint32_t> unsatisfied_;
  std::vector<std::int32_t> unsatisfiedPosition_;
  std::uint32_t largestPenalty_ = 0;
  std::vector<std::int64_t> d_;
  std::vector<std::int64_t> o_;
  std::vector<std::uint8_t> dClass_;
  std::vector<std::uint8_t> oClass_;
  IndexedVariableList lists_[2] = {IndexedVariableList("Improving moves"),
                                   IndexedVariableList("Sideways moves")};
  IndexedVariableList objectiveLists_[2] = {IndexedVariableList("Original Objective Improving moves"),
                                            IndexedVariableList("Original Objective Sideways moves")};
  std::vector<std::uint64_t> lastFlip_;
  std::vector<std::uint32_t> selected_;  // clauses chosen by Penalise, reused
};

template <bool kTrackObjective>
void SearchState::FlipAndUpdate(std::uint32_t v, std::uint64_t now) {
  const std::uint8_t newValue = value_[v] ^= 1;
  d_[v] = -d_[v];
  Reclassify(v);
  if constexpr (kTrackObjective) {
    o_[v] = -o_[v];
    ReclassifyObjective(v);
  }
  lastFlip_[v] = now;

  const std::uint32_t* literals = formula_.clauseLiterals.data();
  const std::uint32_t* clauseStart = formula_.clauseStart.data();
  const std::uint32_t* occurrence = formula_.occurrences.data() + formula_.occurrenceStart[v];
  const std::uint32_t* const last = formula_.occurrences.data() + formula_.occurrenceStart[v + 1];
  for (; occurrence != last; ++occurrence) {
    const std::uint32_t c = *occurrence >> 1;
    // The literal is true when the variable's value differs from the negation bit.
    const std::uint32_t becameTrue = (*occurrence & 1u) ^ newValue;
    // +1 when c gained a true literal, -1 when it lost one.
    const std::int64_t sign = 2 * static_cast<std::int64_t>(becameTrue) - 1;
    ClauseState& clause = clause_[c];
    clause.trueVariables ^= v;
    const std::uint32_t before = clause.satisfied;
    clause.satisfied = before + static_cast<std::uint32_t>(sign);
    // The smaller of the two counts tells what changed: 0, the clause became
    // satisfied or unsatisfied; 1, its critical variable changed; more, nothing.
    const std::uint32_t lower = before + becameTrue - 1;
    if (lower > 1) continue;
    const std::int64_t weight = sign * clause.weight;
    const std::int64_t term = sign * (scale_ + clause.penalty);
    if (lower == 0) {
      // c became satisfied (or unsatisfied): flipping one of its other
      // variables, all false, no longer satisfies it (now satisfies it).
      if (becameTrue) {
        RemoveUnsatisfied(c);
      } else {
        AddUnsatisfied(c);
      }
      cost_ -= static_cast<std::uint64_t>(weight);
      augmentedCost_ -= term;
      for (std::uint32_t i = clauseStart[c]; i < clauseStart[c + 1]; ++i) {
        const std::uint32_t y = literals[i] >> 1;
        if (y != v) AddScores<kTrackObjective>(y, term, weight);
      }
    } else {
      // One true literal before or after: when c gained one, the variable that
      // was its only true literal is no longer critical (its score falls); when
      // c lost one, the one left is now critical (its score rises).
      AddScores<kTrackObjective>(clause.trueVariables ^ (v & (0u - becameTrue)), -term, -weight);
    }
  }
}

}  // namespace mirelock
