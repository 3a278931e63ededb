#pragma once
// A deliberately plain GLSSAT, written from the algorithm's description for
// differential testing: every count, cost, augmented cost and score is
// recounted from the clauses at the moment it is needed. The only state kept
// between moves is what the algorithm defines as state: the assignment, the
// penalties, the last-flip times, the best assignment and the ORDER of the
// candidate and unsatisfied lists (ties go to the first element, so the order
// of appends and swap-with-last erases is part of the search). It shares
// nothing with the solver but the instance reader and the random generator.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Random.h"
#include "sat/SATProblem.h"
#include "solver/SolverTestSupport.h"

namespace mirelock::test {

class ReferenceGLSSAT {
 public:
  ReferenceGLSSAT(SATProblem& problem, const Experiment& settings) : s_(settings) {
    weighted_ = problem.IsWeighted();
    n_ = problem.NumVariables();
    for (std::size_t c = 0; c < problem.NumClauses(); ++c) {
      Clause& clause = problem.GetClause(c);
      clauses_.emplace_back();
      for (Literal* l : clause.Literals())
        clauses_.back().push_back({static_cast<std::size_t>(l->GetVariable().Index()), l->IsNegated()});
      weight_.push_back(clause.Weight());
    }
    for (std::size_t v = 0; v < n_; ++v) {
      occurrences_.emplace_back();
      for (Clause* c : problem.GetVariable(v).Occurrences()) occurrences_.back().push_back(c->Id());
    }
  }

  // One run; returns its results row (time column "T") and option text.
  std::string Run() {
    ++runNumber_;
    L_ = static_cast<std::int64_t>(std::floor(s_.lambda * 10000 + 0.5));
    const std::uint64_t decayNumerator = static_cast<std::uint64_t>(std::floor(s_.decayFactor * 1000 + 0.5));
    if (s_.seed != 4294967295u) SeedRandom(s_.seed * runNumber_);
    const std::uint64_t limit = s_.perN ? std::uint64_t{s_.maxRepairs} * n_ : s_.maxRepairs;
    value_.assign(n_, false);
    for (std::size_t v = 0; v < n_; ++v) value_[v] = Random() % 2 != 0;
    penalty_.assign(clauses_.size(), 0);
    lastFlip_.assign(n_, 0);
    unsat_.clear();
    for (auto& list : dLists_) list.clear();
    for (auto& list : oLists_) list.clear();
    for (std::size_t c = 0; c < clauses_.size(); ++c)
      if (TrueCount(c, value_) == 0) unsat_.push_back(c);
    for (std::size_t v = 0; v < n_; ++v) Reclassify(v, value_);
    startValue_ = value_;
    flips_.clear();
    visited_ = {Cost()};
    minima_.clear();
    bests_.clear();
    repairsToBest_ = 0;
    aspirationMoves_ = 0;
    solutionFound_ = false;
    bestByAspiration_ = false;
    bestCost_ = ~std::uint64_t{0};
    if (Cost() < bestCost_) RecordBest(false);

    std::uint64_t idle = 0;
    while (!(flips_.size() >= limit || Cost() == 0)) {
      const std::size_t before = flips_.size();
      StepLoop(limit);
      std::uint32_t changed = 0;
      if (!(flips_.size() >= limit || Cost() == 0) && !unsat_.empty()) {
        changed = Penalise();
        if (s_.decayEvery > 0 && minima_.size() % s_.decayEvery == 0) {
          for (auto& p : penalty_) p = static_cast<std::uint32_t>(p * decayNumerator / 1000);
          for (std::size_t v = 0; v < n_; ++v) Reclassify(v, value_);
        }
        minima_.push_back(Cost());
      }
      if (flips_.size() == before && changed == 0) break;
      // Without a flip for too long the run has stalled: the bound scales with
      // (clause term + largest penalty) / lambda and with the formula's size.
      idle = flips_.size() == before ? idle + 1 : 0;
      const std::uint64_t units = L_ > 0 ? static_cast<std::uint64_t>(L_) : 1;
      const std::uint64_t largest = penalty_.empty() ? 0 : *std::max_element(penalty_.begin(), penalty_.end());
      if (idle > 10 * (n_ + clauses_.size()) * ((10000 + largest + units - 1) / units) + 1000) break;
    }
    return Row();
  }

