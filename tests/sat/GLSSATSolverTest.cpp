#include "sat/GLSSATSolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/TestSupport.h"
#include "platform/PauseGate.h"

namespace mirelock {
namespace {

void Load(GLSSATSolver& solver, const std::string& path, bool weighted = false) {
  solver.SetWeighted(weighted);
  solver.Problem().ReadFile(path);
}

TEST(GLSSATSolver, SolvesSmallInstancesAndLeavesTheSolutionInTheVariables) {
  GLSSATSolver solver;
  Load(solver, test::TestData("sat/uf50-01.cnf"));
  SolverParameters& parameters = solver.GetParameters();
  parameters.SetMaxRepairsPerN(1000);
  parameters.SetNumRuns(5);
  parameters.SetHistory(false);
  for (int run = 0; run < 5; ++run) {
    solver.Solve();
    EXPECT_TRUE(solver.Stats().SolutionFound());
    EXPECT_EQ(solver.BestCost(), 0u);
    EXPECT_EQ(solver.Problem().SatisfiedWeight(), solver.Problem().TotalWeight());
    EXPECT_EQ(solver.Stats().RepairsToBest(), solver.Stats().Repairs());
  }
}

TEST(GLSSATSolver, SearchStateStaysConsistentThroughLongRuns) {
  for (bool weighted : {false, true}) {
    GLSSATSolver solver;
    Load(solver, test::TestData(weighted ? "sat/jnh11-rw.sat" : "sat/uuf50-01.cnf"), weighted);
    GLSSATParameters& parameters = solver.Parameters();
    parameters.SetMaxRepairs(20000);
    parameters.SetAspiration(true);
    parameters.SetRandomMoves(0.01);
    parameters.SetPenaltyDecay(5, 0.8);
    parameters.SetSidewaysMoves(20);
    solver.Solve();
    EXPECT_EQ(solver.State()->CheckConsistency(), "");
    EXPECT_GT(solver.Stats().LocalMinima(), 0u);
    EXPECT_GE(solver.Stats().Repairs(), 20000u);
    // The variables hold the best assignment of the run.
    EXPECT_EQ(solver.Problem().TotalWeight() - solver.Problem().SatisfiedWeight(), solver.BestCost());
    if (weighted) {
      EXPECT_EQ(solver.Stats().BestSatisfiedWeight(), solver.Problem().SatisfiedWeight());
    }
  }
}

TEST(GLSSATSolver, DegenerateProblemsAndZeroLambda) {
  {
    GLSSATSolver solver;
    std::istringstream in("p cnf 0 0\n");
    solver.GetProblem().Read(in);
    solver.Solve();
    EXPECT_EQ(solver.BestCost(), 0u);
    EXPECT_TRUE(solver.Stats().SolutionFound());
    std::ostringstream out;
    solver.GetStats().WriteRow(out);
    EXPECT_EQ(out.str().substr(0, 2), "1\t");
  }
  {
    // Only an empty clause: it is penalised like any unsatisfied clause until
    // its penalty is full, and the run ends when nothing changes any more.
    GLSSATSolver solver;
    std::istringstream in("0 1\n0 7\n");
    solver.SetWeighted(true);
    solver.GetProblem().Read(in);
    solver.Parameters().SetMaxRepairs(4294967295u);
    solver.Solve();
    EXPECT_EQ(solver.BestCost(), 7u);
    EXPECT_EQ(solver.Stats().Repairs(), 0u);
    EXPECT_EQ(solver.Stats().LocalMinima(), 429496u + 2);
    EXPECT_EQ(solver.State()->Penalty(0), 4294967295u);
  }
  {
    // Every unsatisfied clause empty, variables left: the run ends instead of spinning.
    GLSSATSolver solver;
    std::istringstream in("2 3\n0 7\n1 1 1\n1 1 2\n");
    solver.SetWeighted(true);
    solver.GetProblem().Read(in);
    solver.Parameters().SetMaxRepairs(4294967295u);
    solver.Parameters().SetSidewaysMoves(0);
    solver.Solve();
    EXPECT_EQ(solver.BestCost(), 7u);
  }
  {
    // A lambda that rounds to no penalty at all still runs, as a plain local search.
    GLSSATSolver solver;
    Load(solver, test::TestData("sat/uuf50-01.cnf"));
    solver.GetParameters().SetLambda(0.00004);
    solver.GetParameters().SetMaxRepairs(5000);
    solver.Solve();
    EXPECT_EQ(solver.State()->SumOfPenalties(), 0u);
    EXPECT_GT(solver.Stats().LocalMinima(), 0u);
    EXPECT_LE(solver.Stats().Repairs(), 5000u);
  }
}

TEST(GLSSATSolver, MonitorFileHasAHeaderAndALineEveryRRepairs) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("mirelock-sat-monitor-" + std::to_string(::getpid()) + ".txt"))
                               .string();
  GLSSATSolver solver;
  Load(solver, test::TestData("sat/jnh11-rw.sat"), true);
  solver.GetParameters().SetMaxRepairs(1000);
  solver.GetParameters().SetMonitor(path, 100);
  solver.Solve();
  std::ifstream in(path);
  std::string line;
  std::vector<std::string> lines;
  while (std::getline(in, line)) lines.push_back(line);
  std::filesystem::remove(path);
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(
      lines[0].rfind("Repairs\tCurrent_Cost\tCurrent_Aug_Cost\tBest_Found_Solution_Max_Cost\tSol_Found", 0),
      0u);
  EXPECT_EQ(lines[1].rfind("0\t", 0), 0u);
  EXPECT_EQ(lines[2].rfind("100\t", 0), 0u);
  EXPECT_EQ(lines[11].rfind("1000\t", 0), 0u);
  // Every line has as many fields as the header.
  const auto fields = [](const std::string& s) { return std::count(s.begin(), s.end(), '\t'); };
  for (const std::string& l : lines) EXPECT_EQ(fields(l), fields(lines[0]));
}

TEST(GLSSATSolver, PauseAndStopFromAnotherThread) {
  GLSSATSolver solver;
  Load(solver, test::TestData("sat/uuf50-01.cnf"));
  solver.GetParameters().SetMaxRepairs(4294967295u);  // only the stop ends the run
  PauseGate gate;
  solver.SetPauseGate(&gate);
  std::thread worker([&solver] { solver.Solve(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  gate.Close();
  EXPECT_TRUE(gate.WaitUntilParked());
  gate.Open();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  solver.Stop();
  worker.join();
  EXPECT_TRUE(solver.IsStopped());
  EXPECT_GT(solver.Stats().Repairs(), 0u);
  EXPECT_EQ(solver.Problem().TotalWeight() - solver.Problem().SatisfiedWeight(), solver.BestCost());
}

TEST(GLSSATSolver, WeightedRunsReachTheOptimum) {
  if (test::IsSanitizerBuild()) GTEST_SKIP() << "search quality is checked in the Release build";
  GLSSATSolver solver;
  Load(solver, test::TestData("sat/jnh11-rw.sat"), true);
  solver.GetParameters().SetMaxRepairsPerN(1000);
  int optimal = 0;
  for (int run = 0; run < 10; ++run) {
    solver.Solve();
    optimal += solver.Stats().BestSatisfiedWeight() == 416715u ? 1 : 0;
  }
  EXPECT_GE(optimal, 8);
}

}  // namespace
}  // namespace mirelock
