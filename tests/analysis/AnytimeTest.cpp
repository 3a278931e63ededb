// The anytime figures on hand-built traces, each value worked out by hand, then
// on a less regular set against values computed once with R:
// first hits on a target ladder, ERT, its bootstrap interval where the
// resampling leaves no doubt, performance profiles and the ECDF area.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/AnytimeEcdf.h"
#include "analysis/ExpectedRunningTime.h"
#include "analysis/FixedTargets.h"
#include "analysis/PerformanceProfile.h"

namespace mirelock::analysis {
namespace {

RunEffort Hit(double repairs) { return {true, repairs, repairs / 1000}; }
RunEffort Miss(double repairs) { return {false, repairs, repairs / 1000}; }

TEST(Anytime, FirstHitsOnTheTargetLadder) {
  Report report;
  report.problemType = kProblemQAP;
  report.problems = {"a", "b"};
  report.bestKnown = {100.0, std::nullopt};  // b has no best known cost: no targets
  report.experiments.resize(1);
  RunRecord run;
  report.runs = {run, run};
  report.runs[1].problem = 1;
  TracedRun trace;
  trace.repairs = {0, 5, 9, 20};
  trace.cpuSeconds = {0, 0.005, 0.009, 0.02};
  trace.cost = {120, 104, 101, 100};  // gaps 20, 4, 1, 0 %
  trace.totalRepairs = 50;
  trace.totalCpuSeconds = 0.05;
  report.traces = {trace, trace};
  const FixedTargetEfforts efforts = CollectFixedTargetEfforts(report, {0, 0.5, 1, 2, 5, 30});
  ASSERT_EQ(efforts.efforts.size(), 2u);
  const auto& runs = efforts.efforts[0][0];
  const double expected[] = {20, 20, 9, 9, 5, 0};
  for (std::size_t t = 0; t < 6; ++t) {
    ASSERT_EQ(runs[t].size(), 1u);
    EXPECT_TRUE(runs[t][0].hit);
    EXPECT_EQ(runs[t][0].repairs, expected[t]) << t;
  }
  EXPECT_DOUBLE_EQ(runs[2][0].cpuSeconds, 0.009);
  EXPECT_TRUE(efforts.efforts[1][0][0].empty());
  // SAT: one target, solved; a run never solved counts its whole run.
  report.problemType = kProblemSAT;
  report.traces[0]->cost = {7, 3, 1, 1};
  const FixedTargetEfforts sat = CollectFixedTargetEfforts(report, {0, 1});
  ASSERT_EQ(sat.targets, std::vector<double>{0});
  ASSERT_EQ(sat.efforts[0][0][0].size(), 1u);
  EXPECT_FALSE(sat.efforts[0][0][0][0].hit);
  EXPECT_EQ(sat.efforts[0][0][0][0].repairs, 50);
}

TEST(Anytime, TargetListsAreCheckedPercentagesInIncreasingOrder) {
  std::string error;
  EXPECT_EQ(ParseTargets("0,0.5,1", error), (std::vector<double>{0, 0.5, 1}));
  for (const char* bad : {"", "x", "1,0.5", "1,,2", "-1", "1,1", "nan", "1 ,2"}) {
    error.clear();
    EXPECT_FALSE(ParseTargets(bad, error)) << bad;
    EXPECT_NE(error.find("--targets"), std::string::npos) << bad;
  }
}

TEST(Anytime, ErtAndItsBootstrapInterval) {
  // (10 + 30 + 100 + 100) / 2 successes.
  EXPECT_DOUBLE_EQ(ExpectedRunningTime({Hit(10), Hit(30), Miss(100), Miss(100)}, EffortUnit::kRepairs), 120);
  EXPECT_DOUBLE_EQ(ExpectedRunningTime({Hit(10), Hit(30), Miss(100), Miss(100)}, EffortUnit::kCpuSeconds), 0.12);
  EXPECT_TRUE(std::isinf(ExpectedRunningTime({Miss(5)}, EffortUnit::kRepairs)));
  EXPECT_TRUE(std::isinf(ExpectedRunningTime({}, EffortUnit::kRepairs)));

  // Identical successes: every resample gives the same ERT.
  const ErtEstimate same = EstimateErt({Hit(5), Hit(5), Hit(5)}, EffortUnit::kRepairs);
  EXPECT_EQ(same.ert, 5);
  EXPECT_EQ(same.low, 5);
  EXPECT_EQ(same.high, 5);
  EXPECT_EQ(same.successes, 3u);
  // One success at 10, one failure of 100: a resample is {hit, hit} (ERT 10) a quarter of the time,
  // mixed (110) half, {miss, miss} (infinite) a quarter; of 1000 the 25 lowest are 10 and the 25 highest
  // infinite beyond any doubt, so the interval is [10, infinity] around an ERT of 110.
  const ErtEstimate mixed = EstimateErt({Hit(10), Miss(100)}, EffortUnit::kRepairs);
  EXPECT_EQ(mixed.ert, 110);
  EXPECT_EQ(mixed.low, 10);
  EXPECT_TRUE(std::isinf(mixed.high));
  EXPECT_EQ(mixed.runs, 2u);
  // The fixed seed makes it reproducible; another seed gives the same certain bounds.
  const ErtEstimate again = EstimateErt({Hit(10), Miss(100)}, EffortUnit::kRepairs, kErtResamples, 7);
  EXPECT_EQ(again.low, 10);
  // No success at all: infinite throughout.
  const ErtEstimate none = EstimateErt({Miss(4), Miss(4)}, EffortUnit::kRepairs);
  EXPECT_TRUE(std::isinf(none.ert) && std::isinf(none.low) && std::isinf(none.high));
}

TEST(Anytime, PerformanceProfilesOverProblems) {
  const double inf = kNeverHit;
  // Ratios: experiment 0 {1, 2, inf}, experiment 1 {2, 1, 1}.
  const auto profiles = MakePerformanceProfiles({{10, 20}, {30, 15}, {inf, 40}});
  ASSERT_EQ(profiles.size(), 2u);
  EXPECT_DOUBLE_EQ(profiles[0].At(1), 1.0 / 3);
  EXPECT_DOUBLE_EQ(profiles[1].At(1), 2.0 / 3);
  EXPECT_DOUBLE_EQ(profiles[0].At(1.5), 1.0 / 3);
  EXPECT_DOUBLE_EQ(profiles[0].At(2), 2.0 / 3);
  EXPECT_DOUBLE_EQ(profiles[1].At(2), 1);
  EXPECT_DOUBLE_EQ(profiles[0].At(1e9), 2.0 / 3);  // never solved problem 2
  // A problem no experiment solved keeps every profile below 1.
  const auto unsolved = MakePerformanceProfiles({{1, 1}, {inf, inf}});
  EXPECT_DOUBLE_EQ(unsolved[0].At(100), 0.5);
}

TEST(Anytime, AggregatedEcdfAndItsArea) {
  // Two problems, one experiment, two targets, two runs per pair: 4 pairs, each hit weighs 1/8.
  FixedTargetEfforts efforts;
  efforts.targets = {0, 1};
  efforts.efforts = {{{{Hit(10), Miss(500)}, {Hit(1), Hit(100)}}}, {{{Miss(500), Miss(500)}, {Hit(1000), Miss(500)}}}};
  const AggregatedEcdf ecdf = MakeAggregatedEcdf(efforts, 0);
  ASSERT_EQ(ecdf.hits.size(), 4u);
  EXPECT_DOUBLE_EQ(ecdf.At(1), 1.0 / 8);
  EXPECT_DOUBLE_EQ(ecdf.At(100), 3.0 / 8);
  EXPECT_DOUBLE_EQ(ecdf.At(1e6), 4.0 / 8);
  // Over log10 [1, 10^4]: (1/8) ((1 - 1/4) + 1 + (1 - 2/4) + (1 - 3/4)) = 2.5 / 8.
  EXPECT_DOUBLE_EQ(EcdfArea(ecdf, 1e4), 0.3125);
  // A budget below a hit leaves it out: (1/8) ((1 - 1/2) + 1 + 0) = 1.5 / 8.
  EXPECT_DOUBLE_EQ(EcdfArea(ecdf, 100), 0.1875);
}

// The same figures on a less regular set, against values computed once with R 4.2 (Rscript):
//   ert <- function(h, x) if (sum(h) == 0) Inf else sum(x) / sum(h)
//   the exact bootstrap: all 6^6 resamples, expand.grid(rep(list(1:6), 6)), then
//   quantile(v, c(0.01, 0.04, 0.96, 0.99), type = 7);
//   profiles: colMeans(E / apply(E, 1, min) <= tau); the ECDF area as the mean of the weighted step
//   function over 2e6 midpoints of [0, log10(budget)].
TEST(Anytime, FiguresAgreeWithR) {
  const std::vector<RunEffort> runs = {{true, 37, 0.004},  {true, 120, 0.011}, {false, 500, 0.052},
                                       {true, 8, 0.001},   {false, 500, 0.049}, {true, 260, 0.027}};
  EXPECT_DOUBLE_EQ(ExpectedRunningTime(runs, EffortUnit::kRepairs), 356.25);
  EXPECT_NEAR(ExpectedRunningTime(runs, EffortUnit::kCpuSeconds), 0.035999999999999997, 1e-15);
  // 1000 resamples estimate the 2.5 and 97.5 % points of the exact bootstrap distribution (R: 78.5 and
  // 1190); their Monte Carlo error keeps them well inside its 1 and 4 %, 96 and 99 % points.
  const ErtEstimate estimate = EstimateErt(runs, EffortUnit::kRepairs);
  EXPECT_DOUBLE_EQ(estimate.ert, 356.25);
  EXPECT_GE(estimate.low, 59.666666666666664);
  EXPECT_LE(estimate.low, 97.0);
  EXPECT_GE(estimate.high, 1148.5);
  EXPECT_LE(estimate.high, 2537.0);
  EXPECT_EQ(estimate.successes, 4u);

  const double inf = kNeverHit;
  const auto profiles = MakePerformanceProfiles({{100, 150, inf}, {800, 400, 1000}, {inf, inf, inf}, {50, 500, 75}});
  const double taus[] = {1, 1.5, 2, 4, 10, 20};
  const double expected[3][6] = {{0.5, 0.5, 0.75, 0.75, 0.75, 0.75},
                                 {0.25, 0.5, 0.5, 0.5, 0.75, 0.75},
                                 {0, 0.25, 0.25, 0.5, 0.5, 0.5}};
  for (std::size_t e = 0; e < 3; ++e)
    for (std::size_t t = 0; t < 6; ++t) EXPECT_DOUBLE_EQ(profiles[e].At(taus[t]), expected[e][t]) << e << ' ' << taus[t];

  // Pairs of unequal run counts: (problem 0, target 0) and (0, 1) have three runs, (1, 1) two and (1, 0)
  // none reaching; each pair weighs a quarter, spread over its runs.
  FixedTargetEfforts efforts;
  efforts.targets = {0, 1};
  efforts.efforts = {{{{Hit(40), Miss(3000), Hit(700)}, {Hit(3), Hit(40), Hit(250)}}},
                     {{{Miss(3000), Miss(3000)}, {Hit(1200), Miss(3000)}}}};
  const AggregatedEcdf ecdf = MakeAggregatedEcdf(efforts, 0);
  EXPECT_NEAR(EcdfArea(ecdf, 3000), 0.21709137499999942, 1e-6);
  EXPECT_NEAR(EcdfArea(ecdf, 500), 0.14563266666666649, 1e-6);
}

}  // namespace
}  // namespace mirelock::analysis
