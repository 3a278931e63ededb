// The full-scan search's rows pinned: default-rows.txt holds what the build
// before fast local search existed wrote (`mirelock solve FILE --runs 2
// --max-repairs 100 [--aspiration on --random-moves 0.05 --sideways 5
// --lambda 0.3]`, CPU time blanked) for every TSP test instance. An
// experiment that does not ask for fast local search must write them still.
#include <gtest/gtest.h>

#include <filesystem>

#include "solver/SolverTestSupport.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

TEST(TSPSolver, DefaultRowsAreThoseOfTheBuildBeforeFastLocalSearch) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(test::TestData("tsp")))
    if (entry.path().extension() == ".tsp") files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  std::vector<std::string> rows;
  for (const std::string& file : files) {
    for (int variant = 0; variant < 2; ++variant) {
      test::Experiment e;
      e.maxRepairs = 100, e.runs = 2;
      if (variant == 1) e.aspiration = true, e.randomMoves = 0.05, e.sideways = 5, e.lambda = 0.3;
      TSPSolver solver;
      test::Load(solver, test::TestData("tsp/" + file));
      test::Apply(solver.GetParameters(), e);
      for (const std::string& row : test::RunRows(solver, 0)) rows.push_back(std::string(file).append("\t").append(row));
    }
  }
  EXPECT_EQ(rows, test::ReadLines(test::TestData("tsp/default-rows.txt")));
}

}  // namespace
}  // namespace mirelock
