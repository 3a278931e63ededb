#include "sat/GLSSATStats.h"

#include <gtest/gtest.h>

#include <cmath>

#include <sstream>

namespace mirelock {
namespace {

std::string Header(GLSSATStats& stats) {
  std::ostringstream out;
  stats.WriteHeader(out);
  return out.str();
}

std::string SeriesHeader(const std::string& name) {
  const std::string suffix = name + "_Cost";
  return "#" + name + "\tAve_" + suffix + "\tStdDev_" + suffix + "\tMin_" + suffix + "\tMax_" + suffix + "\t";
}

TEST(GLSSATStats, HeaderForSATAndMaxSAT) {
  GLSSATStats stats;
  const std::string sat =
      "Sol_Found\tCPU_Seconds\tRepairs_To_BestSol\tMinimas\tRepetitions\tAve_Entropy\t"
      "StdDev_Entropy\tMin_Entropy\tMax_Entropy\tAspiration\t" +
      SeriesHeader("Visited_Solution") + SeriesHeader("Local_Minima_Solution") +
      SeriesHeader("Best_Found_Solution") + "Best_Due_To_Aspiration\t";
  EXPECT_EQ(Header(stats), sat);
  stats.SetWeighted(true);
  EXPECT_EQ(Header(stats), "Best_Found_Solution_Max_Cost\t" + sat);
  stats.Reset();  // the weighted flag survives a reset
  EXPECT_EQ(Header(stats), "Best_Found_Solution_Max_Cost\t" + sat);
}

TEST(GLSSATStats, SeriesSummariesAreExactForLargeCosts) {
  ValueSeries series("Visited_Solution", "Cost");
  // Costs near 10^9 with a small spread: E[x^2] - E[x]^2 in doubles would lose the spread.
  const std::uint64_t base = 1000000000;
  for (std::uint64_t i = 0; i < 1000; ++i) series.Add(base + (i % 3));
  EXPECT_EQ(series.Count(), 1000u);
  EXPECT_EQ(series.Minimum(), base);
  EXPECT_EQ(series.Maximum(), base + 2);
  // Values 0,1,2 with counts 334, 333, 333.
  const double mean = (333.0 + 666.0) / 1000.0;
  const double variance =
      (333.0 * (1 - mean) * (1 - mean) + 333.0 * (2 - mean) * (2 - mean) + 334.0 * mean * mean) / 1000.0;
  EXPECT_NEAR(series.Mean() - static_cast<double>(base), mean, 1e-6);
  EXPECT_NEAR(series.StandardDeviation(), std::sqrt(variance), 1e-9);

  ValueSeries zeros("Best_Found_Solution", "Cost");
  zeros.Add(0);
  zeros.Add(0);
  std::ostringstream out;
  zeros.WriteRow(out);
  EXPECT_EQ(out.str(), "2\t0\t0\t0\t0\t");
}

}  // namespace
}  // namespace mirelock
