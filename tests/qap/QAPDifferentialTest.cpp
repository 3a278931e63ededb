// The QAP solver against a deliberately simple reference of the GLS written
// from the algorithm's description alone: every pass recomputes the cost, all
// swap deltas, penalty deltas and augmented deltas from scratch, and the lists
// are formed anew from their signs. Nothing is shared with the solver but the
// instance reader and the random generator. The order of a move list is left
// open by the algorithm, so the instances are drawn such that no two moves of
// a list tie; the reference counts every tie it meets and the test demands none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>
#include <sstream>
#include <thread>

#include "platform/NumberFormat.h"
#include "platform/Random.h"
#include "qap/QAPTestHelpers.h"

namespace mirelock {
namespace {

using I64 = std::int64_t;
using test::Experiment;

struct Pair {
  int r = -1, s = -1;
  bool operator==(const Pair&) const = default;
};

// Exact count, mean and population deviation of integer values.
struct Moments {
  std::uint64_t count = 0;
  __int128 sum = 0, sumSq = 0;
  void Add(I64 x) { ++count, sum += x, sumSq += static_cast<__int128>(x) * x; }
  void Write(std::ostream& out) const {
    const long double n = static_cast<long double>(count);
    const long double spread = static_cast<long double>(static_cast<__int128>(count) * sumSq - sum * sum);
    out << static_cast<double>(static_cast<long double>(sum) / n) << '\t'
        << static_cast<double>(std::sqrt(spread / (n * n))) << '\t';
  }
};

class ReferenceGLS {
 public:
  ReferenceGLS(const QAPProblem& problem, const Experiment& e) : e_(e) {
    n_ = static_cast<int>(problem.Size());
    type_ = problem.Type();
    block_ = problem.BlockSize();
    a_.assign(n_, std::vector<I64>(n_));
    b_ = a_;
    std::vector<I64> sortedA, sortedB;
    for (int i = 0; i < n_; ++i)
      for (int j = 0; j < n_; ++j) {
        a_[i][j] = problem.A(i, j), b_[i][j] = problem.B(i, j);
        sortedA.push_back(a_[i][j]), sortedB.push_back(b_[i][j]);
        sumA_ += static_cast<double>(a_[i][j]), sumB_ += static_cast<double>(b_[i][j]);
      }
    std::sort(sortedA.begin(), sortedA.end());
    std::sort(sortedB.begin(), sortedB.end());
    double g = 0;
    for (std::size_t k = 0; k < sortedA.size(); ++k) g += static_cast<double>(sortedA[k] * sortedB[k]);
    costScale_ = std::max<I64>(1, static_cast<I64>(std::floor(2147483647.0 / ((g + 1) * 1000) + 0.5)));
    maxRepairs_ = e.perN ? e.maxRepairs * static_cast<unsigned>(n_) : e.maxRepairs;
  }

  int ties = 0;
  int drawsOfOne = 0;  // a draw of exactly 1 is not below a probability of 1

  // One run; returns its results row without the time column, and the options.
  std::string Solve() {
    ++runNumber_;
    recency_.assign(n_, std::vector<I64>(n_, 0));
    if (e_.seed != 4294967295u) SeedRandom(e_.seed * runNumber_);
    p_.resize(n_);
    for (int i = 0; i < n_; ++i) p_[i] = i;
    for (int i = 1; i < n_; ++i) std::swap(p_[i], p_[Random() % (i + 1)]);
    visited_.clear();
    penalty_.assign(n_, std::vector<I64>(n_, 0));
    featureCost_.assign(n_, -1);
    lambda_ = penaltyUnit_ = 2147483647;
    bestCost_ = std::numeric_limits<I64>::max();
    repairs_ = localMinima_ = repetitions_ = repairsAtBest_ = bestFound_ = 0;
    overriding_ = aspiring_ = undone_ = consecutive_ = 0;
    byAspiration_ = false;
    costs_ = localMinCosts_ = Moments{};
    bestSum_ = 0;
    frequency_.assign(n_, std::vector<I64>(n_, 0));
    Record();
    if (Cost() < bestCost_) NewBest(false);
    const std::uint64_t stallLimit = 10 * std::uint64_t(n_) * n_ + 1000;  // the solver's guard
    std::uint64_t idle = 0;
    for (;;) {
      if (Cost() < bestCost_) NewBest(false);
      const unsigned before = repairs_;
      bool proceed = true;
      if (!LocalSearch()) proceed = Penalise();
      idle = repairs_ == before ? idle + 1 : 0;
      if (repairs_ >= maxRepairs_ || !proceed || idle > stallLimit) break;
    }
    return Row() + Options();
  }

