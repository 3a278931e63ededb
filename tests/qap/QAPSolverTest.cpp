#include "qap/QAPSolver.h"

#include <gtest/gtest.h>

#include <thread>

#include "qap/QAPTestHelpers.h"

namespace mirelock {
namespace {

using test::Experiment;
using test::RunLines;
using test::TestData;

// Instances that fit in 32 bits give the same lines when searched with
// 64-bit costs; the history pick, which the reference comparison leaves out
// (its ties depend on the list order), on published instances of two types.
// The option text names the history picks.
TEST(QAPSolver, WideArithmeticGivesTheSameLinesWithHistory) {
  std::vector<Experiment> experiments(2, test::QAPExperiment());
  experiments[0].history = true;
  experiments[0].randomMoves = 0.05;
  experiments[1].sideways = 0;
  experiments[1].history = true;
  experiments[1].aspiration = false;
  experiments[1].decayEvery = 5;
  for (const char* name : {"qap/nug12.dat", "qap/bur26a.dat"}) {
    for (const Experiment& e : experiments) {
      const auto narrow = RunLines(TestData(name), e);
      EXPECT_EQ(narrow, RunLines(TestData(name), e, true)) << name;
      EXPECT_NE(narrow[0].find(e.aspiration ? " -pick HistAspiration " : " -pick Hist "), std::string::npos);
    }
  }
}

TEST(QAPSolver, EdgeRuns) {
  // Every permutation of esc16f costs 0: the first local minimum penalises nothing and the run ends.
  {
    QAPSolver solver;
    test::ReadProblem(solver.Problem(), TestData("qap/esc16f.dat"));
    solver.Solve();
    EXPECT_EQ(solver.Stats().LocalMinima(), 1u);
    EXPECT_EQ(solver.Stats().BestCost(), 0);
    EXPECT_LE(solver.Stats().Repairs(), 2u);
    EXPECT_EQ(solver.Parameters().maxRepairs, 16u * 4000);  // 4000 per item when no limit is set
  }
  // A stop request ends the run at its next termination test.
  {
    QAPSolver solver;
    test::ReadProblem(solver.Problem(), TestData("qap/nug12.dat"));
    solver.Stop();
    solver.Solve();
    EXPECT_EQ(solver.Stats().Repairs(), 0u);
  }
}

// A solver given a second instance searches that one: of another size (which used to run over the
// first instance's arrays) or of the same size (which used to search the first instance's matrices).
// Its run equals a fresh solver's run of the same number.
TEST(QAPSolver, ASecondInstanceGetsItsOwnSearch) {
  for (const char* second : {"qap/bur26a.dat", "qap/tai12a.dat"}) {
    QAPSolver reused, fresh;
    for (QAPSolver* solver : {&reused, &fresh}) {
      solver->Parameters().SetMaxRepairs(3000);
      solver->Parameters().SetSeed(11);
    }
    test::ReadProblem(reused.Problem(), TestData("qap/nug12.dat"));
    reused.Solve();
    test::ReadProblem(reused.Problem(), TestData(second));
    reused.Solve();
    test::ReadProblem(fresh.Problem(), TestData(second));
    fresh.Solve();
    fresh.Solve();
    EXPECT_EQ(reused.BestPermutation().size(), fresh.Problem().Size()) << second;
    EXPECT_EQ(reused.BestPermutation(), fresh.BestPermutation()) << second;
    EXPECT_EQ(reused.Stats().BestCost(), fresh.Stats().BestCost()) << second;
    EXPECT_EQ(reused.Stats().BestCost(), reused.Problem().Cost(reused.BestPermutation())) << second;
  }
}

TEST(QAPSolver, MonitorLines) {
  for (unsigned period : {5u, 0u}) {
    QAPSolver solver;
    test::ReadProblem(solver.Problem(), TestData("qap/nug12.dat"));
    const auto lines = test::MonitorLines(solver, 40, period);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("Repairs\tBest_Cost\tCost\tAugmented_Cost\tBest_cost\t", 0), 0u);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\t'), 24);  // 24 fields
  }
}

// Each worker thread keeps its own aspiration memory, so solvers on several
// threads give the same lines as one alone.
TEST(QAPSolver, ConcurrentWorkersAgree) {
  const Experiment e = test::QAPExperiment();
  std::vector<std::string> alone;
  std::thread([&] { alone = RunLines(TestData("qap/chr12a.dat"), e); }).join();
  std::vector<std::vector<std::string>> results(2);
  std::vector<std::thread> workers;
  for (auto& result : results)
    workers.emplace_back([&] { result = RunLines(TestData("qap/chr12a.dat"), e); });
  for (auto& worker : workers) worker.join();
  for (const auto& result : results) EXPECT_EQ(result, alone);
}

}  // namespace
}  // namespace mirelock
