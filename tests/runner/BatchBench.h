#pragma once
#include <map>
#include <string>
#include <vector>

#include "FakeSolver.h"
#include "TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"

namespace mirelock::test {

// A document over a problems and a results folder of a temporary directory,
// solved by fake solvers; each problem file holds its own name.
struct Bench {
  TempDir dir;
  RecordingMessages messages;
  CMirelockDoc doc{&messages};
  FakeSolverConfig config;

  Bench(ProblemType type, const std::vector<std::string>& problems, std::vector<CExperiment> experiments) {
    doc.m_nProblemType = type;
    doc.m_strProblemsDir = dir.Sub("problems");
    doc.m_strResultsDir = dir.Sub("results");
    doc.m_experiments = std::move(experiments);
    doc.m_nSeedMode = kSeedFixed;
    doc.m_nFixedSeed = 21;
    for (const std::string& name : problems) WriteFile(doc.m_strProblemsDir + name, name);
  }

  std::string ResultsPath(const std::string& problem, const CExperiment& ex) const {
    return doc.m_strResultsDir + GetResultsFilename(doc.m_nProblemType, problem, ex);
  }

  // Runs a whole batch with fresh run controls, waits for its end and tells how it ended.
  RunOutcome Run(BatchPartition partition = {}) {
    RunControls controls(doc, messages, FakeFactory(config));
    controls.SetPartition(partition);
    controls.Start();
    controls.WaitForWorkerEnd();
    return controls.LastOutcome();
  }

  // Every results file by name, with its contents.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& name : ListDir(doc.m_strResultsDir)) files[name] = ReadFile(doc.m_strResultsDir + name);
    return files;
  }

  // How often each problem was read by a solver, over every run so far.
  std::map<std::string, int> ReadsPerProblem() {
    std::map<std::string, int> reads;
    for (const auto& problem : config.Pairs()) ++reads[problem];
    return reads;
  }
};

}  // namespace mirelock::test
