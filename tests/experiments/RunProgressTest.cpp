// Every solver publishes where its run stands at its termination tests, so a
// progress display on another thread sees a long run move: the repairs so far
// grow while the run goes on, and the limit is the run's repair limit.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "solver/factory/SolverFactory.h"

namespace mirelock {
namespace {

TEST(RunProgress, EverySolverPublishesItsRepairsAndLimitWhileItRuns) {
  const std::pair<ProblemType, const char*> problems[] = {
      {kProblemSAT, "sat/uuf50-01.cnf"}, {kProblemQAP, "qap/nug12.dat"}, {kProblemTSP, "tsp/eil51.tsp"}};
  constexpr unsigned kLimit = 2000000000u;  // far more than the test waits for
  for (const auto& [type, file] : problems) {
    SCOPED_TRACE(file);
    std::unique_ptr<Solver> solver = CreateSolver(type);
    ASSERT_NE(solver, nullptr);
    std::ifstream in(std::string(MIRELOCK_TEST_DATA) + "/" + file);
    solver->GetProblem().Read(in);
    solver->GetParameters().SetMaxRepairs(kLimit);
    std::thread run([&] { solver->Solve(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::uint64_t first = 0, later = 0;
    while (std::chrono::steady_clock::now() < deadline && (first = solver->PublishedRunProgress().repairs) < 100)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    while (std::chrono::steady_clock::now() < deadline && (later = solver->PublishedRunProgress().repairs) <= first)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Solver::RunProgressMark mark = solver->PublishedRunProgress();
    solver->Stop();
    run.join();
    EXPECT_GE(first, 100u);
    EXPECT_GT(later, first);
    EXPECT_EQ(mark.limit, kLimit);
    EXPECT_LT(mark.repairs, kLimit);
  }
}

}  // namespace
}  // namespace mirelock
