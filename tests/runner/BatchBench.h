#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <string>
#include <vector>

#include "FakeSolver.h"
#include "common/TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"
#include "runner/SeedRecord.h"

namespace mirelock::test {

// `count` experiments of `runs` runs each, told apart by lambda (0.25, 0.5, ...).
inline std::vector<CExperiment> Experiments(int count, unsigned runs) {
  std::vector<CExperiment> experiments(count);
  for (int i = 0; i < count; ++i) {
    experiments[i].m_nNumRuns = runs;
    experiments[i].m_dLambda = 0.25 * (i + 1);
  }
  return experiments;
}

// "p0.cnf", "p1.cnf", ... (append: g++ 12 warns wrongly of overlapping copies in "p" + ...)
inline std::vector<std::string> Names(int count, const std::string& ext = ".cnf") {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(std::string("p").append(std::to_string(i)).append(ext));
  return names;
}

inline BatchPartition Jobs(unsigned jobs, unsigned shard = 0, unsigned shards = 1) {
  BatchPartition partition;
  partition.jobs = jobs;
  partition.shardIndex = shard;
  partition.shardCount = shards;
  return partition;
}

// Waits for a signal from a worker, failing the test rather than hanging it.
inline void Await(std::future<void> signal) {
  ASSERT_EQ(signal.wait_for(std::chrono::seconds(60)), std::future_status::ready);
}

// The files of a results folder but the record of the seeds its batches used
// and the trace files beside the results files (TraceFileTest covers those).
inline std::vector<std::string> ResultsListing(const std::string& directory) {
  std::vector<std::string> names = ListDir(directory);
  std::erase(names, std::string(kSeedRecordName));
  std::erase_if(names, [](const std::string& name) { return name.ends_with(".trace"); });
  return names;
}

// A document over a problems and a results folder of a temporary directory,
// solved by fake solvers; each problem file holds its own name.
struct Bench {
  TempDir dir;
  RecordingMessages messages;
  CMirelockDoc doc{&messages};
  FakeSolverConfig config;

  Bench(const std::vector<std::string>& problems, std::vector<CExperiment> experiments,
        ProblemType type = kProblemSAT) {
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
  bool Complete(const std::string& problem, const CExperiment& ex) const {
    return IsResultsFileComplete(doc.m_strResultsDir, doc.m_nProblemType, problem, ex);
  }

  // The request a worker makes for a pair of `problem` and an experiment of `runs` runs.
  ResultsFileRequest Request(const std::string& problem, unsigned runs = 3) const {
    ResultsFileRequest request;
    request.problemName = problem;
    request.problemPath = doc.m_strProblemsDir + problem;
    request.resultsDirectory = doc.m_strResultsDir;
    request.experiment = Experiments(1, runs)[0];
    request.resultsFileName = GetResultsFilename(doc.m_nProblemType, problem, request.experiment);
    return request;
  }

  // Runs a whole batch with fresh run controls, waits for its end and tells how it ended.
  RunOutcome Run(BatchPartition partition = {}) {
    RunControls controls(doc, messages, FakeFactory(config));
    controls.SetPartition(partition);
    controls.Start();
    EXPECT_TRUE(controls.WaitForWorkerEnd(std::chrono::seconds(60)));
    return controls.LastOutcome();
  }

  // Every results file by name, with its contents.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& name : ResultsListing(doc.m_strResultsDir)) files[name] = ReadFile(doc.m_strResultsDir + name);
    return files;
  }
};

}  // namespace mirelock::test
