// The solver's own behaviour beyond the rows the differential test compares:
// extreme settings end, the monitor file, pausing and stopping from another
// thread.
#include "sat/GLSSATSolver.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "platform/PauseGate.h"
#include "solver/SolverTestSupport.h"

namespace mirelock {
namespace {

void Load(GLSSATSolver& solver, const std::string& path, bool weighted = false) {
  solver.SetWeighted(weighted);
  solver.Problem().ReadFile(path);
}

TEST(GLSSATSolver, MonitorFileHasAHeaderAndALineEveryRRepairs) {
  GLSSATSolver solver;
  Load(solver, test::TestData("sat/jnh11-rw.sat"), true);
  solver.GetParameters().SetMonitor("unused", 0);
  EXPECT_EQ(solver.Parameters().monitorInterval, 1);  // 0: every repair
  const auto lines = test::MonitorLines(solver, 1000, 100);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("Repairs\tCurrent_Cost\tCurrent_Aug_Cost\tBest_Found_Solution_Max_Cost\tSol_Found", 0), 0u);
}

TEST(GLSSATSolver, PauseAndStopFromAnotherThread) {
  GLSSATSolver solver;
  Load(solver, test::TestData("sat/uuf50-01.cnf"));
  solver.GetParameters().SetMaxRepairs(4294967295u);  // only the stop ends the run
  PauseGate gate;
  solver.SetPauseGate(&gate);
  std::thread worker([&solver] { solver.Solve(); });
  // Parked, the worker's counts can be read and stay put. A loaded machine
  // may be slow to start the run: park it again until it has made repairs.
  std::uint64_t parkedAt = 0;
  for (int attempt = 0; attempt < 1000 && parkedAt == 0; ++attempt) {
    if (attempt > 0) gate.Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    gate.Close();
    ASSERT_TRUE(gate.WaitUntilParked());
    parkedAt = solver.Stats().Repairs();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(solver.Stats().Repairs(), parkedAt);
  solver.Stop();
  gate.Open();
  worker.join();
  EXPECT_TRUE(solver.IsStopped());
  EXPECT_GT(parkedAt, 0u);
  EXPECT_EQ(solver.Problem().TotalWeight() - solver.Problem().SatisfiedWeight(), solver.BestCost());
}

TEST(GLSSATTermination, ExtremeSettingsOnATinyFormulaEndWithinTheirLimit) {
  // Unsatisfiable: 1 and 2 are forced true, then 3, then 4, and the last clause fails.
  const std::string formula = "p cnf 4 6\n1 2 0\n-1 2 0\n1 -2 0\n-1 -2 3 0\n-3 4 0\n-4 -3 0\n";
  int combinations = 0;
  for (double lambda : {0.0, 0.00004, 0.01, 1.0, 429496.7295})
    for (double random : {0.0, 0.5, 1.0})
      for (int sideways : {0, 1, 1000})
        for (int decay : {0, 1, 2})
          for (bool aspiration : {false, true})
            for (bool history : {false, true}) {
              GLSSATSolver solver;
              test::Load(solver, formula);
              solver.Parameters().maxSeconds = 20;
              test::Apply(solver.GetParameters(),
                          {.maxRepairs = 50, .perN = false, .lambda = lambda, .randomMoves = random,
                           .aspiration = aspiration, .history = history, .decayEvery = decay > 0 ? 1u : 0u,
                           .decayFactor = decay == 1 ? 0.0 : 0.5, .sideways = sideways});
              solver.Solve();
              ASSERT_LE(solver.Stats().Repairs(), 50u)
                  << lambda << " " << random << " " << sideways << " " << decay << " " << aspiration;
              ASSERT_LT(solver.Stats().Duration(), 10.0);
              ++combinations;
            }
  EXPECT_EQ(combinations, 540);
}

TEST(GLSSATTermination, LambdaBeyondAPenaltyIsRefusedAtTheStart) {
  for (double lambda : {429496.73, 1e12}) {
    GLSSATSolver solver;
    solver.Problem().ReadFile(test::TestData("sat/uf20-01.cnf"));
    solver.GetParameters().SetLambda(lambda);
    try {
      solver.Solve();
      ADD_FAILURE() << "lambda " << lambda << " ran";
    } catch (const FatalError& error) {
      EXPECT_NE(std::string(error.what()).find("lambda can be at most 429496.7295"), std::string::npos)
          << error.what();
    }
    EXPECT_EQ(solver.Stats().Repairs(), 0u);
  }
}

}  // namespace
}  // namespace mirelock
