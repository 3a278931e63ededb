#include "solver/QAPStats.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "platform/NumberFormat.h"

namespace mirelock {
namespace {

std::vector<std::string> Fields(QAPStats& stats) {
  std::ostringstream out;
  UseDefaultNumberFormat(out);
  stats.WriteRow(out);
  std::vector<std::string> fields;
  std::istringstream in(out.str());
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  EXPECT_EQ(out.str().back(), '\t');
  return fields;
}

TEST(QAPStats, HeaderAndRow) {
  QAPStats stats;
  std::ostringstream header;
  stats.WriteHeader(header);
  EXPECT_EQ(
      header.str(),
      "Best_cost\tAve_cost\tStddev_cost\tCPU_secs\t#Repairs\t#Local_minima\t#Repetitions\tAve_Entropy\t"
      "StdDev_Entropy\tMin_Entropy\tMax_Entropy\tAve_LocalMinima_Cost\tStdDev_LocalMinima_Cost\t"
      "#BestFoundSols\tAve_BestFoundSols_Cost\t#Overriding_Aspiring_Moves\t#Aspiring_Moves\t"
      "#Aspiring_Moves_undone_next_move\t#Consecutive_Aspiring_Moves\tBestFound_due_to_Aspiring_Move\t");

  // A run that ends before its first move.
  stats.ResetRun();
  stats.StartClock();
  stats.RecordSolution({1, 0, 2});
  stats.RecordNewBest(30, false);
  stats.StopClock();
  std::vector<std::string> f = Fields(stats);
  ASSERT_EQ(f.size(), 20u);
  EXPECT_EQ(f[0], "30");
  EXPECT_EQ(f[1], "NA");
  EXPECT_EQ(f[2], "NA");
  EXPECT_EQ(f[7], "0");
  EXPECT_EQ(f[8], "0");
  EXPECT_EQ(f[9], "1.79769e+308");
  EXPECT_EQ(f[10], "2.22507e-308");
  EXPECT_EQ(f[11], "NA");
  EXPECT_EQ(f[12], "NA");
  EXPECT_EQ(f[13], "1");
  EXPECT_EQ(f[14], "30");

  // Three moves with costs 10, 20, 30; a second run reports only itself.
  stats.ResetRun();
  stats.RecordSolution({0, 1, 2});
  for (int cost : {10, 20, 30}) {
    stats.RecordSolution({0, 1, 2});
    stats.RecordMove(cost);
  }
  stats.RecordNewBest(10, true);
  stats.RecordLocalMinimum(10);
  stats.RecordLocalMinimum(20);
  stats.AddRepetition();
  stats.AddAspiringMove();
  stats.StopClock();
  f = Fields(stats);
  EXPECT_EQ(f[0], "10");
  EXPECT_EQ(f[1], "20");
  EXPECT_EQ(f[2], "8.16497");
  EXPECT_EQ(f[4], "3");
  EXPECT_EQ(f[5], "2");
  EXPECT_EQ(f[6], "1");
  EXPECT_EQ(f[7], "0");  // every position always held the same item
  EXPECT_EQ(f[11], "15");
  EXPECT_EQ(f[12], "5");
  EXPECT_EQ(f[16], "1");
  EXPECT_EQ(f[19], "1");
  EXPECT_EQ(stats.TotalRepairs(), 3u);

  // Costs beyond 32 bits are reported exactly.
  stats.ResetRun(9223372036854775807LL);
  EXPECT_EQ(Fields(stats)[0], "9223372036854775807");
  stats.RecordNewBest(5000000000LL, false);
  EXPECT_EQ(Fields(stats)[0], "5000000000");
}

// Deviations come from exact integer sums: constant large costs give 0, not
// NaN or rounding noise, and costs near 2^62 keep their true spread.
TEST(QAPStats, DeviationsAreExactForLargeCosts) {
  QAPStats stats;
  for (unsigned moves : {4u, 8u, 1000u}) {
    stats.ResetRun();
    for (unsigned m = 0; m < moves; ++m) {
      stats.RecordMove(987654321);
      stats.RecordLocalMinimum(987654321);
    }
    const std::vector<std::string> f = Fields(stats);
    EXPECT_EQ(f[1], "9.87654e+08");
    EXPECT_EQ(f[2], "0") << moves;
    EXPECT_EQ(f[12], "0") << moves;
  }
  stats.ResetRun(9223372036854775807LL);
  const std::int64_t base = 4611686018427387000LL;
  for (std::int64_t offset : {0, 2, 4, 6}) stats.RecordMove(base + offset);  // spread sqrt(5)
  stats.RecordNewBest(base, false);
  stats.RecordNewBest(base + 2, false);
  const std::vector<std::string> f = Fields(stats);
  EXPECT_EQ(f[1], "4.61169e+18");
  EXPECT_EQ(f[2], "2.23607");
  EXPECT_EQ(f[14], "4.61169e+18");
}

TEST(QAPStats, EntropyOfAnEvenSpread) {
  QAPStats stats;
  stats.ResetRun();
  // Over two solutions each position held each of the two items once: entropy 1.
  stats.RecordSolution({0, 1});
  stats.RecordSolution({1, 0});
  stats.RecordMove(1);
  std::vector<std::string> f = Fields(stats);
  EXPECT_EQ(f[7], "1");
  EXPECT_EQ(f[8], "0");
  EXPECT_EQ(f[9], "1");
  EXPECT_EQ(f[10], "1");
}

}  // namespace
}  // namespace mirelock
