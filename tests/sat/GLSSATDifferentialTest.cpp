// The solver against the plain reference of ReferenceGLSSAT.h: every results
// row of every run, time column aside, must be identical over SAT and
// weighted MAX-SAT instances and a spread of settings. The random-* instances
// were drawn with the platform generator; the weighted one has weights from a
// small set (utility ties) and two empty clauses (never satisfiable).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "platform/Random.h"
#include "sat/GLSSATSolver.h"
#include "sat/ReferenceGLSSAT.h"
#include "solver/SolverTestSupport.h"

namespace mirelock {
namespace {

using test::Experiment;

std::vector<std::string> SolverRows(const std::string& source, bool weighted, const Experiment& e) {
  GLSSATSolver solver;
  solver.SetWeighted(weighted);
  test::Load(solver, test::TestData(source));
  test::Apply(solver.GetParameters(), e);
  return test::RunRows(solver, weighted ? 2 : 1);
}

std::vector<std::string> ReferenceRows(const std::string& source, bool weighted, const Experiment& e) {
  GLSSATSolver solver;  // only for its instance reader
  solver.SetWeighted(weighted);
  test::Load(solver, test::TestData(source));
  test::ReferenceGLSSAT reference(solver.Problem(), e);
  std::vector<std::string> rows;
  for (std::uint32_t run = 0; run < e.runs; ++run) rows.push_back(reference.Run());
  return rows;
}

void ExpectSameRows(const std::string& source, bool weighted, const Experiment& e) {
  // The do-not-seed runs continue whatever the generator holds: start both alike.
  SeedRandom(777);
  const std::vector<std::string> expected = ReferenceRows(source, weighted, e);
  SeedRandom(777);
  const std::vector<std::string> actual = SolverRows(source, weighted, e);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t run = 0; run < actual.size(); ++run)
    EXPECT_EQ(actual[run], expected[run]) << "run " << run + 1 << ", lambda " << e.lambda;
}

// Field order: maxRepairs, perN, runs, lambda, randomMoves, aspiration,
// history, decayEvery, decayFactor, sideways, seed.
const std::pair<const char*, Experiment> kCases[] = {
    {"default, absolute limit", {.maxRepairs = 700, .perN = false}},
    {"GLSSAT2-like with aspiration and random moves",
     {.maxRepairs = 15, .lambda = 0.3, .randomMoves = 0.05, .aspiration = true, .history = true, .decayEvery = 3,
      .decayFactor = 0.5, .sideways = 20}},
    {"sideways 0, small lambda, seed all ones",
     {.maxRepairs = 30, .lambda = 0.002, .randomMoves = 0.2, .sideways = 0, .seed = 4294967295u}},
    {"history, aspiration, frequent strong decay",
     {.maxRepairs = 800, .perN = false, .lambda = 0.02, .aspiration = true, .history = true, .decayEvery = 1,
      .decayFactor = 0.1, .sideways = 5}},
    {"every move random, a lambda that rounds to no penalty",
     {.maxRepairs = 25, .lambda = 0.00004, .randomMoves = 1.0, .seed = 5}},
    {"large lambda, many sideways, aspiration",
     {.maxRepairs = 20, .lambda = 7.5, .randomMoves = 0.01, .aspiration = true, .sideways = 50}},
};

TEST(GLSSATDifferential, RowsEqualTheReferenceOnSatInstances) {
  for (const auto& [name, e] : kCases) {
    SCOPED_TRACE(name);
    ExpectSameRows("sat/uf20-01.cnf", false, e);
    ExpectSameRows("sat/uuf50-01.cnf", false, e);
    ExpectSameRows("sat/random-30-128.cnf", false, e);
  }
  // Seed 87855 makes the first draw after uf20's 20 start values 32767, so r
  // is exactly 1: the move must still be random.
  ExpectSameRows("sat/uf20-01.cnf", false,
                 {.maxRepairs = 40, .perN = false, .runs = 1, .randomMoves = 1.0, .seed = 87855});
}

TEST(GLSSATDifferential, RowsEqualTheReferenceOnWeightedInstances) {
  for (const auto& [name, e] : kCases) {
    SCOPED_TRACE(name);
    ExpectSameRows("sat/random-25-110-weighted.sat", true, e);
    Experiment shorter = e;
    shorter.maxRepairs = shorter.perN ? 3 : 300;
    shorter.runs = 2;  // the reference is slow on 850 clauses
    ExpectSameRows("sat/jnh1-rw.sat", true, shorter);
  }
}

// Formulas at the edges, run until nothing changes any more: no variable at
// all; only an empty clause, penalised like any unsatisfied clause until its
// penalty is full; every unsatisfied clause empty with variables left; and
// (1), (not 1) with every penalty taken back at once, which only the bound on
// rounds without a flip ends.
TEST(GLSSATDifferential, EdgeFormulasEqualTheReference) {
  const Experiment unlimited{.maxRepairs = 4294967295u, .perN = false, .runs = 1, .sideways = 0};
  Experiment decaying = unlimited;
  decaying.decayEvery = 1, decaying.decayFactor = 0.0;
  ExpectSameRows("sat/edge/no-variables.cnf", false, unlimited);
  ExpectSameRows("sat/edge/only-an-empty-clause.sat", true, unlimited);
  ExpectSameRows("sat/edge/empty-clause-and-satisfiable-rest.sat", true, unlimited);
  ExpectSameRows("sat/edge/x-and-not-x.cnf", false, decaying);
}

// The parts of the header and option text that the rows above do not show.
TEST(GLSSATDifferential, HeaderAndDefaultOptions) {
  std::string sat = "Sol_Found\tCPU_Seconds\tRepairs_To_BestSol\tMinimas\tRepetitions\tAve_Entropy\t"
                    "StdDev_Entropy\tMin_Entropy\tMax_Entropy\tAspiration\t";
  for (std::string name : {"Visited_Solution", "Local_Minima_Solution", "Best_Found_Solution"})
    sat += "#" + name + "\tAve_" + name + "_Cost\tStdDev_" + name + "_Cost\tMin_" + name + "_Cost\tMax_" +
           name + "_Cost\t";
  sat += "Best_Due_To_Aspiration\t";
  GLSSATStats stats;
  std::ostringstream header, weightedHeader;
  stats.WriteHeader(header);
  EXPECT_EQ(header.str(), sat);
  stats.SetWeighted(true);
  stats.Reset();  // the weighted flag survives a reset
  stats.WriteHeader(weightedHeader);
  EXPECT_EQ(weightedHeader.str(), "Best_Found_Solution_Max_Cost\t" + sat);

  GLSSATParameters parameters;
  std::ostringstream defaults;
  parameters.WriteOptions(defaults);
  EXPECT_EQ(defaults.str(),
            "+seed 101 +pickrecency +randomrestarts +maxrepairs 10000 +numruns 20 +GLS +lambda 1 "
            "+repairsbeforepenalise 2 -upwards +penaliseselective +amountcostutil +cheapstatsonly -keeprunning ");
}

// Costs near 10^9 with a small spread: E[x^2] - E[x]^2 in doubles would lose
// the spread, the exact sums keep it.
TEST(GLSSATDifferential, SeriesSummariesAreExactForLargeCosts) {
  ValueSeries series("Visited_Solution", "Cost");
  const std::uint64_t base = 1000000000;
  for (std::uint64_t i = 0; i < 1000; ++i) series.Add(base + (i % 3));  // 0, 1, 2: 334, 333, 333 times
  std::ostringstream row;
  series.WriteRow(row);
  EXPECT_EQ(row.str(), "1000\t1e+09\t0.8167\t1e+09\t1e+09\t");
  const double mean = 0.999, variance = (334 * mean * mean + 333 * (1 - mean) * (1 - mean) +
                                         333 * (2 - mean) * (2 - mean)) / 1000;
  EXPECT_NEAR(series.Mean() - static_cast<double>(base), mean, 1e-6);
  EXPECT_NEAR(series.StandardDeviation(), std::sqrt(variance), 1e-9);
}

}  // namespace
}  // namespace mirelock
