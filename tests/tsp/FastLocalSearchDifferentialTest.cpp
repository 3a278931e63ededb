// The TSP solver's fast local search against a plain restatement of it. The
// reference keeps no incremental state: no position index (cities are found
// by a linear search), no utility heap (the whole tour is scanned at each
// penalisation), penalties in an n x n table, neighbour lists by sorting all
// cities, and the tour cost recounted in 64 bits after every move. Both are
// driven by the same generator and must write the same results rows, every
// column but the CPU time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <sstream>

#include "platform/NumberFormat.h"
#include "platform/Random.h"
#include "solver/SolverTestSupport.h"
#include "tsp/ReferenceSeries.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

struct FastSettings : test::Experiment {
  FastSettings() { maxRepairs = 300, perN = false, aspiration = true, sideways = 0, seed = 7, neighbours = 5; }
  double escape = 0;
};

// A 2-opt move that removes (a, b) and (c, d), b following a and d following c, and adds (a, c) and (b, d).
struct Move {
  int a = 0, b = 0, c = 0, d = 0;
};

class ReferenceFastGLS {
 public:
  using I64 = std::int64_t;
  ReferenceFastGLS(const IntMatrix& matrix, const FastSettings& settings)
      : m_(matrix), s_(settings), n_(static_cast<int>(matrix.Size())) {
    maxRepairs_ = s_.perN ? s_.maxRepairs * static_cast<unsigned>(n_) : s_.maxRepairs;
    for (int a = 0; a < n_; ++a) {
      std::vector<std::pair<I64, int>> others;
      for (int c = 0; c < n_; ++c)
        if (c != a) others.emplace_back(D(a, c), c);
      std::sort(others.begin(), others.end());
      std::vector<int> list;
      for (unsigned k = 0; k < s_.neighbours; ++k) list.push_back(others[k].second);
      near_.push_back(list);
    }
  }

  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (unsigned run = 1; run <= s_.runs; ++run) rows.push_back(Solve(run));
    return rows;
  }

 private:
  I64 D(int a, int b) const { return m_(std::min(a, b), std::max(a, b)); }
  I64 P(int a, int b) const { return penalty_[std::min(a, b) * n_ + std::max(a, b)]; }
  int Pos(int city) const { return static_cast<int>(std::find(tour_.begin(), tour_.end(), city) - tour_.begin()); }
  int Next(int city) const { return tour_[(Pos(city) + 1) % n_]; }
  int Prev(int city) const { return tour_[(Pos(city) + n_ - 1) % n_]; }
  I64 TourCost() const {
    I64 cost = D(tour_[0], tour_[n_ - 1]);
    for (int k = 0; k + 1 < n_; ++k) cost += D(tour_[k], tour_[k + 1]);
    return cost;
  }
  bool Finished() const { return repairs_ >= maxRepairs_ || ended_; }
  void Activate(int city) {
    if (!active_[city]) active_[city] = true, queue_.push_back(city);
  }

  std::string Solve(unsigned run) {
    if (s_.seed != 4294967295u) SeedRandom(s_.seed * run);
    tour_.resize(n_);
    for (int k = 0; k < n_; ++k) tour_[k] = k;
    for (int k = 1; k < n_; ++k) std::swap(tour_[k], tour_[Random() % (k + 1)]);
    penalty_.assign(n_ * n_, 0);
    multiplier_ = 1, integerLambda_ = 0;
    bestCost_ = INT64_MAX;
    repairs_ = repairsToBest_ = aspirations_ = 0;
    byAspiration_ = ended_ = false;
    visited_ = {TourCost()}, minima_.clear(), bests_ = {TourCost()};
    active_.assign(n_, false), queue_.clear();
    for (int c = 0; c < n_; ++c) Activate(c);
    do {
      LocalSearch();
      if (!Finished()) Penalise();
    } while (!Finished());
    return Row();
  }

  void LocalSearch() {
    unsigned sideways = 0;
    for (;;) {
      if (Finished() || queue_.empty()) return;
      const int a = queue_.front();
      const I64 cost = TourCost();
      I64 bestValue = INT64_MAX, aspirationValue = INT64_MAX;
      std::vector<Move> best, aspiring;
      for (int direction : {1, -1}) {
        const int b = direction == 1 ? Next(a) : Prev(a);
        for (int c : near_[a]) {
          const int d = direction == 1 ? Next(c) : Prev(c);
          if (c == b || d == a) continue;
          const I64 delta = D(a, c) + D(b, d) - D(a, b) - D(c, d);
          const I64 value = multiplier_ * delta + P(a, c) + P(b, d) - P(a, b) - P(c, d);
          const Move move = direction == 1 ? Move{a, b, c, d} : Move{b, a, d, c};
          if (s_.aspiration && cost + delta < bestCost_) {
            if (delta < aspirationValue) aspiring.clear(), aspirationValue = delta;
            if (delta == aspirationValue) aspiring.push_back(move);
          }
          if (value < bestValue) best.clear(), bestValue = value;
          if (value == bestValue) best.push_back(move);
        }
      }
      const bool aspire = s_.aspiration && aspirationValue < 0;
      if (bestValue >= 0 && !(bestValue == 0 && sideways < static_cast<unsigned>(s_.sideways)) && !aspire) {
        active_[a] = false, queue_.pop_front();
        continue;
      }
      Move candidate;
      if (aspire) candidate = aspiring[Random() % aspiring.size()];
      const double r = Random() * (1.0 / 32767);
      Move move;
      bool found = false;
      if (s_.randomMoves > r) {
        move = RandomMove(), found = true;
      } else {
        if (bestValue < 0) sideways = 0;
        if (bestValue == 0) ++sideways;
        if (bestValue <= 0) move = best[Random() % best.size()], found = true;
      }
      const auto same = [](Move x, Move y) { return (x.a == y.a && x.c == y.c) || (x.a == y.c && x.c == y.a); };
      const bool overridden = aspire && (!found || !same(candidate, move));
      if (overridden) move = candidate, ++aspirations_;
      Apply(move);
      AfterMove(overridden);
    }
  }

  Move RandomMove() {
    const int i = Random() % (n_ - 2) + 1;
    const int j = i == 1 ? Random() % (n_ - 3) + 2 : Random() % (n_ - i - 1) + i + 1;
    return {tour_[i - 1], tour_[i], tour_[j], tour_[(j + 1) % n_]};
  }

  // Reverses the path b .. c, or d .. a when that is shorter.
  void Apply(Move m) {
    const int inner = (Pos(m.c) - Pos(m.b) + n_) % n_ + 1;
    const int start = 2 * inner <= n_ ? Pos(m.b) : Pos(m.d);
    const int length = 2 * inner <= n_ ? inner : n_ - inner;
    for (int t = 0; t < length / 2; ++t) std::swap(tour_[(start + t) % n_], tour_[(start + length - 1 - t) % n_]);
    visited_.push_back(TourCost());
    ++repairs_;
    for (int city : {m.a, m.b, m.c, m.d}) Activate(city);
  }

  void AfterMove(bool byAspiration) {
    const I64 cost = TourCost();
    if (cost >= bestCost_) return;
    repairsToBest_ = repairs_;
    bests_.push_back(cost);
    byAspiration_ = byAspiration;
    bestCost_ = cost;
  }

  void Penalise() {
    const I64 cost = TourCost();
    minima_.push_back(cost);
    if (integerLambda_ == 0) {
      multiplier_ = cost < 214748 ? 100 : 1;
      integerLambda_ = static_cast<I64>(std::floor(multiplier_ * (s_.lambda * cost / n_) + 0.5));
      if (integerLambda_ == 0) throw std::runtime_error("lambda rounds to 0");
    }
    std::vector<std::pair<int, int>> kept;
    double greatest = -1;
    for (int k = -1; k + 1 < n_; ++k) {
      const int a = tour_[k < 0 ? n_ - 1 : k], b = tour_[k + 1];
      const double utility = D(a, b) / static_cast<double>(P(a, b) + integerLambda_);
      if (utility > greatest) kept.clear(), greatest = utility;
      if (utility == greatest) kept.emplace_back(a, b);
    }
    for (auto [a, b] : kept) ended_ |= multiplier_ * D(a, b) + P(a, b) + integerLambda_ > (1 << 29) - 1;
    if (ended_) return;
    for (auto [a, b] : kept) {
      penalty_[std::min(a, b) * n_ + std::max(a, b)] += integerLambda_;
      Activate(a), Activate(b);
    }
    if (s_.escape <= 0) return;
    for (double r = Random() * (1.0 / 32767); s_.escape > r && !Finished(); r = Random() * (1.0 / 32767)) {
      Apply(RandomMove());
      AfterMove(false);
    }
  }

  std::string Row() {
    std::ostringstream row;
    UseDefaultNumberFormat(row);
    row << "T\t" << repairsToBest_ << "\tNA\tNA\tNA\tNA\t" << aspirations_ << '\t' << test::Series(visited_)
        << test::Series(minima_) << test::Series(bests_) << byAspiration_ << '\t';
    row << "-maxrepairs " << maxRepairs_ << ' '
        << (s_.runs != 1 ? "-numruns " + std::to_string(s_.runs) + " " : "") << "-lambdacoeff " << s_.lambda
        << ' ';
    if (s_.decayEvery > 0)
      row << "-forget -forgetcoeff " << s_.decayFactor << " -forgetafter " << s_.decayEvery << ' ';
    if (s_.randomMoves > 0) row << "-Prandommove " << s_.randomMoves << ' ';
    if (s_.escape > 0) row << "-Prandomescapemove " << s_.escape << ' ';
    row << "-fastls -neighbours " << s_.neighbours << ' ';
    row << "+maxconsecsideways " << s_.sideways << " +cheapstatsonly " << (s_.aspiration ? "+aspiration" : "");
    return row.str();
  }

  const IntMatrix& m_;
  const FastSettings s_;
  const int n_;
  unsigned maxRepairs_;
  std::vector<std::vector<int>> near_;
  std::vector<int> tour_;
  std::vector<bool> active_;
  std::deque<int> queue_;
  std::vector<I64> penalty_, visited_, minima_, bests_;
  I64 multiplier_ = 1, integerLambda_ = 0, bestCost_ = INT64_MAX;
  unsigned repairs_ = 0, repairsToBest_ = 0, aspirations_ = 0;
  bool byAspiration_ = false, ended_ = false;
};

