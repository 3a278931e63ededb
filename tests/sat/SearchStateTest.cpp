#include "sat/SearchState.h"

#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "platform/Random.h"
#include "sat/FlatFormula.h"
#include "sat/SATProblem.h"

namespace mirelock {
namespace {

// Random flips, penalisations and decays; every so often every incremental
// value (counts, lists, scores, costs, penalty sums) must equal a recount.
void Exercise(const std::string& file, bool weighted, bool trackObjective) {
  SATProblem problem;
  problem.SetWeighted(weighted);
  problem.ReadFile(test::TestData(file));
  FlatFormula formula;
  formula.Build(problem);
  SearchState state(formula);
  SeedRandom(7);
  std::vector<std::uint8_t> values(formula.numVariables);
  for (auto& v : values) v = Random() % 2;
  state.Start(values.data(), 10000, 3000, trackObjective);
  ASSERT_EQ(state.CheckConsistency(), "");
  // The lists start in index order: ties go to the first element.
  EXPECT_TRUE(std::is_sorted(state.Improving().begin(), state.Improving().end()));
  EXPECT_TRUE(std::is_sorted(state.Sideways().begin(), state.Sideways().end()));
  for (std::uint64_t step = 1; step <= 4000; ++step) {
    const std::uint32_t v = static_cast<std::uint32_t>(Random()) % formula.numVariables;
    if (step % 97 == 0) {  // a flip undone at once
      state.Flip(v, step);
      state.Flip(v, step);
      ASSERT_EQ(state.CheckConsistency(), "") << "flip undone at step " << step;
    }
    state.Flip(v, step);
    if (step % 7 == 0 && state.UnsatisfiedCount() > 0) {
      ASSERT_GT(state.Penalise(), 0u);
    }
    if (step % 501 == 0) state.Decay(800, 1000);
    if (step % 50 == 0) {
      ASSERT_EQ(state.CheckConsistency(), "") << "after step " << step;
    }
  }
  std::uint64_t penalties = 0;
  for (std::uint32_t c = 0; c < formula.numClauses; ++c) penalties += state.Penalty(c);
  EXPECT_GT(penalties, 0u);
  EXPECT_EQ(state.CheckConsistency(), "");
}

TEST(SearchState, IncrementalStateEqualsARecount) {
  Exercise("sat/uf50-01.cnf", false, false);
  Exercise("sat/uuf50-01.cnf", false, true);
  Exercise("sat/jnh1-rw.sat", true, true);
}

}  // namespace
}  // namespace mirelock
