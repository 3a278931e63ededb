#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

// Runs every run of an experiment the way the batch runner does and returns
// the results lines without their time columns.
struct Experiment {
  unsigned repairsPerN = 100;  // the absolute limit when perSizeLimit is false
  bool perSizeLimit = true;
  unsigned runs = 2;
  double lambda = 1.0;
  bool aspiration = true;
  bool history = false;
  double randomMoves = 0;
  unsigned decayPeriod = 0;
  double decayFactor = 0.8;
  int sideways = 2;
  unsigned seed = 21;
};

inline void ApplyExperiment(QAPSolver& solver, const Experiment& e) {
  SolverParameters& p = solver.GetParameters();
  if (e.perSizeLimit) p.SetMaxRepairsPerN(e.repairsPerN);
  else p.SetMaxRepairs(e.repairsPerN);
  p.SetNumRuns(e.runs);
  p.SetLambda(e.lambda);
  p.SetRandomMoves(e.randomMoves);
  p.SetAspiration(e.aspiration);
  p.SetHistory(e.history);
  if (e.decayPeriod > 0) p.SetPenaltyDecay(e.decayPeriod, e.decayFactor);
  p.SetSidewaysMoves(e.sideways);
  p.SetSeed(e.seed);
}

// `source` is a file's path or an instance's text.
inline std::vector<std::string> RunLines(const std::string& source, const Experiment& e,
                                         bool forceWide = false) {
  QAPSolver solver;
  if (source.find('\n') == std::string::npos) {
    ReadProblem(solver.Problem(), source);
  } else {
    std::istringstream in(source);
    solver.Problem().Read(in);
  }
  if (forceWide) solver.Problem().ForceWideArithmetic();
  ApplyExperiment(solver, e);
  std::vector<std::string> lines;
  for (unsigned run = 0; run < solver.GetParameters().GetNumRuns(); ++run) {
    solver.Solve();
    std::ostringstream row;
    UseDefaultNumberFormat(row);
    solver.GetStats().WriteRow(row);
    solver.GetParameters().WriteOptions(row);
    lines.push_back(BlankColumn(row.str(), 3));
  }
  return lines;
}

}  // namespace mirelock::test
