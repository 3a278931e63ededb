#include "solver/QAPStats.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/NumberFormat.h"

namespace mirelock {
namespace {

// The row with its CPU time field emptied.
std::string Row(QAPStats& stats) {
  std::ostringstream out;
  UseDefaultNumberFormat(out);
  stats.WriteRow(out);
  std::string row = out.str();
  std::size_t start = 0;
  for (int tab = 0; tab < 3; ++tab) start = row.find('\t', start) + 1;
  return row.erase(start, row.find('\t', start) - start);
}

TEST(QAPStats, HeaderAndRows) {
  QAPStats stats;
  std::ostringstream header;
  stats.WriteHeader(header);
  EXPECT_EQ(
      header.str(),
      "Best_cost\tAve_cost\tStddev_cost\tCPU_secs\t#Repairs\t#Local_minima\t#Repetitions\tAve_Entropy\t"
      "StdDev_Entropy\tMin_Entropy\tMax_Entropy\tAve_LocalMinima_Cost\tStdDev_LocalMinima_Cost\t"
      "#BestFoundSols\tAve_BestFoundSols_Cost\t#Overriding_Aspiring_Moves\t#Aspiring_Moves\t"
      "#Aspiring_Moves_undone_next_move\t#Consecutive_Aspiring_Moves\tBestFound_due_to_Aspiring_Move\t");

  // A run that ends before its first move: NA and the reset entropy values.
  stats.ResetRun();
  stats.StartClock();
  stats.RecordSolution({1, 0, 2});
  stats.RecordNewBest(30, false);
  stats.StopClock();
  EXPECT_EQ(Row(stats), "30\tNA\tNA\t\t0\t0\t0\t0\t0\t1.79769e+308\t2.22507e-308\tNA\tNA\t1\t30\t0\t0\t0\t0\t0\t");

  // Costs 10, 20, 30; a second run reports only itself. Over the four
  // solutions the first two positions held one item 3 times and the other once:
  // entropy -(3/4 ln 3/4 + 1/4 ln 1/4) / ln 3 = 0.51186 there, 0 at the third.
  stats.ResetRun();
  stats.RecordSolution({0, 1, 2});
  for (int cost : {10, 20, 30}) {
    stats.RecordSolution(cost == 20 ? std::vector<int>{1, 0, 2} : std::vector<int>{0, 1, 2});
    stats.RecordMove(cost);
  }
  stats.RecordNewBest(10, true);
  stats.RecordLocalMinimum(10);
  stats.RecordLocalMinimum(20);
  stats.AddRepetition();
  stats.AddOverridingAspiringMove();
  stats.AddAspiringMove();
  stats.AddAspiringMove();
  stats.AddAspiringMoveUndone();
  stats.AddConsecutiveAspiringMove();
  stats.StopClock();
  EXPECT_EQ(Row(stats),
            "10\t20\t8.16497\t\t3\t2\t1\t0.34124\t0.241293\t0\t0.51186\t15\t5\t1\t10\t1\t2\t1\t1\t1\t");
  EXPECT_EQ(stats.TotalRepairs(), 3u);

  // Deviations come from exact integer sums: constant large costs give 0,
  // not NaN or rounding noise, and costs near 2^62 keep their true spread.
  for (unsigned moves : {4u, 8u, 1000u}) {
    stats.ResetRun();
    for (unsigned m = 0; m < moves; ++m) stats.RecordMove(987654321), stats.RecordLocalMinimum(987654321);
    EXPECT_EQ(Row(stats).rfind("2147483647\t9.87654e+08\t0\t", 0), 0u) << moves;
    EXPECT_NE(Row(stats).find("\t9.87654e+08\t0\t0\t"), std::string::npos) << moves;
  }
  stats.ResetRun(9223372036854775807LL);
  EXPECT_EQ(Row(stats).rfind("9223372036854775807\t", 0), 0u);
  const std::int64_t base = 4611686018427387000LL;
  for (std::int64_t offset : {0, 2, 4, 6}) stats.RecordMove(base + offset);  // spread sqrt(5)
  stats.RecordNewBest(base + 4, false);
  EXPECT_EQ(Row(stats).rfind("4611686018427387004\t4.61169e+18\t2.23607\t", 0), 0u);
}

}  // namespace
}  // namespace mirelock
