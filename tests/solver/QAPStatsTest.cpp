#include "solver/QAPStats.h"

#include <gtest/gtest.h>

#include <sstream>

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

// Rows of whole runs are compared with a reference in the QAP differential
// test; here the header, and deviations of costs no small instance reaches.
TEST(QAPStats, HeaderAndExactDeviations) {
  QAPStats stats;
  std::ostringstream header;
  stats.WriteHeader(header);
  EXPECT_EQ(
      header.str(),
      "Best_cost\tAve_cost\tStddev_cost\tCPU_secs\t#Repairs\t#Local_minima\t#Repetitions\tAve_Entropy\t"
      "StdDev_Entropy\tMin_Entropy\tMax_Entropy\tAve_LocalMinima_Cost\tStdDev_LocalMinima_Cost\t"
      "#BestFoundSols\tAve_BestFoundSols_Cost\t#Overriding_Aspiring_Moves\t#Aspiring_Moves\t"
      "#Aspiring_Moves_undone_next_move\t#Consecutive_Aspiring_Moves\tBestFound_due_to_Aspiring_Move\t");

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
