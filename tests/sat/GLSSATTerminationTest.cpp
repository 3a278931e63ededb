// Every run ends: at exactly its repair limit however the moves are chosen,
// and by the bound on penalisations without a flip when penalising and
// decaying take turns for ever.
#include <gtest/gtest.h>

#include <sstream>

#include "common/TestSupport.h"
#include "platform/FatalError.h"
#include "sat/GLSSATSolver.h"

namespace mirelock {
namespace {

TEST(GLSSATTermination, RunsEndAtExactlyTheirRepairLimit) {
  GLSSATSolver solver;
  solver.Problem().ReadFile(test::TestData("sat/uuf50-01.cnf"));
  GLSSATParameters& p = solver.Parameters();
  p.maxSeconds = 60;  // a safety net only: every run here ends far sooner
  p.SetMaxRepairsPerN(40);
  p.SetRandomMoves(1.0);  // no local minimum is ever reached
  for (int run = 0; run < 3; ++run) {
    solver.Solve();
    EXPECT_EQ(solver.Stats().Repairs(), 2000u);
    EXPECT_EQ(solver.Stats().Visited().Count(), 2001u);
  }
  // Without random moves a run used to overshoot by its last descent.
  p.SetRandomMoves(0.0);
  p.SetSidewaysMoves(30);
  p.SetMaxRepairs(997);
  solver.Solve();
  EXPECT_EQ(solver.Stats().Repairs(), 997u);
}

TEST(GLSSATTermination, PenaliseAndDecayCycleEndsByTheBound) {
  GLSSATSolver solver;
  solver.Problem().ReadFile(test::TestData("sat/uuf50-01.cnf"));
  GLSSATParameters& p = solver.Parameters();
  p.maxSeconds = 60;
  p.SetMaxRepairs(4294967295u);  // only the bound can end the run
  p.SetLambda(0.3);
  p.SetSidewaysMoves(0);
  p.SetPenaltyDecay(1, 0.0);  // every penalty is taken back at once
  solver.Solve();
  // 10 x (50 variables + 218 clauses) x ceil(10000 / 3000) + 1000 idle rounds.
  const std::uint64_t bound = 10 * (50 + 218) * 4 + 1000;
  const GLSSATStats& stats = solver.Stats();
  EXPECT_GT(stats.LocalMinima(), bound);
  EXPECT_LE(stats.LocalMinima(), bound + 1 + stats.Repairs());
  EXPECT_LT(stats.Duration(), 30.0);

  // (1) and (not 1): no round ever flips, so the run is exactly the bound
  // 10 x (1 + 2) x 1 + 1000 plus the round that passes it.
  GLSSATSolver tiny;
  std::istringstream in("p cnf 1 2\n1 0\n-1 0\n");
  tiny.GetProblem().Read(in);
  tiny.Parameters().maxSeconds = 60;
  tiny.Parameters().SetMaxRepairs(4294967295u);
  tiny.Parameters().SetSidewaysMoves(0);
  tiny.Parameters().SetPenaltyDecay(1, 0.0);
  tiny.Solve();
  EXPECT_EQ(tiny.Stats().Repairs(), 0u);
  EXPECT_EQ(tiny.Stats().LocalMinima(), 1031u);
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
              std::istringstream in(formula);
              solver.GetProblem().Read(in);
              GLSSATParameters& p = solver.Parameters();
              p.maxSeconds = 20;
              p.SetMaxRepairs(50);
              p.SetLambda(lambda);
              p.SetRandomMoves(random);
              p.SetSidewaysMoves(sideways);
              if (decay > 0) p.SetPenaltyDecay(1, decay == 1 ? 0.0 : 0.5);
              p.SetAspiration(aspiration);
              p.SetHistory(history);
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
