// The runner with the solvers of the factory, on the bundled examples.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/NumberFormat.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"
#include "solver/factory/SolverFactory.h"

namespace mirelock::test {
namespace {

const std::string kExamples = std::string(MIRELOCK_SOURCE_DIR) + "/examples/";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(RealSolverTest, SolveOfASatInstancePrintsTheHeaderAndTenLinesWithTheOptionText) {
  auto solver = CreateSolver(kProblemSAT);
  ASSERT_NE(solver, nullptr);
  ResultsFileRequest request;
  request.problemName = "uf20-01.cnf";
  request.problemPath = kExamples + "sat/uf20-01.cnf";
  request.resultsFileName = "standard output";
  ResultsFileHooks hooks;  // default run settings: a fixed seed of 21
  std::ostringstream out;
  UseDefaultNumberFormat(out);
  ASSERT_EQ(WritePairLines(*solver, out, request, hooks, [] { return true; }), PairOutcome::kFinished);

  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0].substr(0, 13), "Problem_name\t");
  EXPECT_EQ(lines[0].substr(lines[0].size() - 8), "\tOptions");
  const std::string options =
      "+seed 21 +pickbest +randomrestarts +maxnrepairs 1000 +numruns 10 +GLS +lambda 1 "
      "+repairsbeforepenalise 2 "
      "-upwards +penaliseselective +amountcostutil +cheapstatsonly -keeprunning ";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(0, 12), "uf20-01.cnf\t");
    ASSERT_GE(lines[i].size(), options.size());
    EXPECT_EQ(lines[i].substr(lines[i].size() - options.size()), options) << lines[i];
  }
}

TEST(RealSolverTest, BatchOverSatAndMaxSatExamplesWritesCompleteFiles) {
  for (ProblemType type : {kProblemSAT, kProblemMaxSAT}) {
    TempDir dir;
    RecordingMessages messages;
    CMirelockDoc doc(&messages);
    doc.m_nProblemType = type;
    doc.m_strProblemsDir = dir.Sub("problems");
    doc.m_strResultsDir = dir.Sub("results");
    const std::string problem = type == kProblemSAT ? "uf20-01.cnf" : "jnh1.sat";
    std::filesystem::copy_file(kExamples + (type == kProblemSAT ? "sat/" : "maxsat/") + problem,
                               doc.m_strProblemsDir + problem);
    CExperiment a;
    a.m_nMaxRepairs = 2;
    a.m_nNumRuns = 2;
    CExperiment b = a;
    b.m_nSideways = 5;
    doc.m_experiments = {a, b};

    RunControls controls(doc, messages);
    controls.Start();
    controls.WaitForWorkerEnd();
    EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Finished Solving.."});
    for (const CExperiment& ex : doc.m_experiments) {
      EXPECT_TRUE(IsResultsFileComplete(doc.m_strResultsDir, type, problem, ex));
      const auto lines = Lines(ReadFile(doc.m_strResultsDir + GetResultsFilename(type, problem, ex)));
      ASSERT_EQ(lines.size(), 3u);
      EXPECT_EQ(lines[1].substr(0, problem.size() + 1), problem + "\t");
    }
  }
}

TEST(RealSolverTest, MonitorRunWritesALineEveryRRepairsOfTheLastRun) {
  TempDir dir;
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_nProblemType = kProblemMaxSAT;
  doc.m_strProblemsDir = kExamples + "maxsat/";
  doc.m_strResultsDir = dir.Sub("results");
  doc.m_strMonitorProblem = kExamples + "maxsat/jnh1.sat";
  doc.m_strMonitorOutputFile = dir.Path() + "monitor.txt";
  doc.m_monitorExperiment.m_nMaxRepairs = 5;
  doc.m_monitorExperiment.m_nNumRuns = 2;
  doc.m_nMonitorEvery = 100;

  RunControls controls(doc, messages);
  controls.SolveProblem();
  controls.WaitForWorkerEnd();
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Finished Solving.."});

  const auto monitor = Lines(ReadFile(doc.m_strMonitorOutputFile));
  ASSERT_GE(monitor.size(), 2u);
  EXPECT_EQ(monitor[0].substr(0, 33), "Repairs\tCurrent_Cost\tCurrent_Aug_");
  long previous = -1;
  for (std::size_t i = 1; i < monitor.size(); ++i) {
    const long repairs = std::stol(monitor[i].substr(0, monitor[i].find('\t')));
    EXPECT_EQ(repairs % 100, 0) << monitor[i];
    EXPECT_GT(repairs, previous) << "a second run's lines";  // one run only: repairs only grow
    previous = repairs;
  }
  const std::string results = GetResultsFilename(kProblemMaxSAT, "jnh1_monitor_run", doc.m_monitorExperiment);
  EXPECT_TRUE(IsResultsFileComplete(doc.m_strResultsDir, kProblemMaxSAT, "jnh1_monitor_run",
                                    doc.m_monitorExperiment));
  EXPECT_EQ(ListDir(doc.m_strResultsDir), std::vector<std::string>{results});
}

}  // namespace
}  // namespace mirelock::test
