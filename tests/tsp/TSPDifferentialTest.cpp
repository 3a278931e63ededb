// The TSP solver against a plain restatement of its algorithm. The reference
// below keeps no incremental state: the tour cost, the augmented cost and every
// 2-opt value are recomputed from the distance and penalty tables before each
// step, in 64-bit arithmetic. Both are driven by the same generator and must
// write the same results rows, every column but the CPU time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "platform/Random.h"
#include "solver/SolverTestSupport.h"
#include "tsp/TSPSolver.h"
#include "tsp/ReferenceSeries.h"

namespace mirelock {
namespace {

// The TSP tests' defaults: 300 repairs, aspiration, no sideways move, seed 7.
struct Settings : test::Experiment {
  Settings() { maxRepairs = 300, perN = false, aspiration = true, sideways = 0, seed = 7; }
  double escape = 0;  // escape moves after each penalisation
};

struct Move {
  int i = 0, j = 0;
  bool operator==(const Move&) const = default;
};

class ReferenceGLS {
 public:
  ReferenceGLS(const IntMatrix& distances, const Settings& settings)
      : d_(distances), s_(settings), n_(static_cast<int>(distances.Size())) {
    maxRepairs_ = s_.perN ? s_.maxRepairs * static_cast<unsigned>(n_) : s_.maxRepairs;
  }

  // One row per run: the statistics columns after the time, then the option text.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (unsigned run = 1; run <= s_.runs; ++run) rows.push_back(Solve(run));
    return rows;
  }

 private:
  using I64 = std::int64_t;
  I64 P(int a, int b) const { return penalty_[std::min(a, b) * n_ + std::max(a, b)]; }
  I64 TourCost() const {
    I64 cost = d_(tour_[0], tour_[n_ - 1]);
    for (int k = 0; k + 1 < n_; ++k) cost += d_(tour_[k], tour_[k + 1]);
    return cost;
  }
  I64 CostDelta(Move m) const {
    const int a = tour_[m.i - 1], b = tour_[m.i], c = tour_[m.j], e = tour_[(m.j + 1) % n_];
    return I64{d_(b, e)} - d_(c, e) - d_(a, b) + d_(a, c);
  }
  I64 AugmentedDelta(Move m) const {
    const int a = tour_[m.i - 1], b = tour_[m.i], c = tour_[m.j], e = tour_[(m.j + 1) % n_];
    return multiplier_ * CostDelta(m) + P(b, e) - P(c, e) - P(a, b) + P(a, c);
  }
  bool Finished() const { return repairs_ >= maxRepairs_ || ended_; }

  std::string Solve(unsigned run) {
    if (s_.seed != 4294967295u) SeedRandom(s_.seed * run);
    tour_.resize(n_);
    for (int k = 0; k < n_; ++k) tour_[k] = k;
    for (int k = 1; k < n_; ++k) std::swap(tour_[k], tour_[Random() % (k + 1)]);
    penalty_.assign(n_ * n_, 0);
    multiplier_ = 1;
    integerLambda_ = 0;
    // The lists of the run's first step come from the evaluation made before
    // the run resets its best cost, so they still see the previous run's best.
    previousBest_ = bestCost_, staleLists_ = true;
    bestCost_ = 2147483647;
    repairs_ = repairsToBest_ = aspirations_ = moveCounter_ = 0;
    byAspiration_ = ended_ = false;
    visited_ = {TourCost()};
    minima_.clear();
    bests_ = {TourCost()};
    occupancy_.assign(n_ * n_, 0);
    lastChange_.assign(n_, 0);
    current_ = tour_;
    do {
      LocalSearch();
      if (!Finished()) Penalise();
    } while (!Finished());
    return Row();
  }

  void LocalSearch() {
    unsigned sideways = 0;
    for (;;) {
      if (Finished()) return;
      const I64 cost = TourCost();
      I64 bestValue = 2147483647, aspirationValue = 2147483647;
      std::vector<Move> best, aspiring;
      for (int i = 1; i < n_; ++i) {
        for (int j = i + 1; j < n_ && j - i <= n_ - 3; ++j) {
          const I64 delta = CostDelta({i, j}), value = AugmentedDelta({i, j});
          if (cost + delta < (staleLists_ ? previousBest_ : bestCost_)) {
            if (delta < aspirationValue) aspiring.clear(), aspirationValue = delta;
            if (delta == aspirationValue) aspiring.push_back({i, j});
          }
          if (value < bestValue) best.clear(), bestValue = value;
          if (value == bestValue) best.push_back({i, j});
        }
      }
      const bool aspire = s_.aspiration && aspirationValue < 0;
      if (bestValue >= 0 && !(bestValue == 0 && sideways < static_cast<unsigned>(s_.sideways)) && !aspire) return;
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
      const bool overridden = aspire && (!found || !(candidate == move));
      if (overridden) move = candidate, ++aspirations_;
      Apply(move);
      AfterMove(overridden);
    }
  }

