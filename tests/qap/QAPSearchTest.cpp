#include <gtest/gtest.h>

#include <map>

#include "platform/Random.h"
#include "qap/QAPSearch.h"
#include "qap/QAPTestHelpers.h"

namespace mirelock {
namespace {

using test::LoadProblem;
using test::TestData;

// Random swaps, penalisations and decays applied straight to the search state;
// every so often everything incremental is compared with a recount.
template <typename Cost>
void CheckIncrementalState(const QAPProblem& problem, unsigned moves, unsigned verifyEvery) {
  QAPParameters parameters;
  parameters.SetMaxRepairs(1u << 30);
  parameters.SetPenaltyDecay(3, 0.7);
  QAPStats stats;
  QAPSearch<Cost> search(problem, parameters, stats, nullptr);
  search.BeginRun(1);
  ASSERT_EQ(search.Verify(), "");
  SeedRandom(12345);
  for (unsigned move = 1; move <= moves; ++move) {
    const int draw = Random() % 10;
    if (draw == 0) {
      search.Penalise();  // sets lambda at its first call, decays every third
    } else if (draw == 1) {
      const int position = Random() % static_cast<int>(problem.Size());
      search.AddLabelPenalty(position, Random() % static_cast<int>(problem.Size()), 100 * (1 + Random() % 3));
    } else {
      const Swap swap = search.RandomSwap();
      search.MakeMove(swap.r, swap.s);
    }
    if (move % verifyEvery == 0) {
      ASSERT_EQ(search.Verify(), "") << "after step " << move;
    }
  }
  search.DecayPenalties();
  ASSERT_EQ(search.Verify(), "");
  EXPECT_NE(search.Lambda(), 2147483647);
}

TEST(QAPSearch, IncrementalStateMatchesARecountForEveryType) {
  const unsigned moves = test::IsSanitizerBuild() ? 4000 : 30000;
  CheckIncrementalState<std::int32_t>(LoadProblem(TestData("qap/nug12.dat")), moves, 97);
  CheckIncrementalState<std::int32_t>(LoadProblem(TestData("qap/bur26a.dat")), moves, 997);
  const QAPProblem block = LoadProblem(TestData("qap/random/block-9.dat"));
  ASSERT_EQ(block.SearchType(), QAPProblem::kBlock);
  CheckIncrementalState<std::int32_t>(block, moves, 31);
  // The same instances with 64-bit costs, and an instance that needs them.
  CheckIncrementalState<std::int64_t>(LoadProblem(TestData("qap/nug12.dat")), moves / 4, 97);
  CheckIncrementalState<std::int64_t>(LoadProblem(TestData("qap/tai12b.dat")), moves, 97);
  if (!test::IsSanitizerBuild())
    CheckIncrementalState<std::int64_t>(LoadProblem(TestData("qap/tai80b.dat")), 3000, 1000);
}

// Every permutation costs the same, so every swap is sideways before the first
// penalty: the local search makes exactly as many as the limit allows. Then
// the tied features are all penalised.
TEST(QAPSearch, SidewaysMovesStopAtTheirLimit) {
  QAPProblem flat;
  std::vector<std::int32_t> a(25, 0), b(25, 7);
  a[1] = 1;
  for (int i = 0; i < 5; ++i) b[i * 5 + i] = 0;
  flat.Assign(5, a, b);
  for (int limit : {0, 1, 3, 6}) {
    QAPParameters parameters;
    parameters.SetMaxRepairs(1000);
    parameters.SetSidewaysMoves(limit);
    QAPStats stats;
    QAPSearch<std::int32_t> search(flat, parameters, stats, nullptr);
    search.BeginRun(1);
    EXPECT_FALSE(search.LocalSearch());
    EXPECT_EQ(stats.Repairs(), static_cast<unsigned>(limit));
    // Positions 0 and 1 carry the only, equal, feature costs: both are penalised.
    ASSERT_TRUE(search.Penalise());
    EXPECT_EQ(search.AugCost() - search.CostScale() * search.CurrentCost(), 200 * search.Lambda());
  }
}

// An aspiring swap whose augmented delta is exactly 0 does not override the
// augmented cost: a boundary that only a made-up penalty shows.
TEST(QAPSearch, AnAspiringSwapOfAugmentedDeltaZeroIsNoOverride) {
  const QAPProblem problem = LoadProblem(TestData("qap/nug12.dat"));
  QAPParameters parameters;
  parameters.SetMaxRepairs(1000);
  parameters.SetLambda(1e-9);  // lambda 1: penalties move h one by one
  QAPStats stats;
  QAPSearch<std::int32_t> search(problem, parameters, stats, nullptr);
  search.BeginRun(1);
  search.Penalise();
  ASSERT_EQ(search.Lambda(), 1);
  Swap aspiring{0, 1};
  int count = 0;
  for (int r = 0; r < 12; ++r)
    for (int s = r + 1; s < 12; ++s) {
      if (search.Delta(r, s) < search.Delta(aspiring.r, aspiring.s)) aspiring = {r, s}, count = 0;
      count += search.Delta(r, s) == search.Delta(aspiring.r, aspiring.s) ? 1 : 0;
    }
  ASSERT_EQ(count, 1);
  ASSERT_LT(search.Delta(aspiring.r, aspiring.s), 0);
  // Penalise the assignment the swap would make until its h is 0.
  const int incoming = search.Perm()[aspiring.s];
  search.AddLabelPenalty(aspiring.r, incoming, static_cast<std::int32_t>(-search.AugmentedDelta(aspiring.r, aspiring.s)));
  ASSERT_EQ(search.AugmentedDelta(aspiring.r, aspiring.s), 0);
  Swap move;
  ASSERT_TRUE(search.FindAspirationMove(move));
  EXPECT_EQ(move, aspiring);
  EXPECT_EQ(stats.OverridingAspiringMoves(), 0u);
  search.AddLabelPenalty(aspiring.r, incoming, 1);
  ASSERT_TRUE(search.FindAspirationMove(move));
  EXPECT_EQ(stats.OverridingAspiringMoves(), 1u);
}

// The pick heuristics on a 4-item instance with many equal deltas: the
// smallest h wins and its ties are drawn uniformly; Hist takes the oldest
// assignment, and at the start of a run every assignment is equally old.
TEST(QAPSearch, PicksAndTheirTies) {
  QAPProblem problem;
  problem.Assign(4, {0, 1, 2, 3, 1, 0, 1, 2, 2, 1, 0, 1, 3, 2, 1, 0}, {0, 5, 5, 0, 5, 0, 0, 5, 5, 0, 0, 5, 0, 5, 5, 0});
  QAPParameters parameters;
  parameters.SetMaxRepairs(100);
  QAPStats stats;
  QAPSearch<std::int32_t> search(problem, parameters, stats, nullptr);
  search.BeginRun(1);
  for (int pick : {0, 1, 4, 9, 10}) EXPECT_EQ(search.Pick({}, pick), Swap{}) << pick;
  const auto counts = [&](const std::vector<std::uint32_t>& list, int pick, int draws) {
    std::map<std::uint32_t, int> chosen;
    for (int i = 0; i < draws; ++i) {
      const Swap swap = search.Pick(list, pick);
      ++chosen[static_cast<std::uint32_t>(swap.r * 4 + swap.s)];
    }
    return chosen;
  };
  // Two swaps of equal smallest h, each chosen about half of the time, and
  // swaps of larger h that never are.
  std::map<int, std::vector<std::uint32_t>> byH;
  std::vector<std::uint32_t> all;
  for (int r = 0; r < 4; ++r)
    for (int s = r + 1; s < 4; ++s) {
      byH[static_cast<int>(search.AugmentedDelta(r, s))].push_back(r * 4 + s);
      all.push_back(r * 4 + s);
    }
  const auto tied = std::find_if(byH.begin(), byH.end(), [](const auto& entry) { return entry.second.size() >= 2; });
  ASSERT_NE(tied, byH.end());
  std::vector<std::uint32_t> list = {tied->second[0], tied->second[1]};
  for (const auto& [h, swaps] : byH)
    if (h > tied->first) list.push_back(swaps[0]);
  SeedRandom(7);
  auto chosen = counts(list, QAPParameters::kPickBest, 4000);
  EXPECT_EQ(chosen.size(), 2u);
  EXPECT_NEAR(chosen[list[0]], 2000, 200);

  chosen = counts(all, QAPParameters::kPickHist, 6000);
  EXPECT_EQ(chosen.size(), 6u);
  for (const auto& [swap, count] : chosen) EXPECT_NEAR(count, 1000, 150);
  // The first move stamps its two old assignments with move number 1, so
  // undoing it is the one swap that Hist no longer ties with the rest.
  search.MakeMove(0, 1);
  chosen = counts(all, QAPParameters::kPickHist, 1000);
  EXPECT_EQ(chosen.size(), 5u);
  EXPECT_EQ(chosen.count(1), 0u);
}

}  // namespace
}  // namespace mirelock
