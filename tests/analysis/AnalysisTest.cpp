// How a batch's runs become the report's figures: which problems are ranked
// on what, which are named, and when the tests are left out. Expected test
// statistics were computed once with R 4.2 (friedman.test, wilcox.test with
// paired = TRUE, exact = NULL, correct = TRUE, p.adjust) from the same
// tables, and are written here as literals.
#include <cmath>

#include <gtest/gtest.h>

#include "analysis/Analysis.h"

namespace mirelock::analysis {
namespace {

struct GivenRun {
  std::size_t problem, experiment;
  std::optional<double> cost, gap;
  std::optional<bool> success;
  double repairs;
  std::optional<double> budget = std::nullopt;
};

Report MakeReport(ProblemType type, std::vector<std::string> problems, std::size_t experiments,
                  const std::vector<GivenRun>& runs, std::vector<std::string> withoutBest = {},
                  std::vector<std::optional<double>> bestKnown = {}) {
  Report report;
  report.problemsWithoutBest = std::move(withoutBest);
  report.bestKnown = std::move(bestKnown);
  report.problemType = type;
  report.problems = std::move(problems);
  for (std::size_t e = 0; e < experiments; ++e) report.experiments.emplace_back().name = "Exp " + std::to_string(e);
  for (const GivenRun& g : runs)
    report.runs.push_back({g.problem, g.experiment, 0, g.cost, g.gap, g.success, g.repairs, 0.5, g.budget});
  Analyse(report);
  return report;
}

// QAP runs of experiment e on problem p from their costs and the problem's best known cost, with the
// gap computed as the summariser computes it.
void AddQapRuns(std::vector<GivenRun>& runs, std::size_t p, std::size_t e, double best, const std::vector<double>& costs) {
  for (double cost : costs) runs.push_back({p, e, cost, (cost - best) / best * 100, cost <= best, 1});
}

TEST(Analysis, CostProblemsRankOnGapsOrOnRawCostsWithoutABestKnownCost) {
  // a.dat has a best known cost; b.dat has none (raw costs only); c.dat lacks a run value.
  const Report report = MakeReport(kProblemQAP, {"a.dat", "b.dat", "c.dat"}, 2,
                             {{0, 0, 110, 10, false, 5}, {0, 0, 100, 0, true, 7},  // Exp 0: gaps 10, 0
                              {0, 1, 105, 5, false, 3}, {0, 1, 105, 5, false, 4},  // Exp 1: gaps 5, 5
                              {1, 0, 300, {}, {}, 1},   {1, 0, 300, {}, {}, 1},
                              {1, 1, 200, {}, {}, 1},   {1, 1, 240, {}, {}, 1},
                              {2, 0, 50, 0, true, 2},   {2, 0, 50, 0, true, 2},
                              {2, 1, {}, {}, {}, 1},    {2, 1, 60, 20, false, 2}},
                             {"b.dat"}, {100, std::nullopt, 50});

  ASSERT_EQ(report.problemTable.size(), 3u);
  const ProblemScores& a = report.problemTable[0];
  EXPECT_EQ(a.measure, "mean % gap");
  EXPECT_EQ(a.shown[0], 5.0);
  EXPECT_EQ(a.shown[1], 5.0);
  EXPECT_EQ(a.best, (std::vector<bool>{true, true}));  // tied: both marked
  const ProblemScores& b = report.problemTable[1];
  EXPECT_EQ(b.measure, "mean cost (no best known)");
  EXPECT_EQ(b.shown[0], 300.0);
  EXPECT_EQ(b.shown[1], 220.0);
  // The pairwise tests take the difference as a percentage of the best cost found (200): 80 / 200 = 40%.
  EXPECT_DOUBLE_EQ(b.scale * Difference(b.key[0], b.key[1]), 40);
  EXPECT_EQ(b.best, (std::vector<bool>{false, true}));
  EXPECT_FALSE(report.problemTable[2].ranked);
  EXPECT_EQ(report.problemsNotRanked, std::vector<std::string>{"c.dat"});
  EXPECT_EQ(report.rankedProblemCount, 2u);
  // Mean ranks over a and b: Exp 0 (1.5, 2), Exp 1 (1.5, 1).
  EXPECT_DOUBLE_EQ(*report.experiments[0].meanRank, 1.75);
  EXPECT_DOUBLE_EQ(*report.experiments[1].meanRank, 1.25);
  ASSERT_TRUE(report.friedman);
  ASSERT_EQ(report.pairwise.size(), 1u);
  EXPECT_EQ(report.pairwise[0].test.zeros, 1u);  // problem a is a tie

  // Experiment figures cover every run with a gap, in every problem.
  EXPECT_DOUBLE_EQ(*report.experiments[0].meanGap, 2.5);  // 10, 0, 0, 0
  EXPECT_DOUBLE_EQ(*report.experiments[0].medianGap, 0);
  EXPECT_DOUBLE_EQ(*report.experiments[0].successRate, 0.75);
  EXPECT_DOUBLE_EQ(*report.experiments[1].successRate, 0);
  EXPECT_EQ(report.experiments[0].runLength.steps.size(), 2u);  // successes at 2 (twice) and 7
  EXPECT_DOUBLE_EQ(report.experiments[0].runLength.At(2), 0.5);
}

TEST(Analysis, SatProblemsRankOnParTwoWithEachRunsOwnCutoff) {
  // PAR-2: a failed run counts twice its own cutoff (its experiment's repair budget for the problem), never
  // anything taken from the other runs. a.cnf: Exp 0 (budget 100) solves at 10 and fails with 40 repairs to
  // its best: (10 + 200) / 2 = 105; Exp 1 (budget 30) solves at 20 and 28: 24. b.cnf: Exp 0 solves none of
  // its runs (partial bests 1312 and 900): 2 x 100 = 200 whatever the partial bests; Exp 1 solves both at 6.
  const std::vector<GivenRun> runs = {
      {0, 0, {}, {}, true, 10, 100},   {0, 0, {}, {}, false, 40, 100},
      {0, 1, {}, {}, true, 20, 30},    {0, 1, {}, {}, true, 28, 30},
      {1, 0, {}, {}, false, 1312, 100}, {1, 0, {}, {}, false, 900, 100},
      {1, 1, {}, {}, true, 6, 30},     {1, 1, {}, {}, true, 6, 30}};
  const Report report = MakeReport(kProblemSAT, {"a.cnf", "b.cnf"}, 2, runs);
  EXPECT_DOUBLE_EQ(*report.problemTable[0].shown[0], 105);
  EXPECT_DOUBLE_EQ(*report.problemTable[0].shown[1], 24);
  EXPECT_DOUBLE_EQ(*report.problemTable[1].shown[0], 200);
  EXPECT_DOUBLE_EQ(*report.problemTable[1].shown[1], 6);
  EXPECT_EQ(report.problemTable[1].successes, (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(report.problemTable[1].runsWithSuccess, (std::vector<std::size_t>{2, 2}));
  EXPECT_EQ(report.problemTable[1].best, (std::vector<bool>{false, true}));
  EXPECT_NE(report.problemTable[0].measure.find("PAR-2"), std::string::npos);

  // A third experiment with far longer runs leaves the others' scores as they were.
  std::vector<GivenRun> more = runs;
  for (std::size_t p = 0; p < 2; ++p)
    for (int r = 0; r < 2; ++r) more.push_back({p, 2, {}, {}, false, 90000, 100000});
  const Report three = MakeReport(kProblemSAT, {"a.cnf", "b.cnf"}, 3, more);
  EXPECT_DOUBLE_EQ(*three.problemTable[0].shown[0], 105);
  EXPECT_DOUBLE_EQ(*three.problemTable[1].shown[0], 200);
  EXPECT_DOUBLE_EQ(*three.problemTable[1].shown[2], 200000);

  // A failed run without a known cutoff cannot be scored: the problem is not ranked.
  const Report unknown = MakeReport(kProblemSAT, {"a.cnf"}, 1, {{0, 0, {}, {}, false, 5}});
  EXPECT_FALSE(unknown.problemTable[0].ranked);
}

TEST(Analysis, SatSummaryFiguresAndRunLengths) {
  const Report report = MakeReport(kProblemSAT, {"a.cnf", "b.cnf"}, 2,
                                   {{0, 0, {}, {}, true, 10, 50}, {0, 0, {}, {}, false, 40, 50},
                                    {0, 1, {}, {}, true, 20, 50}, {0, 1, {}, {}, true, 40, 50},
                                    {1, 0, {}, {}, true, 5, 50},  {1, 0, {}, {}, true, 5, 50},
                                    {1, 1, {}, {}, true, 6, 50},  {1, 1, {}, {}, true, 6, 50}});
  EXPECT_EQ(report.problemTable[1].best, (std::vector<bool>{true, false}));
  EXPECT_FALSE(report.experiments[0].meanGap);
  EXPECT_DOUBLE_EQ(*report.experiments[0].successRate, 0.75);
  EXPECT_DOUBLE_EQ(report.experiments[1].runLength.At(20), 0.75);  // 6, 6, 20 of four runs
  EXPECT_TRUE(report.friedman);
}

TEST(Analysis, TestsNeedTwoExperimentsAndTwoRankedProblems) {
  const Report one = MakeReport(kProblemQAP, {"a.dat", "b.dat"}, 1, {{0, 0, 1, 0, true, 1}, {1, 0, 1, 0, true, 1}});
  EXPECT_FALSE(one.friedman);
  EXPECT_NE(one.testsOmitted.find("one experiment"), std::string::npos);
  EXPECT_DOUBLE_EQ(*one.experiments[0].meanRank, 1);
  const Report single = MakeReport(kProblemQAP, {"a.dat"}, 2, {{0, 0, 1, 0, true, 1}, {0, 1, 2, 1, false, 1}});
  EXPECT_FALSE(single.friedman);
  EXPECT_NE(single.testsOmitted.find("need at least two"), std::string::npos);
}

// Five QAP problems (best known costs as sko42 and others) with five run costs each, whose gaps summed in
// run order and in reverse order differ in the last bit on two of them.
const double kFiveBest[] = {15812, 6124, 7926, 3796, 34458};
const std::vector<std::vector<double>> kFiveCosts = {{15842, 15860, 15812, 15870, 15831},
                                                     {6130, 6124, 6188, 6140, 6151},
                                                     {7926, 7990, 7941, 7933, 7980},
                                                     {3800, 3822, 3796, 3811, 3807},
                                                     {34500, 34461, 34480, 34522, 34458}};

TEST(Analysis, SameRunsInAnotherOrderTieExactly) {
  // Exp 1's runs are Exp 0's reversed on each of five problems. Summed as floating-point gaps in run order,
  // two problems' means differ in the last bit (checked below), which used to give mean ranks 1.4 and 1.6
  // and a chi-square of 2. Exactly they tie: mid-ranks 1.5, chi-square 0, and the pair has no differences.
  const auto& best = kFiveBest;
  const auto& costs = kFiveCosts;
  std::vector<GivenRun> runs;
  int accidents = 0;
  for (std::size_t p = 0; p < 5; ++p) {
    AddQapRuns(runs, p, 0, best[p], costs[p]);
    AddQapRuns(runs, p, 1, best[p], {costs[p].rbegin(), costs[p].rend()});
    double forward = 0, backward = 0;
    for (std::size_t r = 0; r < 5; ++r) {
      forward += *runs[runs.size() - 10 + r].gap;
      backward += *runs[runs.size() - 5 + r].gap;
    }
    if (forward != backward) ++accidents;
  }
  ASSERT_GT(accidents, 0);  // the table does provoke the floating-point accident
  const Report report = MakeReport(kProblemQAP, {"p1.dat", "p2.dat", "p3.dat", "p4.dat", "p5.dat"}, 2, runs, {},
                                   {best[0], best[1], best[2], best[3], best[4]});
  EXPECT_EQ(*report.experiments[0].meanRank, 1.5);
  EXPECT_EQ(*report.experiments[1].meanRank, 1.5);
  ASSERT_TRUE(report.friedman);
  EXPECT_EQ(report.friedman->chiSquare, 0);
  for (const ProblemScores& row : report.problemTable) EXPECT_EQ(row.best, (std::vector<bool>{true, true})) << row.problem;
  ASSERT_EQ(report.pairwise.size(), 1u);
  EXPECT_EQ(report.pairwise[0].test.zeros, 5u);
  EXPECT_FALSE(report.pairwise[0].test.pValue);
  EXPECT_FALSE(report.pairwise[0].holmPValue);
}

TEST(Analysis, IdenticalExperimentsGetMidRanksAndTheTestsRGives) {
  // Three experiments over the five problems above; Exp 2 has Exp 0's costs in reverse order. R:
  // M <- per-problem mean costs; colMeans(t(apply(M, 1, rank))) = 1.9 2.2 1.9;
  // friedman.test(M): chi-squared 0.4, p 0.818730753077982; wilcox.test of the differences of mean gaps:
  // Exp 0 - Exp 1 V = 4, p = 0.4375 (exact); Exp 0 - Exp 2 all zero, p NaN; Exp 1 - Exp 2 V = 11, p = 0.4375;
  // p.adjust(holm): 0.875, NaN, 0.875.
  const auto& best = kFiveBest;
  const auto& first = kFiveCosts;
  const std::vector<std::vector<double>> second = {{15900, 15850, 15870, 15866, 15842},
                                                   {6124, 6130, 6140, 6133, 6126},
                                                   {8000, 7990, 7970, 7962, 7999},
                                                   {3830, 3825, 3801, 3820, 3811},
                                                   {34470, 34490, 34460, 34480, 34458}};
  std::vector<GivenRun> runs;
  for (std::size_t p = 0; p < 5; ++p) {
    AddQapRuns(runs, p, 0, best[p], first[p]);
    AddQapRuns(runs, p, 1, best[p], second[p]);
    AddQapRuns(runs, p, 2, best[p], {first[p].rbegin(), first[p].rend()});
  }
  const Report report = MakeReport(kProblemQAP, {"p1.dat", "p2.dat", "p3.dat", "p4.dat", "p5.dat"}, 3, runs, {},
                                   {best[0], best[1], best[2], best[3], best[4]});
  EXPECT_DOUBLE_EQ(*report.experiments[0].meanRank, 1.9);
  EXPECT_DOUBLE_EQ(*report.experiments[1].meanRank, 2.2);
  EXPECT_DOUBLE_EQ(*report.experiments[2].meanRank, 1.9);
  ASSERT_TRUE(report.friedman);
  EXPECT_NEAR(report.friedman->chiSquare, 0.4, 1e-12);
  EXPECT_NEAR(report.friedman->pValue, 0.818730753077982, 1e-12);
  ASSERT_EQ(report.pairwise.size(), 3u);
  EXPECT_EQ(report.pairwise[0].test.positiveRankSum, 4);
  EXPECT_NEAR(*report.pairwise[0].test.pValue, 0.4375, 1e-12);
  EXPECT_EQ(report.pairwise[1].test.zeros, 5u);
  EXPECT_FALSE(report.pairwise[1].holmPValue);
  EXPECT_EQ(report.pairwise[2].test.positiveRankSum, 11);
  EXPECT_NEAR(*report.pairwise[0].holmPValue, 0.875, 1e-12);
  EXPECT_NEAR(*report.pairwise[2].holmPValue, 0.875, 1e-12);
}

TEST(Analysis, ZeroDifferencesSwitchToTheNormalApproximationAsR) {
  // Eight TSP problems of best known cost 100, two experiments; Exp 0 is worse by 1, -2, 3, ..., 7 gap points
  // on seven of them and ties on the first. The exact p of the seven would be 0.046875, "Exp 1 better";
  // R (one zero dropped, normal approximation): V = 26, p = 0.0519129649350183, not significant.
  std::vector<GivenRun> runs;
  const double worseBy[] = {0, 1, -2, 3, 4, 5, 6, 7};
  const std::vector<std::string> problems = {"t0.tsp", "t1.tsp", "t2.tsp", "t3.tsp",
                                             "t4.tsp", "t5.tsp", "t6.tsp", "t7.tsp"};
  for (std::size_t p = 0; p < 8; ++p) {
    runs.push_back({p, 0, 110 + worseBy[p], 10 + worseBy[p], false, 1});
    runs.push_back({p, 1, 110, 10, false, 1});
  }
  const Report report = MakeReport(kProblemTSP, problems, 2, runs, {}, std::vector<std::optional<double>>(8, 100.0));
  ASSERT_EQ(report.pairwise.size(), 1u);
  const WilcoxonResult& w = report.pairwise[0].test;
  EXPECT_EQ(w.zeros, 1u);
  EXPECT_EQ(w.method, WilcoxonResult::Method::kNormalApproximation);
  EXPECT_DOUBLE_EQ(w.positiveRankSum, 26);
  EXPECT_NEAR(*w.pValue, 0.0519129649350183, 1e-12);
  EXPECT_GT(*report.pairwise[0].holmPValue, kAlpha);
}

TEST(Analysis, BestKnownCostZeroHasSuccessesButNoGaps) {
  // esc16f-like: best known 0, every run of Exp 0 reaches it, Exp 1 half of its runs.
  Report report;
  report.problemType = kProblemQAP;
  report.problems = {"esc16f.dat", "nug12.dat"};
  report.problemsWithZeroBest = {"esc16f.dat"};
  report.bestKnown = {0.0, 578.0};
  for (std::size_t e = 0; e < 2; ++e) report.experiments.emplace_back().name = "Exp " + std::to_string(e);
  report.runs = {{0, 0, 0, 0.0, {}, true, 3, 0.1, {}},   {0, 0, 1, 0.0, {}, true, 4, 0.1, {}},
                 {0, 1, 0, 0.0, {}, true, 3, 0.1, {}},   {0, 1, 1, 8.0, {}, false, 9, 0.1, {}},
                 {1, 0, 0, 578.0, 0.0, true, 5, 0.1, {}}, {1, 0, 1, 578.0, 0.0, true, 5, 0.1, {}},
                 {1, 1, 0, 590.0, 1200.0 / 578, false, 5, 0.1, {}}, {1, 1, 1, 578.0, 0.0, true, 5, 0.1, {}}};
  Analyse(report);
  const ProblemScores& esc = report.problemTable[0];
  EXPECT_TRUE(esc.ranked);
  EXPECT_TRUE(esc.bestKnownZero);
  EXPECT_EQ(esc.measure, "mean cost (best known 0)");
  EXPECT_EQ(esc.shown[0], 0);
  EXPECT_EQ(esc.shown[1], 4);
  EXPECT_EQ(esc.successes, (std::vector<std::size_t>{2, 1}));
  EXPECT_EQ(esc.best, (std::vector<bool>{true, false}));
  EXPECT_DOUBLE_EQ(*report.experiments[0].successRate, 1);
  EXPECT_DOUBLE_EQ(*report.experiments[1].successRate, 0.5);
  // The gap box plot has only nug12's gaps.
  EXPECT_EQ(report.experiments[1].gaps.size(), 2u);
}

}  // namespace
}  // namespace mirelock::analysis
