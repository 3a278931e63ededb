// How a batch's runs become the report's figures: which problems are ranked
// on what, which are named, and when the tests are left out.
#include <gtest/gtest.h>

#include "analysis/Analysis.h"

namespace mirelock::analysis {
namespace {

struct GivenRun {
  std::size_t problem, experiment;
  std::optional<double> cost, gap;
  std::optional<bool> success;
  double repairs;
};

Report MakeReport(ProblemType type, std::vector<std::string> problems, std::size_t experiments,
                  const std::vector<GivenRun>& runs, std::vector<std::string> withoutBest = {}) {
  Report report;
  report.problemsWithoutBest = std::move(withoutBest);
  report.problemType = type;
  report.problems = std::move(problems);
  for (std::size_t e = 0; e < experiments; ++e) report.experiments.emplace_back().name = "Exp " + std::to_string(e);
  for (const GivenRun& g : runs)
    report.runs.push_back({g.problem, g.experiment, 0, g.cost, g.gap, g.success, g.repairs, 0.5});
  Analyse(report);
  return report;
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
                             {"b.dat"});

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
  // As a percentage above the best cost found (200): 50% and 10%.
  EXPECT_DOUBLE_EQ(*b.score[0], 50);
  EXPECT_DOUBLE_EQ(*b.score[1], 10);
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

TEST(Analysis, SatProblemsRankOnPenalisedEffort) {
  // A failed run counts twice the largest repairs-to-best of its problem (here 40): Exp 0 (10 + 80) / 2 = 45,
  // Exp 1 (20 + 40) / 2 = 30.
  const Report report = MakeReport(kProblemSAT, {"a.cnf", "b.cnf"}, 2,
                                   {{0, 0, {}, {}, true, 10}, {0, 0, {}, {}, false, 40},
                                    {0, 1, {}, {}, true, 20}, {0, 1, {}, {}, true, 40},
                                    {1, 0, {}, {}, true, 5},  {1, 0, {}, {}, true, 5},
                                    {1, 1, {}, {}, true, 6},  {1, 1, {}, {}, true, 6}});
  EXPECT_DOUBLE_EQ(*report.problemTable[0].score[0], 45);
  EXPECT_DOUBLE_EQ(*report.problemTable[0].score[1], 30);
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

}  // namespace
}  // namespace mirelock::analysis