 private:
  I64 Cost() const { return CostOf(p_); }
  I64 CostOf(const std::vector<int>& p) const {
    I64 c = 0;
    for (int i = 0; i < n_; ++i)
      for (int j = 0; j < n_; ++j) c += a_[i][j] * b_[p[i]][p[j]];
    return c;
  }
  bool Candidate(int r, int s) const { return r < s && (type_ != 2 || (r < block_ && s >= block_)); }
  I64 Delta(int r, int s) const {
    const auto& A = a_;
    const auto& B = b_;
    const auto& p = p_;
    I64 d = 0;
    if (type_ == 0) {
      for (int k = 0; k < n_; ++k)
        if (k != r && k != s) d += (A[k][r] - A[k][s]) * (B[p[k]][p[s]] - B[p[k]][p[r]]);
      return 2 * d;
    }
    if (type_ == 1) {
      d = (A[r][r] - A[s][s]) * (B[p[s]][p[s]] - B[p[r]][p[r]]) +
          (A[r][s] - A[s][r]) * (B[p[s]][p[r]] - B[p[r]][p[s]]);
      for (int k = 0; k < n_; ++k)
        if (k != r && k != s)
          d += (A[k][r] - A[k][s]) * (B[p[k]][p[s]] - B[p[k]][p[r]]) +
               (A[r][k] - A[s][k]) * (B[p[s]][p[k]] - B[p[r]][p[k]]);
      return d;
    }
    for (int k = 0; k < block_; ++k)
      if (k != r && k != s) d += B[p[k]][p[s]] - B[p[k]][p[r]];
    return 2 * d;
  }
  I64 PenaltySum(const std::vector<int>& p) const {
    I64 sum = 0;
    for (int i = 0; i < n_; ++i) sum += penalty_[i][p[i]];
    return sum;
  }
  I64 Augmented(int r, int s) const {
    std::vector<int> q = p_;
    std::swap(q[r], q[s]);
    return costScale_ * Delta(r, s) + lambda_ * (PenaltySum(q) - PenaltySum(p_));
  }
  std::vector<Pair> List(bool improving) const {
    std::vector<Pair> list;
    for (int r = 0; r < n_; ++r)
      for (int s = r + 1; s < n_; ++s)
        if (Candidate(r, s) && (improving ? Augmented(r, s) < 0 : Augmented(r, s) == 0)) list.push_back({r, s});
    return list;
  }
  Pair PickBest(const std::vector<Pair>& list) {
    std::vector<Pair> kept;
    I64 smallest = 2147483647;
    for (Pair m : list) {
      const I64 h = Augmented(m.r, m.s);
      if (h < smallest) kept = {m}, smallest = h;
      else if (h == smallest) kept.push_back(m);
    }
    if (kept.empty()) return {};
    if (kept.size() > 1) ++ties;  // the choice would depend on the open list order
    return kept[Random() % kept.size()];
  }
  bool FindAspirationMove(Pair& move) {
    if (!e_.aspiration) return false;
    const I64 threshold = bestCost_ - Cost() - 1;
    std::vector<Pair> kept;
    I64 smallest = threshold;
    for (int r = 0; r < n_; ++r)
      for (int s = r + 1; s < n_; ++s) {
        if (!Candidate(r, s) || Delta(r, s) > threshold) continue;
        if (Delta(r, s) < smallest) kept = {{r, s}}, smallest = Delta(r, s);
        else if (Delta(r, s) == smallest) kept.push_back({r, s});
      }
    if (kept.empty()) return false;
    move = kept[Random() % kept.size()];
    if (Delta(move.r, move.s) < 0 && Augmented(move.r, move.s) > 0) ++overriding_;
    return true;
  }
  void Record() {
    for (int i = 0; i < n_; ++i) ++frequency_[i][p_[i]];
  }
  void MakeMove(Pair m) {
    recency_[m.r][p_[m.r]] = recency_[m.s][p_[m.s]] = repairs_ + 1;
    std::swap(p_[m.r], p_[m.s]);
    Record();
    if (visited_[p_]++ > 0) ++repetitions_;
    ++repairs_;
    costs_.Add(Cost());
  }
  void NewBest(bool byAspiration) {
    bestCost_ = Cost();
    repairsAtBest_ = repairs_;
    bestSum_ += bestCost_;
    ++bestFound_;
    byAspiration_ = byAspiration;
  }
  // A sideways limit of 0 is the solver's own choice (the algorithm leaves
  // it open): no sideways move, but every improving one.
  bool LocalSearch() {
    const unsigned limit = static_cast<unsigned>(e_.sideways);
    unsigned consecSideways = 0;
    bool moved = true;
    while (repairs_ < maxRepairs_) {
      if ((limit > 0 && consecSideways >= limit) || !moved) break;
      Pair asp{0, 0};
      const bool aspiring = FindAspirationMove(asp);
      const int draw = !aspiring && e_.randomMoves > 0 ? Random() : -1;
      drawsOfOne += draw == 32767 ? 1 : 0;
      if (draw >= 0 && static_cast<double>(draw) / 32767 < e_.randomMoves) {
        int r = Random() % n_, s;
        if (type_ == 2) s = r < block_ ? block_ + Random() % (n_ - block_) : Random() % block_;
        else s = (r + 1 + Random() % (n_ - 2)) % n_;
        MakeMove({std::min(r, s), std::max(r, s)});
        consecSideways = 0, moved = true;
        continue;
      }
      Pair picked;
      if (const auto improving = List(true); !improving.empty()) {
        picked = PickBest(improving);
        if (!aspiring && picked.r != -1) MakeMove(picked), consecSideways = 0, moved = true;
      } else if (const auto sideways = List(false); limit > 0 && !sideways.empty()) {
        picked = PickBest(sideways);
        if (!aspiring && picked.r != -1) MakeMove(picked), ++consecSideways, moved = true;
      } else {
        moved = false;
      }
      if (previousAspiring_ && moved && (!aspiring || picked == asp)) {
        if (picked == lastAspiring_ || (picked.r == lastAspiring_.s && picked.s == lastAspiring_.r)) ++undone_;
      } else if (aspiring && previousAspiring_) {
        ++consecutive_;
      }
      if (aspiring) {
        MakeMove(asp);
        consecSideways = 0, moved = true;
        previousAspiring_ = !(asp == picked);
        if (previousAspiring_) lastAspiring_ = asp, ++aspiring_;
      } else {
        previousAspiring_ = false;
      }
      if (Cost() < bestCost_) NewBest(previousAspiring_);
    }
    const bool left = !List(true).empty() || (limit > 0 && !List(false).empty());
    return (limit == 0 || consecSideways < limit) && left;
  }
  bool Penalise() {
    for (int i = 0; i < n_; ++i) {
      if (featureCost_[i] >= 0) continue;
      featureCost_[i] = 0;
      for (int k = 0; k < n_; ++k) featureCost_[i] += a_[i][k] * b_[p_[i]][p_[k]] + a_[k][i] * b_[p_[k]][p_[i]];
    }
    ++localMinima_;
    localMinCosts_.Add(Cost());
    if (e_.decayEvery > 0 && localMinima_ % e_.decayEvery == 0)
      for (auto& row : penalty_)
        for (I64& x : row) x = static_cast<I64>(std::floor(static_cast<double>(x) * e_.decayFactor + 0.5));
    if (lambda_ == 2147483647) {
      double x = e_.lambda * (sumA_ / (n_ * n_)) * (sumB_ / (n_ * n_));
      if (x == 0) x = 1.0;
      lambda_ = static_cast<I64>(std::floor(x * static_cast<double>(costScale_) / 100 + 0.5));
      if (lambda_ == 0) lambda_ = 1;
      penaltyUnit_ = 100;
    }
    double best = 0;
    std::vector<int> chosen;
    for (int i = 0; i < n_; ++i) {
      const double utility = static_cast<double>(featureCost_[i]) /
                             (1.0 + static_cast<double>(penalty_[i][p_[i]]) / static_cast<double>(penaltyUnit_));
      if (utility < DBL_MIN) continue;
      if (chosen.empty() || utility > best) chosen = {i}, best = utility;
      else if (utility == best) chosen.push_back(i);
    }
    for (int i : chosen) penalty_[i][p_[i]] += penaltyUnit_;
    return !chosen.empty();
  }
  std::string Row() const {
    std::ostringstream out;
    UseDefaultNumberFormat(out);
    out << bestCost_ << '\t';
    if (repairs_ > 0) costs_.Write(out);
    else out << "NA\tNA\t";
    out << "T\t" << repairsAtBest_ << '\t' << localMinima_ << '\t' << repetitions_ << '\t';
    double ave = 0, deviation = 0, low = DBL_MAX, high = DBL_MIN;
    if (repairs_ > 0) {
      double sum = 0, sumSq = 0;
      for (int i = 0; i < n_; ++i) {
        double total = 0, entropy = 0;
        for (I64 c : frequency_[i]) total += static_cast<double>(c);
        for (I64 c : frequency_[i])
          if (c > 0) entropy -= c / total * std::log(c / total) / std::log(static_cast<double>(n_));
        sum += entropy, sumSq += entropy * entropy;
        low = i == 0 ? entropy : std::min(low, entropy);
        high = i == 0 ? entropy : std::max(high, entropy);
      }
      ave = sum / n_;
      deviation = std::sqrt(sumSq / n_ - ave * ave);
    }
    out << ave << '\t' << deviation << '\t' << low << '\t' << high << '\t';
    if (localMinima_ > 0) localMinCosts_.Write(out);
    else out << "NA\tNA\t";
    out << bestFound_ << '\t' << static_cast<double>(static_cast<long double>(bestSum_) / bestFound_) << '\t'
        << overriding_ << '\t' << aspiring_ << '\t' << undone_ << '\t' << consecutive_ << '\t'
        << (byAspiration_ ? 1 : 0) << '\t';
    return out.str();
  }
  std::string Options() const {
    std::ostringstream out;
    UseDefaultNumberFormat(out);
    out << (e_.perN ? "-maxnrepairs " : "-maxrepairs ") << e_.maxRepairs << " +labelfeatures -lambdacoeff "
        << e_.lambda << " -maxlambdacoeff 100 -lambda avefeaturecost ";
    if (e_.decayEvery > 0) out << "-forget -forgetcoeff " << e_.decayFactor << " -forgetafter " << e_.decayEvery << ' ';
    if (e_.randomMoves > 0) out << "-Prandommove " << e_.randomMoves << ' ';
    out << "-usemovelists -pick " << (e_.aspiration ? "BestAspiration" : "Best") << " +maxconsecsideways "
        << e_.sideways << ' ';
    return out.str();
  }

