#include "tsp/TSPSolver.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <thread>

#include "platform/PauseGate.h"
#include "solver/SolverTestSupport.h"

namespace mirelock {
namespace {

// Explicit LOWER_DIAG_ROW instance with d(i, j) = c + w_i + w_j: every tour costs n * c + 2 * sum(w).
std::string AdditiveInstance(const std::vector<int>& weights, int c) {
  std::ostringstream text;
  text << "NAME : flat\nTYPE : TSP\nDIMENSION : " << weights.size()
       << "\nEDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : LOWER_DIAG_ROW\nEDGE_WEIGHT_SECTION\n";
  for (std::size_t i = 0; i < weights.size(); ++i) {
    for (std::size_t j = 0; j <= i; ++j) text << (i == j ? 0 : c + weights[i] + weights[j]) << " ";
  }
  return text.str() + "\nEOF\n";
}

TEST(TSPSolver, CostMultiplierAndIntegerLambda) {
  // Five cities whose tours all cost 214747 (multiplier 100) or 214748 (multiplier 1).
  struct Case {
    int c, sumOfWeights, multiplier, integerLambda;
  } cases[] = {{1, 107371, 100, 4294940}, {2, 107369, 1, 42950}};
  for (const Case& each : cases) {
    TSPSolver solver;
    test::Load(solver, AdditiveInstance({each.sumOfWeights - 4, 1, 1, 1, 1}, each.c));
    solver.Parameters().SetMaxRepairs(2);
    solver.Parameters().SetSidewaysMoves(0);
    solver.Solve();
    EXPECT_EQ(solver.TourCost(solver.Tour()), 5 * each.c + 2 * each.sumOfWeights);
    EXPECT_EQ(solver.CostMultiplier(), each.multiplier);
    EXPECT_EQ(solver.IntegerLambda(), each.integerLambda);
    EXPECT_GE(solver.Stats().LocalMinima(), 1u);
  }

  TSPSolver tiny;
  test::Load(tiny, AdditiveInstance({1, 1, 1, 1, 1}, 1));
  tiny.Parameters().SetLambda(1e-9);
  try {
    tiny.Solve();
    ADD_FAILURE() << "no error";
  } catch (const FatalError& error) {
    EXPECT_EQ(
        error.Text(),
        "Sorry: unable to solve problem as costs/penalties/lambda not possible to calculate using integer "
        "arithmetic\nTry lambda in range 0.1 to 10\n");
    EXPECT_EQ(error.Stream(), OutputStream::Out);
  }
  // Tours of negative cost give a negative lambda, whose penalties would only ever lower augmented costs.
  TSPSolver negative;
  test::Load(negative, AdditiveInstance({1, 1, 1, 1, 1}, -100));
  negative.Parameters().SetMaxRepairs(100);
  EXPECT_THROW(negative.Solve(), FatalError);
}

// GEO distances: ulysses16's published optimum is reached.
TEST(TSPSolver, GeographicalInstanceReachesItsOptimum) {
  TSPSolver geo;
  test::Load(geo, test::TestData("tsp/ulysses16.tsp"));
  geo.Parameters().SetMaxRepairsPerN(1000);
  geo.Parameters().SetAspiration(false);
  geo.Parameters().SetSidewaysMoves(2);
  geo.Parameters().SetSeed(21);
  geo.Solve();
  EXPECT_EQ(geo.GetBestCost(), 6859);
}

TEST(TSPSolver, StopAndPauseFromAnotherThread) {
  TSPSolver solver;
  test::Load(solver, AdditiveInstance(std::vector<int>(60, 1), 1));  // every move is a sideways one
  solver.Parameters().SetSeed(3);
  PauseGate gate;
  solver.SetPauseGate(&gate);
  gate.Close();
  std::thread worker([&] { solver.Solve(); });  // no repair limit: only the stop ends it
  ASSERT_TRUE(gate.WaitUntilParked());
  const std::uint32_t parkedAt = solver.Stats().Repairs();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(solver.Stats().Repairs(), parkedAt);
  solver.Stop();
  gate.Open();
  worker.join();
  EXPECT_TRUE(solver.IsStopped());
  EXPECT_EQ(solver.GetBestCost(), solver.TourCost(solver.GetBestTour()));
}

// Every combination of the extreme settings an experiment accepts, on a tiny
// instance: each run ends, within its repair limit, or is refused before its
// first penalty when lambda cannot be held in 32-bit move values.
TEST(TSPSolver, ExtremeSettingsEndEveryRunWithinItsLimit) {
  const std::string text = AdditiveInstance({3, 1, 4, 1, 5}, 2);
  int refused = 0, endedAtCeiling = 0;
  for (int combination = 0; combination < 2 * 2 * 2 * 2 * 2 * 5; ++combination) {
    const bool aspiration = combination & 1, decay = combination & 8;
    const double randomMoves = combination >> 1 & 1, escape = combination >> 4 & 1;
    const int sideways = (combination >> 2 & 1) * 1000;
    const double lambda = std::array{0.0, 1e-9, 0.01, 1e5, 1e12}[combination >> 5];
    SCOPED_TRACE("combination " + std::to_string(combination));
    TSPSolver solver;
    test::Load(solver, text);
    test::Apply(solver.GetParameters(), {.maxRepairs = combination % 3 == 0 ? 4u : 40u, .runs = 2, .lambda = lambda,
                                         .randomMoves = randomMoves, .aspiration = aspiration,
                                         .decayEvery = decay ? 1u : 0u, .decayFactor = 0.01, .sideways = sideways});
    solver.Parameters().SetRandomEscapeMoveProbability(escape);
    solver.Parameters().SetMaxSeconds(20);  // only a hang would reach it
    for (int run = 0; run < 2; ++run) {
      try {
        solver.Solve();
      } catch (const FatalError& error) {
        ++refused;
        EXPECT_TRUE(lambda < 0.001 || lambda > 1000) << error.Text();
        if (lambda > 1000) {
          EXPECT_EQ(
              error.Text().rfind(
                  "Sorry: lambda coefficient " + FormatNumber(lambda) + " gives an integer lambda of ", 0),
              0u)
              << error.Text();
        }
        break;
      }
      const std::uint32_t limit = solver.Parameters().MaxRepairs();
      EXPECT_LT(solver.Stats().ElapsedSeconds(), 20);
      EXPECT_LE(solver.Stats().Repairs(), limit);
      // Only a penalty that would pass the 32-bit ceiling ends a run early.
      if (solver.Stats().Repairs() < limit) {
        ++endedAtCeiling;
        EXPECT_EQ(lambda, 1e5);
      }
      EXPECT_EQ(solver.GetBestCost(), solver.TourCost(solver.GetBestTour()));
      // No edge's multiplier * distance + penalty went past the ceiling that keeps move values in 32 bits.
      for (std::int32_t a = 0; a < 5; ++a) {
        for (std::int32_t b = a + 1; b < 5; ++b) {
          EXPECT_LE(std::int64_t{solver.CostMultiplier()} * solver.Instance().Distances()(a, b) +
                        solver.Penalty(a, b),
                    TSPSolver::kAugmentedCeiling);
        }
      }
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(endedAtCeiling, 0);
}

}  // namespace
}  // namespace mirelock
