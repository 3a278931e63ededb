// The TSP monitor file: the QAP solver's leading columns, a line every R
// repairs, values that agree with a plain recount, and results rows that a
// monitored run leaves exactly as an unmonitored one writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sstream>

#include "solver/SolverTestSupport.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

const std::string kEil51 = MIRELOCK_SOURCE_DIR "/examples/tsp/eil51.tsp";

std::vector<double> Fields(const std::string& line) {
  std::vector<double> fields;
  std::istringstream in(line);
  for (std::string cell; std::getline(in, cell, '\t');)
    if (!cell.empty()) fields.push_back(std::stod(cell));
  return fields;
}

void Configure(TSPSolver& solver, unsigned runs, std::uint32_t neighbours = 0) {
  test::Experiment experiment;
  experiment.neighbours = neighbours;
  experiment.maxRepairs = 40;  // per city
  experiment.runs = runs;
  experiment.aspiration = true;
  experiment.sideways = 3;
  experiment.randomMoves = 0.05;
  test::Apply(solver.GetParameters(), experiment);
}

// Both searches, the full scan and fast local search over 8 neighbours.
TEST(TSPMonitorWriter, MonitoredRunsWriteTheSameResultsRows) {
  for (const std::uint32_t neighbours : {0u, 8u}) {
    SCOPED_TRACE(neighbours);
    TSPSolver plain;
    test::Load(plain, kEil51);
    Configure(plain, 3, neighbours);
    const std::vector<std::string> plainRows = test::RunRows(plain, 0);

    TSPSolver monitored;
    test::Load(monitored, kEil51);
    Configure(monitored, 3, neighbours);
    const std::string path = test::TemporaryPath("tsp-monitor-rows");
    monitored.GetParameters().SetMonitor(path, 1);
    const std::vector<std::string> monitoredRows = test::RunRows(monitored, 0);
    // The option text names the monitor period, which is the same (1) in both.
    EXPECT_EQ(monitoredRows, plainRows);
    // Each run rewrote the file: the last run's lines are there, from repair 0 to the limit.
    const std::vector<std::string> lines = test::ReadLines(path);
    std::filesystem::remove(path);
    ASSERT_EQ(lines.size(), 1u + 40u * 51u + 1u);
    EXPECT_EQ(lines.front(), "Repairs\tBest_Cost\tCost\tAugmented_Cost\t");
    EXPECT_EQ(monitored.MonitorWriteError(), 0);
  }
}

// A monitor file that cannot take its lines is reported, and the run's rows stay as they are.
TEST(TSPMonitorWriter, AWriteFailureIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  for (const std::uint32_t neighbours : {0u, 8u}) {
    SCOPED_TRACE(neighbours);
    TSPSolver plain;
    test::Load(plain, kEil51);
    Configure(plain, 1, neighbours);
    TSPSolver monitored;
    test::Load(monitored, kEil51);
    Configure(monitored, 1, neighbours);
    monitored.GetParameters().SetMonitor("/dev/full", 1);
    EXPECT_EQ(test::RunRows(monitored, 0), test::RunRows(plain, 0));
    EXPECT_EQ(monitored.MonitorWriteError(), ENOSPC);
  }
}

TEST(TSPMonitorWriter, LinesAgreeWithARecountAndEveryRPicksTheirSubset) {
  for (const std::uint32_t neighbours : {0u, 8u}) {
    SCOPED_TRACE(neighbours);
    TSPSolver every1;
    test::Load(every1, kEil51);
    Configure(every1, 1, neighbours);
    const std::vector<std::string> all = test::MonitorLines(every1, 900, 1);

    // Recount: the best is the initial tour's cost until the first move, then the
    // least cost reached by a move; augmented costs never fall below the cost and
    // equal it until the first penalty.
    double best = 0;
    bool penalised = false;
    for (std::size_t i = 1; i < all.size(); ++i) {
      const std::vector<double> f = Fields(all[i]);
      ASSERT_EQ(f.size(), 4u) << all[i];
      const double cost = f[2];
      best = i <= 2 ? cost : std::min(best, cost);
      EXPECT_EQ(f[1], best) << "line " << i;
      EXPECT_GE(f[3], cost) << "line " << i;
      if (f[3] > cost) penalised = true;
      if (!penalised) {
        EXPECT_EQ(f[3], cost) << "line " << i;
      }
    }
    EXPECT_TRUE(penalised);
    EXPECT_EQ(Fields(all.back())[1], every1.GetBestCost());

    // The same run watched every 7 repairs writes exactly every 7th of those lines.
    TSPSolver every7;
    test::Load(every7, kEil51);
    Configure(every7, 1, neighbours);
    const std::vector<std::string> some = test::MonitorLines(every7, 900, 7);
    for (std::size_t i = 1; i < some.size(); ++i) EXPECT_EQ(some[i], all[1 + (i - 1) * 7]);
  }
}

}  // namespace
}  // namespace mirelock