  Experiment e_;
  int n_ = 0, type_ = 0, block_ = 0;
  std::vector<std::vector<I64>> a_, b_, penalty_, recency_, frequency_;
  double sumA_ = 0, sumB_ = 0;
  I64 costScale_ = 1, lambda_ = 0, penaltyUnit_ = 0, bestCost_ = 0;
  unsigned maxRepairs_ = 0, runNumber_ = 0;
  std::vector<int> p_;
  std::vector<I64> featureCost_;
  std::map<std::vector<int>, int> visited_;
  unsigned repairs_ = 0, localMinima_ = 0, repetitions_ = 0, repairsAtBest_ = 0, bestFound_ = 0;
  unsigned overriding_ = 0, aspiring_ = 0, undone_ = 0, consecutive_ = 0;
  bool byAspiration_ = false;
  Moments costs_, localMinCosts_;
  __int128 bestSum_ = 0;
  // Kept across runs, as the solver keeps them across runs and solvers.
  Pair lastAspiring_{0, 0};
  bool previousAspiring_ = false;
};

TEST(QAPDifferential, SolverRowsEqualTheReferenceOverOptionCombinations) {
  std::vector<Experiment> combos(9, test::QAPExperiment());
  for (Experiment& e : combos) e.runs = 2, e.maxRepairs = test::IsSanitizerBuild() ? 40 : 120;
  combos[1].aspiration = false, combos[1].randomMoves = 0.3, combos[1].sideways = 0;
  combos[2].decayEvery = 1, combos[2].decayFactor = 0.5, combos[2].lambda = 3, combos[2].sideways = 5;
  combos[3].seed = 4294967295u, combos[3].perN = false, combos[3].maxRepairs = 777,
  combos[3].randomMoves = 0.1;
  combos[4].lambda = 1e-6, combos[4].decayEvery = 3, combos[4].decayFactor = 0.8;
  combos[5].randomMoves = 1, combos[5].perN = false, combos[5].maxRepairs = 300;
  combos[6].lambda = 20, combos[6].aspiration = false, combos[6].decayEvery = 7, combos[6].decayFactor = 0.3,
  combos[6].sideways = 10, combos[6].seed = 99;
  combos[7].perN = false, combos[7].maxRepairs = 0;
  // Long enough for draws of exactly 1, which with probability 1 are no random move.
  combos[8].randomMoves = 1, combos[8].aspiration = false, combos[8].perN = false,
  combos[8].maxRepairs = 40000, combos[8].runs = 1;
  // Random flows and distances up to 3000 keep every sum within 32 bits while
  // making equal deltas rare; the block instance has a leading 4 x 4 block.
  const std::pair<int, const char*> instances[] = {{0, "symmetric-8"}, {1, "general-8"}, {2, "block-9"}};
  int compared = 0, ties = 0, drawsOfOne = 0;
  for (auto [type, name] : instances) {
    const std::string path = test::TestData("qap/random/" + std::string(name) + ".dat");
    const QAPProblem problem = test::LoadProblem(path);
    ASSERT_EQ(problem.Type(), type);
    ASSERT_FALSE(problem.NeedsWideArithmetic());
    for (std::size_t c = 0; c < combos.size(); ++c) {
      ReferenceGLS reference(problem, combos[c]);
      SetRandomState(1);  // a fresh thread's generator, for the unseeded combination
      std::vector<std::string> expected;
      for (unsigned run = 0; run < combos[c].runs; ++run) expected.push_back(reference.Solve());
      ties += reference.ties, drawsOfOne += reference.drawsOfOne;
      for (bool wide : {false, true}) {
        // A fresh thread: its own generator state and aspiration memory, like the reference's.
        std::vector<std::string> actual;
        std::thread([&] { actual = test::RunLines(path, combos[c], wide); }).join();
        for (std::size_t run = 0; run < expected.size(); ++run, ++compared)
          EXPECT_EQ(actual[run], expected[run]) << "type " << type << ", combination " << c << ", run " << run + 1
                                                << (wide ? ", 64-bit" : ", 32-bit");
      }
    }
  }
  EXPECT_EQ(ties, 0) << "an instance has tied moves; the comparison depends on the list order";
  EXPECT_GT(drawsOfOne, 0);
  EXPECT_EQ(compared, 3 * (8 * 2 + 1) * 2);
}

// Three items are the fewest with a random move (a swap other than the one
// undone): with random moves on, the solver makes them as the reference does.
TEST(QAPDifferential, RandomMovesAtThreeItems) {
  const std::string path = test::TestData("qap/random/general-3.dat");
  const QAPProblem problem = test::LoadProblem(path);
  ASSERT_EQ(problem.Size(), 3u);
  Experiment e = test::QAPExperiment();
  e.randomMoves = 0.5, e.aspiration = false, e.perN = false, e.maxRepairs = 200, e.runs = 2;
  ReferenceGLS reference(problem, e);
  std::vector<std::string> expected;
  for (unsigned run = 0; run < e.runs; ++run) expected.push_back(reference.Solve());
  EXPECT_EQ(reference.ties, 0);
  std::vector<std::string> actual;
  std::thread([&] { actual = test::RunLines(path, e); }).join();
  EXPECT_EQ(actual, expected);
}

}  // namespace
}  // namespace mirelock
