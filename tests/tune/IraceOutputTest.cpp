// irace's output lines as the progress reads them, the summary script's lines
// as the tuning reads them, and shell quoting of the paths in irace's scripts.
#include <gtest/gtest.h>

#include "TuneTestSupport.h"
#include "tune/ChildProcess.h"
#include "tune/IraceSession.h"

namespace mirelock::tune {
namespace {

TEST(IraceOutput, ProgressFollowsIterationsRaceRowsAndTheBestSoFar) {
  IraceProgress progress(300);
  EXPECT_EQ(progress.Text(), "tune: irace is starting");
  EXPECT_TRUE(progress.Read("# 2026-12-07 04:29:06 UTC: Iteration 2 of 5"));
  EXPECT_FALSE(progress.Read("# nbConfigurations: 12"));
  EXPECT_TRUE(progress.Read("# experimentsUsedSoFar: 59"));
  EXPECT_TRUE(progress.Read("|x|          7|         12|          2|     0.000000000|         12|00:00:00|   NA|  NA|    NA|"));
  EXPECT_EQ(progress.Text(), "tune: iteration 2 of 5, 71 of 300 runs");
  EXPECT_TRUE(progress.Read("|-|          2|         10|          2|     0.000000000|         40|00:00:00|+0.00|0.20|0.1800|"));
  EXPECT_TRUE(progress.Read("Best-so-far configuration:           2    mean value:      0.7421147590"));
  EXPECT_EQ(progress.Text(), "tune: iteration 2 of 5, 99 of 300 runs, best so far: setting 2 (mean cost 0.7421147590)");
  EXPECT_EQ(progress.RunsDone(), 99u);
  EXPECT_FALSE(progress.Read("Description of the best-so-far configuration:"));
  EXPECT_FALSE(progress.Read("  .ID. lambda aspiration decay decay_every .PARENT."));
  EXPECT_TRUE(progress.Read("2    2 0.8043         on   off          NA       NA"));
  EXPECT_EQ(progress.Text(), "tune: iteration 2 of 5, 99 of 300 runs, best so far: setting 2 (mean cost "
                             "0.7421147590) lambda=0.8043 aspiration=on decay=off");
}

TEST(IraceOutput, SummaryLinesBecomeElitesAndIterationsAndBrokenOnesAreRefused) {
  const TuningSummary summary = ParseTuningSummary(
      "total\t32\t300\n"
      "iteration\t1\t10\t59\t5\t2\n"
      "iteration\t2\t12\t60\t5\t2\n"
      "elite\t2\t1.75\t0.125\t8\t--lambda 0.8043 --aspiration on --decay off\n"
      "elite\t11\t2.25\t1.5\t8\t--lambda 0.0754 --aspiration off --decay on --decay-every 135 --decay-factor 0.9\n");
  EXPECT_EQ(summary.settingsTried, 32u);
  EXPECT_EQ(summary.runs, 300u);
  ASSERT_EQ(summary.iterations.size(), 2u);
  EXPECT_EQ(summary.iterations[1].raced, 12u);
  EXPECT_EQ(summary.iterations[1].runs, 60u);
  EXPECT_EQ(summary.iterations[1].kept, 5u);
  ASSERT_EQ(summary.elites.size(), 2u);
  EXPECT_EQ(summary.elites[1].id, 11);
  EXPECT_EQ(summary.elites[1].meanRank, 2.25);
  EXPECT_EQ(summary.elites[1].meanCost, 1.5);
  ASSERT_EQ(summary.elites[1].settings.size(), 5u);
  EXPECT_EQ(summary.elites[1].settings[3], (std::pair<std::string, std::string>{"--decay-every", "135"}));

  EXPECT_THROW(ParseTuningSummary("total\t3\t30\n"), std::runtime_error);  // no elite
  EXPECT_THROW(ParseTuningSummary("total\t3\t30\nelite\t2\tx\t1\t8\t--lambda 1\n"), std::runtime_error);
  EXPECT_THROW(ParseTuningSummary("total\t3\t30\nelite\t2\t1\t1\t8\t--lambda\n"), std::runtime_error);
}

TEST(IraceOutput, QuotedPathsReachTheProgramUnchanged) {
  const std::string path = "/tmp/it's a \"dir\"/$HOME `x`";
  const test::ShellOutput echoed = test::RunShell("printf '%s' " + ShellQuoted(path));
  EXPECT_EQ(echoed.out, path);
}

}  // namespace
}  // namespace mirelock::tune