std::vector<std::string> SolverRows(TSPSolver& solver, const FastSettings& s) {
  test::Apply(solver.GetParameters(), s);
  solver.Parameters().SetRandomEscapeMoveProbability(s.escape);
  return test::RunRows(solver, 0);
}

TEST(FastLocalSearch, RowsMatchAPlainRestatementOfTheSearch) {
  std::vector<FastSettings> c(8);
  c[1].aspiration = false, c[1].sideways = 3, c[1].lambda = 0.1, c[1].seed = 4294967295u, c[1].maxRepairs = 30,
  c[1].perN = true, c[1].neighbours = 1;
  c[2].randomMoves = 0.2, c[2].sideways = 5, c[2].decayEvery = 1, c[2].lambda = 0.05, c[2].seed = 12345,
  c[2].neighbours = 3;
  c[3].randomMoves = 1, c[3].lambda = 10, c[3].seed = 1, c[3].maxRepairs = 200;
  c[4].aspiration = false, c[4].randomMoves = 0.05, c[4].sideways = 2, c[4].lambda = 0.3, c[4].seed = 99,
  c[4].maxRepairs = 25, c[4].perN = true, c[4].escape = 0.5, c[4].neighbours = 4;
  c[5].sideways = 100, c[5].lambda = 0.02, c[5].seed = 4294967295u, c[5].maxRepairs = 400, c[5].runs = 2;
  c[6].aspiration = false, c[6].seed = 5, c[6].maxRepairs = 0, c[6].runs = 2;  // no move at all
  c[7].sideways = 1, c[7].lambda = 3, c[7].seed = 2147483648u, c[7].maxRepairs = 3000, c[7].runs = 1,
  c[7].neighbours = 12;
  // 5 to 14 random cities (many ties), a GEO and an explicit-matrix instance, 48 and 51 cities.
  for (const char* instance : {"random/g1-side1000", "random/g2-side400000", "random/g3-side12", "random/g4-side1000",
                               "random/g5-side400000", "random/g6-side12", "ulysses16", "gr17", "att48", "eil51"}) {
    TSPSolver probe;
    test::Load(probe, test::TestData("tsp/" + std::string(instance) + ".tsp"));
    const unsigned n = probe.Instance().Size();
    for (std::size_t k = 0; k < c.size(); ++k) {
      FastSettings settings = c[k];
      settings.neighbours = std::min(settings.neighbours, n - 1);
      SCOPED_TRACE(std::string(instance) + ", combination " + std::to_string(k));
      TSPSolver solver;
      test::Load(solver, test::TestData("tsp/" + std::string(instance) + ".tsp"));
      SeedRandom(4242);  // what the generator holds for the unseeded runs
      const std::vector<std::string> actual = SolverRows(solver, settings);
      SeedRandom(4242);
      EXPECT_EQ(actual, ReferenceFastGLS(solver.Instance().Distances(), settings).Rows());
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace mirelock