 private:
  struct Lit {
    std::size_t var;
    bool negated;
  };
  using List = std::vector<std::size_t>;

  static void Erase(List& list, std::size_t x) {
    auto at = std::find(list.begin(), list.end(), x);
    *at = list.back();
    list.pop_back();
  }
  static bool Contains(const List& list, std::size_t x) {
    return std::find(list.begin(), list.end(), x) != list.end();
  }
  static int SignClass(std::int64_t x) { return x < 0 ? 0 : (x == 0 ? 1 : 2); }

  std::size_t TrueCount(std::size_t c, const std::vector<bool>& values) const {
    std::size_t count = 0;
    for (const Lit& l : clauses_[c]) count += values[l.var] != l.negated ? 1 : 0;
    return count;
  }
  std::uint64_t Cost() const {
    std::uint64_t cost = 0;
    for (std::size_t c = 0; c < clauses_.size(); ++c)
      if (TrueCount(c, value_) == 0) cost += static_cast<std::uint64_t>(weight_[c]);
    return cost;
  }
  std::int64_t AugmentedCost() const {
    std::int64_t cost = 0;
    for (std::size_t c = 0; c < clauses_.size(); ++c)
      if (TrueCount(c, value_) == 0) cost += 10000 + std::int64_t{penalty_[c]};
    return cost;
  }
  // Change of the augmented cost (objective: of the cost) if v were flipped,
  // each clause seen through `view(c)`: during a flip the clauses already
  // updated see the new value, the others the old one.
  template <typename View>
  std::int64_t Score(std::size_t v, bool objective, View view) const {
    std::int64_t score = 0;
    for (std::size_t c : occurrences_[v]) {
      const std::vector<bool>& values = view(c);
      const std::int64_t term = objective ? weight_[c] : 10000 + std::int64_t{penalty_[c]};
      const std::size_t trueCount = TrueCount(c, values);
      bool vTrue = false;
      for (const Lit& l : clauses_[c])
        if (l.var == v) vTrue = values[v] != l.negated;
      if (trueCount == 0) score -= term;
      if (trueCount == 1 && vTrue) score += term;
    }
    return score;
  }
  std::int64_t D(std::size_t v) const {
    return Score(v, false, [this](std::size_t) -> const std::vector<bool>& { return value_; });
  }
  std::int64_t O(std::size_t v) const {
    return Score(v, true, [this](std::size_t) -> const std::vector<bool>& { return value_; });
  }
  static void Move(List (&lists)[2], std::size_t v, int now) {
    int before = 2;
    for (int k = 0; k < 2; ++k)
      if (Contains(lists[k], v)) before = k;
    if (before == now) return;
    if (before < 2) Erase(lists[before], v);
    if (now < 2) lists[now].push_back(v);
  }
  template <typename View>
  void Reclassify(std::size_t v, View view) {
    Move(dLists_, v, SignClass(Score(v, false, view)));
    Move(oLists_, v, SignClass(Score(v, true, view)));
  }
  void Reclassify(std::size_t v, const std::vector<bool>& values) {
    Reclassify(v, [&values](std::size_t) -> const std::vector<bool>& { return values; });
  }

  void Flip(std::size_t v) {
    const std::vector<bool> old = value_;
    value_[v] = !value_[v];
    Reclassify(v, value_);
    lastFlip_[v] = flips_.size();
    std::vector<bool> updated(clauses_.size(), false);
    const auto view = [&](std::size_t c) -> const std::vector<bool>& { return updated[c] ? value_ : old; };
    for (std::size_t c : occurrences_[v]) {
      const std::size_t before = TrueCount(c, old), after = TrueCount(c, value_);
      if (after == 0) unsat_.push_back(c);
      if (before == 0) Erase(unsat_, c);
      updated[c] = true;
      if (before <= 2 && after <= 2)
        for (const Lit& l : clauses_[c])
          if (l.var != v) Reclassify(l.var, view);
    }
  }

  // -1 for an empty list.
  std::int64_t Pick(const List& list) const {
    if (list.empty()) return -1;
    if (s_.history) {
      std::size_t oldest = list[0];
      for (std::size_t v : list)
        if (lastFlip_[v] < lastFlip_[oldest]) oldest = v;
      return static_cast<std::int64_t>(oldest);
    }
    std::int64_t smallest = D(list[0]);
    for (std::size_t v : list) smallest = std::min(smallest, D(v));
    List ties;
    for (std::size_t v : list)
      if (D(v) == smallest) ties.push_back(v);
    return static_cast<std::int64_t>(ties[static_cast<std::size_t>(Random()) % ties.size()]);
  }

