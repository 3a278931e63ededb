#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/NumberFormat.h"
#include "qap/QAPProblem.h"
#include "qap/QAPSolver.h"
#include "solver/SolverTestSupport.h"

namespace mirelock::test {

inline void ReadProblem(QAPProblem& problem, const std::string& path) {
  std::ifstream in(path);
  ASSERT_TRUE(in.is_open()) << path;
  problem.SetSourceName(path);
  problem.Read(in);
}

inline QAPProblem LoadProblem(const std::string& path) {
  QAPProblem problem;
  ReadProblem(problem, path);
  return problem;
}

// The QAP tests' defaults: 100 repairs per item, 2 runs, aspiration.
inline Experiment QAPExperiment() { return {.maxRepairs = 100, .runs = 2, .aspiration = true}; }

// Every run of an experiment the way the batch runner does them, on a file
// or an instance's text: the results lines with the time column blanked.
inline std::vector<std::string> RunLines(const std::string& source, const Experiment& e, bool forceWide = false) {
  QAPSolver solver;
  Load(solver, source);
  if (forceWide) solver.Problem().ForceWideArithmetic();
  Apply(solver.GetParameters(), e);
  return RunRows(solver, 3);
}

}  // namespace mirelock::test