  Move RandomMove() {
    const int i = Random() % (n_ - 2) + 1;
    return {i, i == 1 ? Random() % (n_ - 3) + 2 : Random() % (n_ - i - 1) + i + 1};
  }

  void Apply(Move m) {
    staleLists_ = false;
    std::reverse(tour_.begin() + m.i, tour_.begin() + m.j + 1);
    visited_.push_back(TourCost());
    for (int k = m.i; k <= m.j; ++k) occupancy_[k * n_ + current_[k]] += moveCounter_ - lastChange_[k];
    ++moveCounter_;
    for (int k = m.i; k <= m.j; ++k) lastChange_[k] = moveCounter_, current_[k] = tour_[k];
    ++repairs_;
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
    staleLists_ = false;
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
      const double utility =
          d_(std::min(a, b), std::max(a, b)) / static_cast<double>(P(a, b) + integerLambda_);
      if (utility > greatest) kept.clear(), greatest = utility;
      if (utility == greatest) kept.emplace_back(a, b);
    }
    // A penalty that would take multiplier * distance + penalty past 2^29 - 1 ends the run instead.
    for (auto [a, b] : kept) ended_ |= multiplier_ * d_(a, b) + P(a, b) + integerLambda_ > (1 << 29) - 1;
    if (ended_) return;
    for (auto [a, b] : kept) penalty_[std::min(a, b) * n_ + std::max(a, b)] += integerLambda_;
    if (s_.escape <= 0) return;
    for (double r = Random() * (1.0 / 32767); s_.escape > r && !Finished(); r = Random() * (1.0 / 32767)) {
      Apply(RandomMove());
      AfterMove(false);
    }
  }

  std::string Row() {
    double average = 0, deviation = 0, least = 1, most = 0;
    if (moveCounter_ > 0) {
      double squares = 0;
      for (int k = 0; k < n_; ++k) {
        occupancy_[k * n_ + current_[k]] += moveCounter_ - lastChange_[k];
        double total = 0, entropy = 0;
        for (int c = 0; c < n_; ++c) total += occupancy_[k * n_ + c];
        for (int c = 0; c < n_; ++c) {
          const double q = occupancy_[k * n_ + c] / total;
          if (q > 0) entropy -= q * std::log(q) / std::log(static_cast<double>(n_));
        }
        least = k == 0 ? entropy : std::min(least, entropy);
        most = k == 0 ? entropy : std::max(most, entropy);
        average += entropy, squares += entropy * entropy;
      }
      average /= n_;
      deviation = std::sqrt(squares / n_ - average * average);
    }
    std::ostringstream row;
    UseDefaultNumberFormat(row);
    row << "T\t" << repairsToBest_ << '\t' << average << '\t' << deviation << '\t' << least << '\t' << most
        << '\t' << aspirations_ << '\t' << test::Series(visited_) << test::Series(minima_) << test::Series(bests_)
        << byAspiration_ << '\t';
    row << "-maxrepairs " << maxRepairs_ << ' '
        << (s_.runs != 1 ? "-numruns " + std::to_string(s_.runs) + " " : "") << "-lambdacoeff " << s_.lambda
        << ' ';
    if (s_.decayEvery > 0)
      row << "-forget -forgetcoeff " << s_.decayFactor << " -forgetafter " << s_.decayEvery << ' ';
    if (s_.randomMoves > 0) row << "-Prandommove " << s_.randomMoves << ' ';
    if (s_.escape > 0) row << "-Prandomescapemove " << s_.escape << ' ';
    row << "+maxconsecsideways " << s_.sideways << " +cheapstatsonly "
        << (s_.aspiration ? "+aspiration" : "");
    return row.str();
  }

  const IntMatrix& d_;
  const Settings s_;
  const int n_;
  unsigned maxRepairs_;
  std::vector<int> tour_, current_;
  std::vector<I64> penalty_, visited_, minima_, bests_, occupancy_, lastChange_;
  I64 multiplier_ = 1, integerLambda_ = 0, bestCost_ = 2147483647, previousBest_ = 0, moveCounter_ = 0;
  unsigned repairs_ = 0, repairsToBest_ = 0, aspirations_ = 0;
  bool byAspiration_ = false, staleLists_ = false, ended_ = false;
};

std::vector<std::string> SolverRows(TSPSolver& solver, const Settings& s) {
  test::Apply(solver.GetParameters(), s);
  solver.Parameters().SetRandomEscapeMoveProbability(s.escape);
  return test::RunRows(solver, 0);
}