  void StepLoop(std::uint64_t limit) {
    std::uint32_t nonImproving = 0;
    for (;;) {
      if (unsat_.empty() || flips_.size() >= limit) return;
      if (dLists_[0].empty() && (dLists_[1].empty() || nonImproving >= static_cast<std::uint32_t>(s_.sideways))) return;
      std::int64_t candidate = -1;
      if (s_.aspiration) {
        const List& list = oLists_[0].empty() ? oLists_[1] : oLists_[0];
        const auto cost = static_cast<std::int64_t>(Cost());
        for (std::size_t v : list)
          if (cost + O(v) < static_cast<std::int64_t>(bestCost_) &&
              (candidate < 0 || O(v) < O(static_cast<std::size_t>(candidate))))
            candidate = static_cast<std::int64_t>(v);
      }
      std::int64_t chosen = -1;
      if (candidate < 0 && s_.randomMoves > 0) {
        const double r = Random() / 32767.0;
        if (r <= s_.randomMoves) chosen = Random() % static_cast<std::int64_t>(n_);
      }
      if (chosen < 0) chosen = Pick(dLists_[0]);
      if (chosen < 0) chosen = Pick(dLists_[1]);
      if (chosen < 0) return;
      const bool byAspiration = candidate >= 0 && candidate != chosen &&
                                O(static_cast<std::size_t>(candidate)) < O(static_cast<std::size_t>(chosen));
      if (byAspiration) ++aspirationMoves_;
      const std::size_t v = static_cast<std::size_t>(byAspiration ? candidate : chosen);
      const std::int64_t augmentedBefore = AugmentedCost();
      Flip(v);
      flips_.push_back(v);
      visited_.push_back(Cost());
      if (Cost() < bestCost_) RecordBest(byAspiration);
      nonImproving = AugmentedCost() < augmentedBefore ? 0 : nonImproving + 1;
    }
  }

  void RecordBest(bool byAspiration) {
    bestCost_ = Cost();
    bestValue_ = value_;
    repairsToBest_ = flips_.size();
    bests_.push_back(bestCost_);
    bestByAspiration_ = byAspiration;
    if (bestCost_ == 0 && !solutionFound_) solutionFound_ = true;
  }

  std::uint32_t Penalise() {
    List selected;
    if (weighted_) {
      const auto utility = [this](std::size_t c) { return weight_[c] / (penalty_[c] + 10000.0); };
      double best = -1;
      for (std::size_t c : unsat_) best = std::max(best, utility(c));
      for (std::size_t c : unsat_)
        if (utility(c) == best) selected.push_back(c);
    } else {
      std::uint32_t smallest = ~0u;
      for (std::size_t c : unsat_) smallest = std::min(smallest, penalty_[c]);
      for (std::size_t c : unsat_)
        if (penalty_[c] == smallest) selected.push_back(c);
    }
    std::uint32_t changed = 0;
    for (std::size_t c : selected) {
      const std::int64_t room = std::int64_t{~0u} - penalty_[c];
      const auto increment = static_cast<std::uint32_t>(std::min(L_, room));
      changed += increment > 0 ? 1 : 0;
      penalty_[c] += increment;
      for (const Lit& l : clauses_[c]) Reclassify(l.var, value_);
    }
    return changed;
  }

  static std::string Number(double x) {
    std::ostringstream out;
    out << x;
    return out.str();
  }
  static std::string Series(const std::vector<std::uint64_t>& xs) {
    if (xs.empty()) return "0\tNA\tNA\tNA\tNA\t";
    double sum = 0;
    for (auto x : xs) sum += static_cast<double>(x);
    const double mean = sum / static_cast<double>(xs.size());
    double squares = 0;
    for (auto x : xs) squares += (static_cast<double>(x) - mean) * (static_cast<double>(x) - mean);
    return std::to_string(xs.size()) + "\t" + Number(mean) + "\t" +
           Number(std::sqrt(squares / static_cast<double>(xs.size()))) + "\t" +
           Number(static_cast<double>(*std::min_element(xs.begin(), xs.end()))) + "\t" +
           Number(static_cast<double>(*std::max_element(xs.begin(), xs.end()))) + "\t";
  }

