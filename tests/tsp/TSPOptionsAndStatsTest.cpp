#include <gtest/gtest.h>

#include <cmath>
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

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  EXPECT_EQ(start, line.size()) << "every field is tab-terminated";
  return fields;
}

TEST(TSPParameters, OptionTextTokensAndLimitConversion) {
  TSPParameters defaults;
  EXPECT_EQ(Options(defaults), "-lambdacoeff 1 +maxconsecsideways 0 +cheapstatsonly +aspiration");
  EXPECT_EQ(defaults.GetNumRuns(), 1u);
  EXPECT_EQ(defaults.Seed(), 7);

  TSPParameters p;
  p.SetMaxRepairsPerN(10);
  EXPECT_EQ(Options(p).rfind("-maxnrepairs 10 ", 0), 0u);
  p.SetProblemSize(50);
  p.SetProblemSize(50);  // a later run keeps the converted limit
  EXPECT_EQ(p.MaxRepairs(), 500u);
  p.SetNumRuns(10);
  p.SetLambda(0.25);
  p.SetAspiration(false);
  p.SetSidewaysMoves(2);
  p.SetRandomMoves(0.0);
  p.SetPenaltyDecay(200, 0.8);
  EXPECT_EQ(Options(p),
            "-maxrepairs 500 -numruns 10 -lambdacoeff 0.25 -forget -forgetcoeff 0.8 -forgetafter 200 "
            "+maxconsecsideways 2 +cheapstatsonly ");
  p.SetRandomMoves(0.05);
  p.SetRandomEscapeMoveProbability(0.5);
  p.SetTargetCost(-3);
  p.SetMaxSeconds(60);
  EXPECT_EQ(
      Options(p),
      "-maxrepairs 500 -targetcost -3 -maxsecs 60 -numruns 10 -lambdacoeff 0.25 -forget -forgetcoeff 0.8 "
      "-forgetafter 200 -Prandommove 0.05 -Prandomescapemove 0.5 +maxconsecsideways 2 +cheapstatsonly ");

  TSPParameters cancelled;
  cancelled.SetMaxRepairsPerN(10);
  cancelled.SetMaxRepairs(77);
  cancelled.SetProblemSize(50);
  EXPECT_EQ(cancelled.MaxRepairs(), 77u);

  // History is the one feature the TSP search lacks; the monitor setting is kept, unused.
  EXPECT_NO_THROW(p.SetHistory(false));
  try {
    p.SetHistory(true);
    ADD_FAILURE() << "history accepted";
  } catch (const UnsupportedFeature& e) {
    EXPECT_STREQ(e.what(), "History");
  }
  EXPECT_NO_THROW(p.SetMonitor("monitor.txt", 50));
  EXPECT_EQ(p.MonitorFrequency(), 50);
}

TEST(TSPStats, HeaderAndRowOfARunWithoutMoves) {
  TSPParameters parameters;
  TSPStats stats;
  stats.Reset(&parameters);
  stats.StartClock();
  stats.RecordInitialSolution({0, 1, 2, 3}, 1234567, false);
  stats.StopClock();

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
  std::ostringstream row;
  UseDefaultNumberFormat(row);
  stats.WriteRow(row);
  const std::vector<std::string> fields = Fields(row.str());
  ASSERT_EQ(fields.size(), 23u);
  const std::vector<std::string> afterTime(fields.begin() + 1, fields.end());
  EXPECT_EQ(afterTime, (std::vector<std::string>{
                           "0",           "0", "0",  "1",  "0",  "0",  "1", "1.23457e+06", "0", "1.23457e+06",
                           "1.23457e+06", "0", "NA", "NA", "NA", "NA", "1", "1.23457e+06", "0", "1.23457e+06",
                           "1.23457e+06", "0"}));

  // A target cost adds the Sol_Found column in front.
  parameters.SetTargetCost(100);
  std::ostringstream targetHeader;
  stats.WriteHeader(targetHeader);
  EXPECT_EQ(targetHeader.str().rfind("Sol_Found\tCPU_Seconds\t", 0), 0u);
}

TEST(TSPStats, SeriesEntropyAndBestOfARun) {
  TSPParameters parameters;
  TSPStats stats;
  stats.Reset(&parameters);
  stats.RecordInitialSolution({0, 1, 2, 3}, 40, false);
  // Positions 1 and 2 swap their cities at moves 1, 4 and 7; the moves between
  // touch position 3 only. A stay counts the moves between its arrival and the
  // move before its departure, so positions 1 and 2 each hold two cities for 2
  // moves (entropy log4(2) = 0.5), positions 0 and 3 one city (entropy 0).
  const std::vector<std::int32_t> swapped = {0, 2, 1, 3};
  const std::vector<std::int32_t> straight = {0, 1, 2, 3};
  stats.RecordMove(swapped, 10, 1, 2);
  stats.RecordNewBest(10, true, false);
  stats.RecordMove(swapped, 20, 3, 3);
  stats.RecordLocalMinimum(20);
  stats.CountAspiration();
  stats.RecordMove(swapped, 30, 3, 3);
  stats.RecordMove(straight, 30, 1, 2);
  stats.RecordMove(straight, 30, 3, 3);
  stats.RecordMove(straight, 30, 3, 3);
  stats.RecordMove(swapped, 30, 1, 2);
  EXPECT_EQ(stats.Repairs(), 7u);
  EXPECT_EQ(stats.RepairsToBest(), 1u);

  std::ostringstream row;
  UseDefaultNumberFormat(row);
  stats.WriteRow(row);
  const std::vector<std::string> fields = Fields(row.str());
  ASSERT_EQ(fields.size(), 23u);
  EXPECT_EQ(fields[1], "1");
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 2, fields.begin() + 7),
            (std::vector<std::string>{"0.25", "0.25", "0", "0.5", "1"}));
  // Visited 40 10 20 30 30 30 30 30: mean 27.5, population deviation sqrt(68.75).
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 7, fields.begin() + 12),
            (std::vector<std::string>{"8", "27.5", "8.29156", "10", "40"}));
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 12, fields.begin() + 17),
            (std::vector<std::string>{"1", "20", "0", "20", "20"}));
  EXPECT_EQ(std::vector<std::string>(fields.begin() + 17, fields.begin() + 22),
            (std::vector<std::string>{"2", "25", "15", "10", "40"}));
  EXPECT_EQ(fields[22], "1");

  // A second run starts from scratch.
  stats.Reset(&parameters);
  stats.RecordInitialSolution({3, 2, 1, 0}, 7, false);
  EXPECT_EQ(stats.Repairs(), 0u);
  EXPECT_EQ(stats.VisitedCosts().Count(), 1u);
  EXPECT_EQ(stats.LocalMinimumCosts().Count(), 0u);
  EXPECT_EQ(stats.AspirationMoves(), 0u);
}

}  // namespace
}  // namespace mirelock