TEST(TSPSolver, RowsMatchAPlainRestatementOfTheSearch) {
  std::vector<Settings> c(9);
  c[1].aspiration = false, c[1].sideways = 3, c[1].lambda = 0.1, c[1].seed = 4294967295u, c[1].maxRepairs = 30,
  c[1].perN = true;
  c[2].randomMoves = 0.2, c[2].sideways = 5, c[2].decayEvery = 1, c[2].decayFactor = 0.01, c[2].lambda = 0.05,
  c[2].seed = 12345;
  c[3].randomMoves = 1, c[3].lambda = 10, c[3].seed = 1, c[3].maxRepairs = 200;
  c[4].aspiration = false, c[4].randomMoves = 0.05, c[4].sideways = 2, c[4].lambda = 0.3, c[4].seed = 99,
  c[4].maxRepairs = 25, c[4].perN = true, c[4].escape = 0.5;
  c[5].sideways = 100, c[5].lambda = 0.02, c[5].seed = 4294967295u, c[5].maxRepairs = 400, c[5].runs = 2;
  c[6].aspiration = false, c[6].decayEvery = 200, c[6].seed = 5, c[6].maxRepairs = 0, c[6].runs = 2;  // no move
  c[7].sideways = 1, c[7].lambda = 3, c[7].seed = 2147483648u, c[7].maxRepairs = 500, c[7].runs = 1;
  // Long enough for a draw of exactly 1 (32767), which with probability 1 is no random move.
  c[8].randomMoves = 1, c[8].maxRepairs = 40000, c[8].runs = 1;
  // 5 to 14 cities drawn by the generator in a square of the given side: many
  // ties; multiplier 100; multiplier 1.
  for (const char* instance : {"g1-side1000", "g2-side400000", "g3-side12", "g4-side1000", "g5-side400000",
                               "g6-side12"}) {
    for (std::size_t k = 0; k < c.size(); ++k) {
      SCOPED_TRACE(std::string(instance) + ", combination " + std::to_string(k));
      TSPSolver solver;
      test::Load(solver, test::TestData("tsp/random/" + std::string(instance) + ".tsp"));
      SeedRandom(4242);  // what the generator holds for the unseeded runs
      const std::vector<std::string> actual = SolverRows(solver, c[k]);
      SeedRandom(4242);
      EXPECT_EQ(actual, ReferenceGLS(solver.Instance().Distances(), c[k]).Rows());
      if (HasFailure()) return;
    }
  }
}

// What the rows above never show: the header, the default option text and the
// tokens of settings experiments do not make.
TEST(TSPSolver, HeaderAndOptionTextBeyondTheRows) {
  TSPParameters p;
  TSPStats stats;
  stats.Reset(&p);
  std::string expected = "CPU_Seconds\tRepairs_To_BestSol\tAve_Entropy\tStdDev_Entropy\tMin_Entropy\tMax_Entropy\t"
                         "Aspiration\t";
  for (std::string name : {"Visited_Solution", "Local_Minima_Solution", "Best_Found_Solution"})
    expected += "#" + name + "\tAve_" + name + "_Cost\tStdDev_" + name + "_Cost\tMin_" + name + "_Cost\tMax_" +
                name + "_Cost\t";
  const auto text = [&](bool header) {
    std::ostringstream out;
    UseDefaultNumberFormat(out);
    header ? stats.WriteHeader(out) : p.WriteOptions(out);
    return out.str();
  };
  EXPECT_EQ(text(true), expected + "Best_Due_To_Aspiration\t");
  EXPECT_EQ(text(false), "-lambdacoeff 1 +maxconsecsideways 0 +cheapstatsonly +aspiration");
  p.SetTargetCost(-3);  // a target cost adds the Sol_Found column in front
  p.SetMaxSeconds(60);
  EXPECT_EQ(text(true), "Sol_Found\t" + expected + "Best_Due_To_Aspiration\t");
  EXPECT_EQ(text(false), "-targetcost -3 -maxsecs 60 -lambdacoeff 1 +maxconsecsideways 0 +cheapstatsonly +aspiration");
  p.SetMaxRepairsPerN(10);
  p.SetMaxRepairs(77);  // a later absolute limit replaces the per-city one
  p.SetProblemSize(50);
  EXPECT_EQ(p.MaxRepairs(), 77u);
  // History is the one feature the TSP search lacks.
  EXPECT_NO_THROW(p.SetHistory(false));
  EXPECT_THROW(p.SetHistory(true), UnsupportedFeature);
}

}  // namespace
}  // namespace mirelock
