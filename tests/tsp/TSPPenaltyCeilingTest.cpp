#include <gtest/gtest.h>

#include <sstream>

#include "solver/SolverTestSupport.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

// Five cities, every distance 1: every tour is a local minimum of cost 5 and
// every edge has the same utility, so the first penalty raises all five.
std::string UnitInstance() {
  std::ostringstream text;
  text << "NAME : unit\nTYPE : TSP\nDIMENSION : 5\nEDGE_WEIGHT_TYPE : EXPLICIT\n"
          "EDGE_WEIGHT_FORMAT : LOWER_DIAG_ROW\nEDGE_WEIGHT_SECTION\n";
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j <= i; ++j) text << (i == j ? 0 : 1) << " ";
  return text.str() + "\nEOF\n";
}

// The ceiling is inclusive: an integer lambda that takes an edge's augmented
// cost (100 * 1 with the multiplier) to exactly kAugmentedCeiling is
// accepted, and that penalty is applied; only a second penalty of an edge,
// which would pass the ceiling, ends the run early.
TEST(TSPSolver, APenaltyReachingTheCeilingExactlyIsApplied) {
  constexpr std::int32_t kLambda = TSPSolver::kAugmentedCeiling - 100;
  TSPSolver solver;
  test::Load(solver, UnitInstance());
  // lambda = coefficient * cost / n = coefficient, scaled by the multiplier 100.
  test::Apply(solver.GetParameters(),
              {.maxRepairs = 200, .perN = false, .runs = 1, .lambda = kLambda / 100.0, .sideways = 0});
  solver.Solve();
  ASSERT_EQ(solver.CostMultiplier(), 100);
  EXPECT_EQ(solver.IntegerLambda(), kLambda);
  EXPECT_LT(solver.Stats().Repairs(), 200u);  // ended at the ceiling
  int atCeiling = 0;
  for (std::int32_t a = 0; a < 5; ++a) {
    for (std::int32_t b = a + 1; b < 5; ++b) {
      const std::int64_t element = 100 + std::int64_t{solver.Penalty(a, b)};
      EXPECT_LE(element, TSPSolver::kAugmentedCeiling);
      if (element == TSPSolver::kAugmentedCeiling) ++atCeiling;
    }
  }
  EXPECT_EQ(atCeiling, 10);  // each edge penalised once, when some tour held it at a local minimum
}

}  // namespace
}  // namespace mirelock