  std::string Row() {
    value_ = bestValue_;
    std::string row;
    if (weighted_) {
      std::uint64_t satisfied = 0;
      for (std::size_t c = 0; c < clauses_.size(); ++c)
        if (TrueCount(c, value_) > 0) satisfied += static_cast<std::uint64_t>(weight_[c]);
      row += std::to_string(satisfied) + "\t";
    }
    row += std::string(solutionFound_ ? "1" : "0") + "\tT\t" + std::to_string(repairsToBest_) + "\t" +
           std::to_string(minima_.size()) + "\t0\t";
    // Entropy of the time each variable spent at each value, in bits.
    double average = 0, deviation = 0, minimum = 1, maximum = 0;
    const std::size_t T = flips_.size();
    if (T > 0 && n_ > 0) {
      double sum = 0, squares = 0;
      for (std::size_t v = 0; v < n_; ++v) {
        double at[2] = {0, 0};
        bool current = startValue_[v];
        std::size_t since = 0;
        for (std::size_t k = 0; k < T; ++k)
          if (flips_[k] == v) {
            at[current] += static_cast<double>(k - since);
            since = k;
            current = !current;
          }
        at[current] += static_cast<double>(T - since);
        double e = 0;
        for (double c : at)
          if (c > 0) e -= c / static_cast<double>(T) * std::log(c / static_cast<double>(T)) / std::log(2.0);
        sum += e;
        squares += e * e;
        minimum = v == 0 ? e : std::min(minimum, e);
        maximum = v == 0 ? e : std::max(maximum, e);
      }
      average = sum / static_cast<double>(n_);
      deviation = std::sqrt(std::max(0.0, squares / static_cast<double>(n_) - average * average));
    }
    row += Number(average) + "\t" + Number(deviation) + "\t" + Number(minimum) + "\t" + Number(maximum) + "\t";
    row += std::to_string(aspirationMoves_) + "\t" + Series(visited_) + Series(minima_) + Series(bests_);
    row += bestByAspiration_ ? "1\t" : "0\t";

    // A limit of 2^32 - 1 is no limit, and not written.
    const std::string limit = s_.maxRepairs == 4294967295u ? ""
                              : (s_.perN ? "+maxnrepairs " : "+maxrepairs ") + std::to_string(s_.maxRepairs) + " ";
    std::string options = "+seed " + std::to_string(s_.seed) + (s_.history ? " +pickrecency" : " +pickbest") +
                          " +randomrestarts " + limit + "+numruns " + std::to_string(s_.runs) +
                          " +GLS +lambda " + Number(s_.lambda) + " +repairsbeforepenalise " +
                          std::to_string(s_.sideways) + " " + (s_.aspiration ? "+aspiration " : "") +
                          "-upwards +penaliseselective +amountcostutil ";
    if (s_.decayEvery > 0)
      options += "+forgetting +forgetafterNlocalminima " + std::to_string(s_.decayEvery) + " +forgetdecay " +
                 Number(s_.decayFactor) + " ";
    if (s_.randomMoves > 0) options += "+Prandmove " + Number(s_.randomMoves) + " ";
    return row + options + "+cheapstatsonly -keeprunning ";
  }

  Experiment s_;
  bool weighted_ = false;
  std::size_t n_ = 0;
  std::vector<std::vector<Lit>> clauses_;
  std::vector<std::int64_t> weight_;
  std::vector<std::vector<std::size_t>> occurrences_;
  std::uint32_t runNumber_ = 0;
  std::int64_t L_ = 0;
  std::vector<bool> value_, startValue_, bestValue_;
  std::vector<std::uint32_t> penalty_;
  std::vector<std::uint64_t> lastFlip_;
  List unsat_;
  List dLists_[2];  // improving (D < 0), sideways (D = 0)
  List oLists_[2];  // objective improving (O < 0), objective sideways (O = 0)
  std::vector<std::size_t> flips_;
  std::vector<std::uint64_t> visited_, minima_, bests_;
  std::uint64_t bestCost_ = 0;
  std::uint64_t repairsToBest_ = 0;
  std::uint64_t aspirationMoves_ = 0;
  bool solutionFound_ = false;
  bool bestByAspiration_ = false;
};

}  // namespace mirelock::test
