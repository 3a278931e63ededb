#include <gtest/gtest.h>

#include <sstream>

#include "platform/NumberFormat.h"
#include "tsp/TSPParameters.h"
#include "tsp/TSPStats.h"

namespace mirelock {
namespace {

std::string Options(TSPParameters& parameters) {
  std::ostringstream out;
  UseDefaultNumberFormat(out);
  parameters.WriteOptions(out);
  return out.str();
}

// The tokens that results rows of experiments never show; the others are
// compared row by row in the differential test.
TEST(TSPParameters, OptionTextTokensAndLimitConversion) {
  TSPParameters p;
  EXPECT_EQ(Options(p), "-lambdacoeff 1 +maxconsecsideways 0 +cheapstatsonly +aspiration");
  p.SetMaxRepairsPerN(10);
  EXPECT_EQ(Options(p).rfind("-maxnrepairs 10 ", 0), 0u);
  p.SetProblemSize(50);
  p.SetProblemSize(50);  // a later run keeps the converted limit
  EXPECT_EQ(p.MaxRepairs(), 500u);
  p.SetTargetCost(-3);
  p.SetMaxSeconds(60);
  EXPECT_EQ(Options(p),
            "-maxrepairs 500 -targetcost -3 -maxsecs 60 -lambdacoeff 1 +maxconsecsideways 0 "
            "+cheapstatsonly +aspiration");

  TSPParameters cancelled;
  cancelled.SetMaxRepairsPerN(10);
  cancelled.SetMaxRepairs(77);
  cancelled.SetProblemSize(50);
  EXPECT_EQ(cancelled.MaxRepairs(), 77u);

  // History is the one feature the TSP search lacks.
  EXPECT_NO_THROW(p.SetHistory(false));
  EXPECT_THROW(p.SetHistory(true), UnsupportedFeature);
}

TEST(TSPStats, Header) {
  TSPParameters parameters;
  TSPStats stats;
  stats.Reset(&parameters);
  std::ostringstream header;
  stats.WriteHeader(header);
  EXPECT_EQ(
      header.str(),
      "CPU_Seconds\tRepairs_To_BestSol\tAve_Entropy\tStdDev_Entropy\tMin_Entropy\tMax_Entropy\tAspiration\t"
      "#Visited_Solution\tAve_Visited_Solution_Cost\tStdDev_Visited_Solution_Cost\tMin_Visited_Solution_"
      "Cost\t"
      "Max_Visited_Solution_Cost\t#Local_Minima_Solution\tAve_Local_Minima_Solution_Cost\t"
      "StdDev_Local_Minima_Solution_Cost\tMin_Local_Minima_Solution_Cost\tMax_Local_Minima_Solution_Cost\t"
      "#Best_Found_Solution\tAve_Best_Found_Solution_Cost\tStdDev_Best_Found_Solution_Cost\t"
      "Min_Best_Found_Solution_Cost\tMax_Best_Found_Solution_Cost\tBest_Due_To_Aspiration\t");
  // A target cost adds the Sol_Found column in front.
  parameters.SetTargetCost(100);
  std::ostringstream targetHeader;
  stats.WriteHeader(targetHeader);
  EXPECT_EQ(targetHeader.str().rfind("Sol_Found\tCPU_Seconds\t", 0), 0u);
}

}  // namespace
}  // namespace mirelock
