#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <thread>

#include "BatchBench.h"
#include "FakeSolver.h"
#include "TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"

namespace mirelock::test {
namespace {

std::vector<CExperiment> TwoExperiments(unsigned runs = 2) {
  CExperiment a;
  a.m_nNumRuns = runs;
  CExperiment b = a;
  b.m_dLambda = 0.5;
  return {a, b};
}

TEST(BatchRunTest, WritesOneCompleteFilePerPairAndResumesOnlyIncompletePairs) {
  for (ProblemType type : {kProblemSAT, kProblemMaxSAT}) {
    const std::string ext = type == kProblemSAT ? ".cnf" : ".sat";
    Bench bench(type, {"b" + ext, "a" + ext, "c.CNF", "other.dat"}, TwoExperiments());
    const std::vector<std::string> problems = type == kProblemSAT
                                                  ? std::vector<std::string>{"a.cnf", "b.cnf", "c.CNF"}
                                                  : std::vector<std::string>{"a.sat", "b.sat"};
    bench.Run();
    EXPECT_EQ(bench.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
    // Natural order is by name, experiments in list order within a problem.
    std::vector<std::string> expected;
    for (const auto& p : problems) expected.insert(expected.end(), {p, p});
    EXPECT_EQ(bench.config.Pairs(), expected);
    for (const auto& p : problems)
      for (const auto& ex : bench.doc.m_experiments)
        EXPECT_TRUE(IsResultsFileComplete(bench.doc.m_strResultsDir, type, p, ex)) << p;
    EXPECT_EQ(ListDir(bench.doc.m_strResultsDir).size(), problems.size() * 2);
    EXPECT_EQ(bench.doc.m_nProblemsSolved, problems.size());
    EXPECT_EQ(bench.doc.m_solvedProblems, problems);

    // Nothing left to do.
    bench.Run();
    EXPECT_EQ(bench.config.Created(), static_cast<int>(problems.size() * 2));

    // A deleted file and a file cut by one line: exactly those pairs run again.
    const std::string cutPath = bench.ResultsPath(problems[1], bench.doc.m_experiments[1]);
    const std::string full = ReadFile(cutPath);
    std::filesystem::remove(bench.ResultsPath(problems[0], bench.doc.m_experiments[0]));
    WriteFile(cutPath, full.substr(0, full.rfind('\n', full.size() - 2) + 1));
    bench.config.solvedPairs.clear();
    bench.Run();
    EXPECT_EQ(bench.config.Pairs(), (std::vector<std::string>{problems[0], problems[1]}));
    EXPECT_EQ(ReadFile(cutPath), full);
  }
}

TEST(BatchRunTest, ZeroRunsGiveHeaderOnlyFilesThatCountAsComplete) {
  Bench bench(kProblemSAT, {"a.cnf"}, TwoExperiments(0));
  bench.Run();
  for (const auto& ex : bench.doc.m_experiments)
    EXPECT_EQ(ReadFile(bench.ResultsPath("a.cnf", ex)), "Problem_name\tRun\tValue\tOptions\n");
  bench.Run();
  EXPECT_EQ(bench.config.Created(), 2);
}

TEST(BatchRunTest, MessagesForNothingToDoAndForErrorsThatEndTheBatch) {
  {
    Bench bench(kProblemQAP, {}, TwoExperiments());
    RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
    controls.Start();
    controls.WaitForWorkerEnd();
    EXPECT_EQ(bench.messages.Messages(),
              (std::vector<std::string>{
                  "Please make sure the problems directory contains some problems of the current type",
                  "Finished Solving.."}));
    EXPECT_EQ(bench.doc.m_nTotalProblems, 0u);
    EXPECT_EQ(controls.ProgressText(), "");
    EXPECT_FALSE(controls.IsRunning());
  }
  {
    Bench bench(kProblemQAP, {"a.dat"}, {});
    bench.Run();
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{"No experiments in the experiment list to run\n"});
  }
  {
    std::vector<CExperiment> experiments = TwoExperiments();
    experiments[1].m_bHistory = true;
    Bench bench(kProblemTSP, {"a.tsp", "b.tsp"}, experiments);
    RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
    controls.Start();
    controls.WaitForWorkerEnd();
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{"History is not yet implemented for the current problem type"});
    EXPECT_EQ(controls.LastOutcome(), RunOutcome::kError);
    EXPECT_TRUE(IsResultsFileComplete(bench.doc.m_strResultsDir, kProblemTSP, "a.tsp", experiments[0]));
    EXPECT_EQ(ReadFile(bench.ResultsPath("a.tsp", experiments[1])), "Problem_name\tRun\tValue\tOptions\n");
    EXPECT_FALSE(std::filesystem::exists(bench.ResultsPath("b.tsp", experiments[0])));
  }
  {
    // A missing results directory is made, parents and all, before the first pair.
    Bench bench(kProblemSAT, {"a.cnf"}, TwoExperiments());
    bench.doc.m_strResultsDir = bench.dir.Path() + "missing/deeper/";
    bench.Run();
    EXPECT_EQ(bench.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
    EXPECT_EQ(ListDir(bench.doc.m_strResultsDir).size(), 2u);
  }
  {
    // One that cannot be made: the first pair says which file it could not write.
    Bench bench(kProblemSAT, {"a.cnf"}, TwoExperiments());
    WriteFile(bench.dir.Path() + "plain-file", "");
    bench.doc.m_strResultsDir = bench.dir.Path() + "plain-file/results/";
    bench.Run();
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{
                  "Failed to open results file: " + bench.ResultsPath("a.cnf", bench.doc.m_experiments[0]) +
                  ". Check directory " + bench.doc.m_strResultsDir + " exists and is writable"});
  }
  {
    // A reader's fatal error ends the batch and is handed to the front end.
    Bench bench(kProblemSAT, {"a.cnf"}, TwoExperiments());
    WriteFile(bench.doc.m_strProblemsDir + "a.cnf", "FATAL");
    RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
    std::string seen;
    controls.SetFatalErrorHandler([&](const FatalError& e) { seen = e.Text(); });
    controls.Start();
    controls.WaitForWorkerEnd();
    EXPECT_EQ(seen, "fake reader: bad file");
    EXPECT_EQ(controls.LastOutcome(), RunOutcome::kFatal);
    ASSERT_TRUE(controls.LastFatalError().has_value());
    EXPECT_EQ(controls.LastFatalError()->ExitStatus(), 3);
    // The reader's text does not name the file; the error carries it for the user.
    EXPECT_EQ(controls.LastFatalError()->Source(), bench.doc.m_strProblemsDir + "a.cnf");
    EXPECT_EQ(controls.LastFatalError()->SourceNote(),
              "(while reading " + bench.doc.m_strProblemsDir + "a.cnf)");
    EXPECT_EQ(bench.config.Created(), 1);
  }
}

TEST(BatchRunTest, RandomOrderingSolvesEveryProblemOnce) {
  Bench bench(kProblemSAT, {"a.cnf", "b.cnf", "c.cnf", "d.cnf", "e.cnf"}, {CExperiment{}});
  bench.doc.m_experiments[0].m_nNumRuns = 1;
  bench.doc.m_nProblemOrdering = 1;
  bench.Run();
  std::vector<std::string> solved = bench.doc.m_solvedProblems;
  std::sort(solved.begin(), solved.end());
  EXPECT_EQ(solved, (std::vector<std::string>{"a.cnf", "b.cnf", "c.cnf", "d.cnf", "e.cnf"}));
}

// Everything the results directory holds, by file name.
std::map<std::string, std::string> ResultsOf(const Bench& bench) {
  std::map<std::string, std::string> files;
  for (const auto& name : ListDir(bench.doc.m_strResultsDir))
    files[name] = ReadFile(bench.doc.m_strResultsDir + name);
  return files;
}

TEST(BatchRunTest, StopPausesAtATerminationTestAndStartContinuesWithIdenticalLines) {
  const std::vector<std::string> problems{"a.cnf", "b.cnf"};
  Bench reference(kProblemSAT, problems, TwoExperiments(3));
  reference.Run();

  Bench bench(kProblemSAT, problems, TwoExperiments(3));
  RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
  std::promise<void> stopped;
  bench.config.onStep = [&](int solverId, unsigned run, unsigned step) {
    if (solverId == 2 && run == 2 && step == 7) {
      controls.Stop();
      stopped.set_value();
    }
  };
  controls.Start();
  EXPECT_TRUE(controls.IsRunning());
  stopped.get_future().wait();
  ASSERT_TRUE(controls.CurrentPauseGate()->WaitUntilParked());
  EXPECT_FALSE(controls.IsRunning());
  EXPECT_TRUE(controls.HasWorker());
  EXPECT_EQ(controls.ProgressText(), "");
  // The progress display sees the paused worker on its second pair, second run of three.
  const RunProgress paused = controls.Progress();
  EXPECT_TRUE(paused.hasWorker);
  EXPECT_FALSE(paused.running);
  EXPECT_EQ(paused.pairsTotal, 4u);
  EXPECT_EQ(paused.pairsDone, 1u);
  EXPECT_EQ(paused.pairsSkipped, 0u);
  EXPECT_EQ(paused.experimentCount, 2u);
  ASSERT_EQ(paused.workers.size(), 1u);
  EXPECT_EQ(paused.workers[0].problem, "a.cnf");
  EXPECT_EQ(paused.workers[0].experimentIndex, 1u);
  EXPECT_EQ(paused.workers[0].experiment, bench.doc.m_experiments[1]);
  EXPECT_EQ(paused.workers[0].run, 2u);
  EXPECT_EQ(paused.workers[0].runs, 3u);
  EXPECT_DOUBLE_EQ(paused.WorkFraction(), (1.0 + 1.0 / 3.0) / 4.0);
  EXPECT_EQ(paused.lastRunStarted, 2u);
  EXPECT_FALSE(paused.lastRunWasMonitor);
  // Paused mid-pair: nothing of that pair is under its name yet.
  EXPECT_FALSE(std::filesystem::exists(bench.ResultsPath("a.cnf", bench.doc.m_experiments[1])));

  controls.Start();
  EXPECT_TRUE(controls.IsRunning());
  controls.WaitForWorkerEnd();
  EXPECT_EQ(controls.LastOutcome(), RunOutcome::kFinished);
  EXPECT_EQ(ResultsOf(bench), ResultsOf(reference));
  EXPECT_EQ(bench.config.Created(), 4);
  EXPECT_FALSE(controls.IsRunning());
  EXPECT_FALSE(controls.Progress().hasWorker);
}

TEST(BatchRunTest, StartAfterAListEditAbandonsThePausedWorkerAndResumesFromTheFirstUnsolvedPair) {
  Bench bench(kProblemSAT, {"a.cnf", "b.cnf"}, TwoExperiments(3));
  RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
  std::promise<void> stopped;
  std::promise<void> releaseSuccessor;
  std::shared_future<void> release = releaseSuccessor.get_future().share();
  std::promise<void> successorBlocked;
  bench.config.onStep = [&](int solverId, unsigned run, unsigned step) {
    if (solverId == 2 && run == 2 && step == 3) {  // a.cnf, second experiment
      controls.Stop();
      stopped.set_value();
    }
    if (solverId == 3 && run == 1 && step == 0) {  // the successor's first solver
      successorBlocked.set_value();
      release.wait();
    }
  };
  controls.Start();
  stopped.get_future().wait();
  ASSERT_TRUE(controls.CurrentPauseGate()->WaitUntilParked());
  EXPECT_EQ(bench.doc.m_strCurrentProblem, "a.cnf");

  // The list gains an experiment while the worker is paused.
  CExperiment third = bench.doc.m_experiments[0];
  third.m_nSideways = 5;
  bench.doc.m_experiments.push_back(third);
  bench.doc.m_bSettingsChanged = true;
  controls.Start();
  EXPECT_TRUE(bench.doc.m_bSettingsChanged);  // Start leaves it set

  // The abandoned worker ends while its successor is held inside a run: the
  // successor keeps its record and the running flag.
  successorBlocked.get_future().wait();
  while (controls.UnfinishedWorkerCount() > 1) std::this_thread::yield();
  EXPECT_TRUE(controls.HasWorker());
  EXPECT_TRUE(controls.IsRunning());
  releaseSuccessor.set_value();
  controls.WaitForWorkerEnd();

  // a.cnf/exp0 was done; the successor started at a.cnf/exp1.
  EXPECT_EQ(bench.config.Pairs(),
            (std::vector<std::string>{"a.cnf", "a.cnf", "a.cnf", "a.cnf", "b.cnf", "b.cnf", "b.cnf"}));
  for (const auto& p : {"a.cnf", "b.cnf"})
    for (const auto& ex : bench.doc.m_experiments)
      EXPECT_TRUE(IsResultsFileComplete(bench.doc.m_strResultsDir, kProblemSAT, p, ex));
  EXPECT_EQ(bench.doc.m_nProblemsSolved, 2u);
  EXPECT_EQ(bench.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
}

TEST(BatchRunTest, MonitorRunSolvesTheChosenProblemWithRReadWhenApplied) {
  Bench bench(kProblemSAT, {"a.cnf", "b.cnf"}, {});
  bench.doc.m_strMonitorProblem = bench.doc.m_strProblemsDir + "b.cnf";
  bench.doc.m_strMonitorOutputFile = bench.dir.Path() + "monitor.txt";
  bench.doc.m_monitorExperiment.m_nNumRuns = 2;
  bench.doc.m_nMonitorEvery = 7;
  RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
  bench.doc.m_bSettingsChanged = true;
  controls.SolveProblem();
  EXPECT_FALSE(bench.doc.m_bSettingsChanged);
  bench.doc.m_nMonitorEvery = 100;  // read when the experiment is handed over, not at creation
  controls.WaitForWorkerEnd();
  EXPECT_EQ(bench.config.Pairs(), std::vector<std::string>{"b.cnf"});
  EXPECT_EQ(bench.config.monitorFile, bench.doc.m_strMonitorOutputFile);
  EXPECT_TRUE(bench.config.monitorEvery == 7 || bench.config.monitorEvery == 100);
  EXPECT_EQ(bench.doc.m_nTotalProblems, 1u);
  const std::string name = GetResultsFilename(kProblemSAT, "b_monitor_run", bench.doc.m_monitorExperiment);
  EXPECT_EQ(ListDir(bench.doc.m_strResultsDir), std::vector<std::string>{name});
  const std::string text = ReadFile(bench.doc.m_strResultsDir + name);
  EXPECT_NE(text.find("\n" + bench.doc.m_strMonitorProblem + "\t2\t"), std::string::npos);

  // Without a monitor problem, Solve problem runs the batch.
  bench.doc.m_strMonitorProblem.clear();
  bench.doc.m_experiments = TwoExperiments(1);
  controls.SolveProblem();
  controls.WaitForWorkerEnd();
  EXPECT_EQ(bench.config.Created(), 5);
}

TEST(BatchRunTest, CancelEndsTheRunKeepingFinishedLines) {
  Bench bench(kProblemSAT, {"a.cnf", "b.cnf"}, TwoExperiments(3));
  RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
  bench.config.onStep = [&](int solverId, unsigned run, unsigned step) {
    if (solverId == 1 && run == 3 && step == 2) controls.Cancel();
  };
  controls.Start();
  controls.WaitForWorkerEnd();
  EXPECT_EQ(controls.LastOutcome(), RunOutcome::kStopped);
  EXPECT_TRUE(bench.messages.Messages().empty());
  EXPECT_EQ(bench.config.Created(), 1);
  EXPECT_EQ(CountResultsFileLines(bench.ResultsPath("a.cnf", bench.doc.m_experiments[0])), 3u);
  EXPECT_EQ(ListDir(bench.doc.m_strResultsDir).size(), 1u);
}

}  // namespace
}  // namespace mirelock::test
