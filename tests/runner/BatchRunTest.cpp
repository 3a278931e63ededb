// Batch runs with fake solvers, with one worker, several and in shards: one
// complete file per pair with the same lines however the batch is split,
// every pair solved once, resume after an interruption, and stops, cancels
// and errors reaching every worker.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <set>
#include <thread>
#include <tuple>

#include "BatchBench.h"
#include "runner/ProgressLine.h"
#include "runner/TraceFile.h"
#include "runner/ResultsFileCheck.h"
#include "runner/ResultsNaming.h"

namespace mirelock::test {
namespace {

TEST(BatchRunTest, WritesOneCompleteFilePerPairAndResumesOnlyIncompletePairs) {
  for (ProblemType type : {kProblemSAT, kProblemMaxSAT}) {
    const std::string ext = type == kProblemSAT ? ".cnf" : ".sat";
    Bench bench({"b" + ext, "a" + ext, "c.CNF", "other.dat"}, Experiments(2, 2), type);
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
      for (const auto& ex : bench.doc.m_experiments) EXPECT_TRUE(bench.Complete(p, ex)) << p;
    EXPECT_EQ(ResultsListing(bench.doc.m_strResultsDir).size(), problems.size() * 2);
    EXPECT_EQ(bench.doc.m_nProblemsSolved, problems.size());
    EXPECT_EQ(bench.doc.m_solvedProblems, problems);

    bench.Run();  // nothing left to do
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
  // Zero runs: header-only files that count as complete.
  Bench zero({"a.cnf"}, Experiments(2, 0));
  zero.Run();
  zero.Run();
  EXPECT_EQ(zero.config.Created(), 2);
  for (const auto& ex : zero.doc.m_experiments)
    EXPECT_EQ(ReadFile(zero.ResultsPath("a.cnf", ex)), "Problem_name\tRun\tValue\tOptions\n");
}

TEST(BatchRunTest, MessagesForErrorsThatEndTheBatch) {
  {
    Bench bench({"a.dat"}, {}, kProblemQAP);
    bench.Run();
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{"No experiments in the experiment list to run\n"});
  }
  {
    // An unsupported setting ends the batch at its pair: earlier pairs complete, its own header only.
    auto experiments = Experiments(2, 2);
    experiments[1].m_bHistory = true;
    Bench bench({"a.tsp", "b.tsp"}, experiments, kProblemTSP);
    EXPECT_EQ(bench.Run(), RunOutcome::kError);
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{"History is not yet implemented for the current problem type"});
    EXPECT_TRUE(bench.Complete("a.tsp", experiments[0]));
    EXPECT_EQ(ReadFile(bench.ResultsPath("a.tsp", experiments[1])), "Problem_name\tRun\tValue\tOptions\n");
    EXPECT_FALSE(std::filesystem::exists(bench.ResultsPath("b.tsp", experiments[0])));
  }
  {
    // A missing results directory is made, parents and all, before the first pair.
    Bench bench({"a.cnf"}, Experiments(2, 2));
    bench.doc.m_strResultsDir = bench.dir.Path() + "missing/deeper/";
    bench.Run();
    EXPECT_EQ(bench.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
    EXPECT_EQ(ResultsListing(bench.doc.m_strResultsDir).size(), 2u);
  }
  {
    // One that cannot be made: said with the reason before anything is solved.
    Bench bench({"a.cnf"}, Experiments(2, 2));
    WriteFile(bench.dir.Path() + "plain-file", "");
    bench.doc.m_strResultsDir = bench.dir.Path() + "plain-file/results/";
    EXPECT_EQ(bench.Run(), RunOutcome::kError);
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{"Cannot make the results directory " + bench.doc.m_strResultsDir +
                                       ": Not a directory"});
    EXPECT_EQ(bench.config.Created(), 0);
  }
  {
    // A reader's fatal error ends the batch and reaches the front end naming the file.
    Bench bench({"a.cnf"}, Experiments(2, 2));
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
    EXPECT_EQ(controls.LastFatalError()->SourceNote(), "(while reading " + bench.doc.m_strProblemsDir + "a.cnf)");
    EXPECT_EQ(bench.config.Created(), 1);
  }
}

TEST(BatchRunTest, AnyNumberOfWorkersWritesTheSameFilesAndSolvesEachPairOnce) {
  const auto problems = Names(7);
  // "none" leaves the generator unseeded: the lines then show whatever state
  // a pair starts from, so a state left by an earlier pair would show here.
  for (std::uint32_t seedMode : {kSeedFixed, kSeedNone}) {
    for (std::uint32_t ordering : {0u, 1u}) {
      Bench reference(problems, Experiments(3, 2));
      reference.doc.m_nSeedMode = seedMode;
      reference.doc.m_nProblemOrdering = ordering;
      ASSERT_EQ(reference.Run(Jobs(1)), RunOutcome::kFinished);
      ASSERT_EQ(reference.Files().size(), 21u);
      EXPECT_EQ(reference.doc.m_solvedProblems != problems, ordering == 1);  // really shuffled

      for (unsigned jobs : {2u, 3u, 8u}) {
        SCOPED_TRACE(::testing::Message() << "seed mode " << seedMode << ", ordering " << ordering << ", jobs "
                                          << jobs);
        Bench batch(problems, Experiments(3, 2));
        batch.doc.m_nSeedMode = seedMode;
        batch.doc.m_nProblemOrdering = ordering;
        ASSERT_EQ(batch.Run(Jobs(jobs)), RunOutcome::kFinished);
        EXPECT_EQ(batch.Files(), reference.Files());
        EXPECT_EQ(batch.config.Created(), 21);
        std::map<std::string, int> reads;
        for (const auto& problem : batch.config.Pairs()) ++reads[problem];
        for (const auto& problem : problems) EXPECT_EQ(reads[problem], 3) << problem;
        // Every problem counted once, when its last pair is done.
        EXPECT_EQ(batch.doc.m_nProblemsSolved, 7u);
        EXPECT_EQ(batch.doc.m_nTotalProblems, 7u);
        EXPECT_EQ(std::set<std::string>(batch.doc.m_solvedProblems.begin(), batch.doc.m_solvedProblems.end()),
                  std::set<std::string>(problems.begin(), problems.end()));
        EXPECT_EQ(batch.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
      }
    }
  }
}

TEST(BatchRunTest, StopPausesAtATerminationTestAndStartContinuesWithIdenticalLines) {
  const auto problems = Names(3);
  Bench reference(problems, Experiments(2, 3));
  reference.Run(Jobs(1));
  for (unsigned jobs : {1u, 2u}) {
    SCOPED_TRACE(jobs);
    Bench bench(problems, Experiments(2, 3));
    RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
    controls.SetPartition(Jobs(jobs));
    std::promise<void> stopped;
    std::atomic<bool> once{false};
    bench.config.onStep = [&](int solverId, unsigned run, unsigned step) {
      if (solverId == static_cast<int>(jobs) + 1 && run == 2 && step == 5 && !once.exchange(true)) {
        controls.Stop();
        stopped.set_value();
      }
    };
    controls.Start();
    EXPECT_TRUE(controls.IsRunning());
    Await(stopped.get_future());
    ASSERT_TRUE(controls.CurrentPauseGate()->WaitUntilParked());
    EXPECT_FALSE(controls.IsRunning());
    EXPECT_TRUE(controls.HasWorker());
    EXPECT_EQ(controls.ProgressText(), "");
    if (jobs == 1) {
      // The progress display sees the paused worker on its second pair, second run of three.
      const RunProgress p = controls.Progress();
      EXPECT_EQ(std::tie(p.hasWorker, p.running, p.pairsTotal, p.pairsDone, p.pairsSkipped, p.experimentCount,
                         p.lastRunStarted, p.lastRunWasMonitor),
                std::make_tuple(true, false, 6u, 1u, 0u, 2u, 2u, false));
      ASSERT_EQ(p.workers.size(), 1u);
      const WorkerProgress& w = p.workers[0];
      EXPECT_EQ(std::tie(w.problem, w.experimentIndex, w.experiment, w.run, w.runs),
                std::make_tuple("p0.cnf", 1u, bench.doc.m_experiments[1], 2u, 3u));
      // Its run stands at step 5 of 50: the bar and the command line's progress line count that share.
      EXPECT_DOUBLE_EQ(*w.RunShare(), 0.1);
      EXPECT_DOUBLE_EQ(p.WorkFraction(), (1.0 + 1.1 / 3.0) / 6.0);
      EXPECT_EQ(FormatRunShares(p), "  [run 2 of 3, 10 %]");
      // Paused mid-pair: nothing of that pair is under its name yet.
      EXPECT_FALSE(std::filesystem::exists(bench.ResultsPath("p0.cnf", bench.doc.m_experiments[1])));
    }
    controls.Start();
    EXPECT_TRUE(controls.IsRunning());
    controls.WaitForWorkerEnd();
    EXPECT_EQ(controls.LastOutcome(), RunOutcome::kFinished);
    EXPECT_EQ(bench.Files(), reference.Files());
    EXPECT_EQ(bench.config.Created(), 6);
    EXPECT_FALSE(controls.IsRunning());
    EXPECT_FALSE(controls.Progress().hasWorker);
  }
}

TEST(BatchRunTest, CancelStopsEveryWorkerKeepingFinishedLinesAndTheNextRunCompletesTheBatch) {
  const auto problems = Names(4);
  Bench reference(problems, Experiments(2, 3));
  reference.Run(Jobs(1));
  for (unsigned jobs : {1u, 3u}) {
    SCOPED_TRACE(jobs);
    Bench batch(problems, Experiments(2, 3));
    {
      RunControls controls(batch.doc, batch.messages, FakeFactory(batch.config));
      controls.SetPartition(Jobs(jobs));
      const int victim = jobs == 1 ? 1 : 4;
      batch.config.onStep = [&](int solverId, unsigned run, unsigned step) {
        if (solverId == victim && run == 3 && step == 2) controls.Cancel();
      };
      controls.Start();
      controls.WaitForWorkerEnd();
      EXPECT_EQ(controls.LastOutcome(), RunOutcome::kStopped);
    }
    EXPECT_TRUE(batch.messages.Messages().empty());
    EXPECT_LT(batch.config.Created(), jobs == 1 ? 2 : 8);
    // Every file present is a complete file or a stopped pair's finished lines,
    // as one worker writes them; none is a temporary file.
    const auto expected = reference.Files();
    for (const auto& [name, text] : batch.Files()) {
      ASSERT_TRUE(expected.count(name)) << name;
      EXPECT_EQ(expected.at(name).rfind(text, 0), 0u) << name;
      EXPECT_TRUE(!text.empty() && text.back() == '\n') << name;
    }
    if (jobs == 1) {  // header and the two finished runs of the first pair
      EXPECT_EQ(CountResultsFileLines(batch.ResultsPath("p0.cnf", batch.doc.m_experiments[0])), 3u);
    }
    batch.config.onStep = nullptr;
    EXPECT_EQ(batch.Run(Jobs(jobs)), RunOutcome::kFinished);
    EXPECT_EQ(batch.Files(), expected);
  }
}

TEST(BatchRunTest, AnErrorInOneWorkerEndsTheRunForAllWithOneMessage) {
  auto experiments = Experiments(4, 3);
  experiments[2].m_bHistory = true;  // the fake solver has no history
  Bench batch(Names(3, ".tsp"), experiments, kProblemTSP);
  // The other workers are inside a run when the error comes; they must stop.
  batch.config.stepsPerRun = 1u << 30;
  EXPECT_EQ(batch.Run(Jobs(3)), RunOutcome::kError);
  EXPECT_EQ(batch.messages.Messages(),
            std::vector<std::string>{"History is not yet implemented for the current problem type"});
  EXPECT_EQ(batch.doc.m_nProblemsSolved, 0u);
  for (const auto& [name, text] : batch.Files())
    EXPECT_LT(CountResultsFileLines(batch.doc.m_strResultsDir + name), 4u) << name;
}

TEST(BatchRunTest, StartAfterAListEditAbandonsThePausedWorkerAndResumesFromTheFirstUnsolvedPair) {
  Bench bench({"a.cnf", "b.cnf"}, Experiments(2, 3));
  RunControls controls(bench.doc, bench.messages, FakeFactory(bench.config));
  std::promise<void> stopped, successorBlocked, releaseSuccessor;
  std::shared_future<void> release = releaseSuccessor.get_future().share();
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
  Await(stopped.get_future());
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
  Await(successorBlocked.get_future());
  while (controls.UnfinishedWorkerCount() > 1) std::this_thread::yield();
  EXPECT_TRUE(controls.HasWorker());
  EXPECT_TRUE(controls.IsRunning());
  releaseSuccessor.set_value();
  controls.WaitForWorkerEnd();

  // a.cnf/exp0 was done; the successor started at a.cnf/exp1.
  EXPECT_EQ(bench.config.Pairs(),
            (std::vector<std::string>{"a.cnf", "a.cnf", "a.cnf", "a.cnf", "b.cnf", "b.cnf", "b.cnf"}));
  for (const auto& p : {"a.cnf", "b.cnf"})
    for (const auto& ex : bench.doc.m_experiments) EXPECT_TRUE(bench.Complete(p, ex));
  EXPECT_EQ(bench.doc.m_nProblemsSolved, 2u);
  EXPECT_EQ(bench.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
}

TEST(BatchRunTest, ARunRemovesTheTemporaryFilesThatDeadProcessesOfThisHostLeft) {
  Bench batch({"a.cnf"}, Experiments(1, 1));
  const std::string results = batch.doc.m_strResultsDir;
  const std::string dead = LeaveTemporary(results, ".mirelock-dead01");
  const std::string live = LeaveTemporary(results, ".mirelock-live01", "", ::getppid());
  const std::string elsewhere = LeaveTemporary(results, ".mirelock-else01", "some-other-host");
  const std::string recordOnly = LeaveTemporary(results, ".mirelock-recd01");
  std::filesystem::remove(recordOnly);

  batch.Run(Jobs(2));
  for (const std::string& gone : {dead, dead + ".owner", recordOnly + ".owner"})
    EXPECT_FALSE(std::filesystem::exists(gone)) << gone;
  for (const std::string& kept : {live, live + ".owner", elsewhere, elsewhere + ".owner"})
    EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
  EXPECT_TRUE(batch.Complete("a.cnf", batch.doc.m_experiments[0]));
}

TEST(BatchRunTest, MonitorRunOfARealSolverWritesALineEveryRRepairsOfTheLastRunWithOneWorker) {
  const std::string examples = std::string(MIRELOCK_SOURCE_DIR) + "/examples/maxsat/";
  TempDir dir;
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_nProblemType = kProblemMaxSAT;
  doc.m_strProblemsDir = examples;
  doc.m_strResultsDir = dir.Sub("results");
  doc.m_strMonitorProblem = examples + "jnh1.sat";
  doc.m_strMonitorOutputFile = dir.Path() + "monitor.txt";
  doc.m_monitorExperiment.m_nMaxRepairs = 5;
  doc.m_monitorExperiment.m_nNumRuns = 2;
  doc.m_nMonitorEvery = 100;
  RunControls controls(doc, messages);  // the solvers of the factory
  // A partition is for batches; an invalid one is refused and the old one kept.
  controls.SetPartition(Jobs(4, 1, 2));
  for (const BatchPartition& bad : {Jobs(0), Jobs(1, 3, 3), Jobs(1, 0, 0)})
    EXPECT_THROW(controls.SetPartition(bad), std::invalid_argument);
  EXPECT_EQ(controls.Partition().jobs, 4u);
  EXPECT_EQ(controls.Partition().shardIndex, 1u);
  doc.m_bSettingsChanged = true;
  controls.SolveProblem();
  EXPECT_FALSE(doc.m_bSettingsChanged);
  ASSERT_TRUE(controls.WaitForWorkerEnd(std::chrono::seconds(60)));
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Finished Solving.."});
  EXPECT_EQ(doc.m_nTotalProblems, 1u);

  const auto monitor = Split(ReadFile(doc.m_strMonitorOutputFile));
  ASSERT_GE(monitor.size(), 2u);
  EXPECT_EQ(monitor[0].substr(0, 33), "Repairs\tCurrent_Cost\tCurrent_Aug_");
  long previous = -1;
  for (std::size_t i = 1; i < monitor.size(); ++i) {
    const long repairs = std::stol(monitor[i].substr(0, monitor[i].find('\t')));
    EXPECT_EQ(repairs % 100, 0) << monitor[i];
    EXPECT_GT(repairs, previous) << "a second run's lines";  // one run only: repairs only grow
    previous = repairs;
  }
  const std::string monitorResults = GetResultsFilename(kProblemMaxSAT, "jnh1_monitor_run", doc.m_monitorExperiment);
  EXPECT_EQ(ResultsListing(doc.m_strResultsDir), std::vector<std::string>{monitorResults});
  EXPECT_FALSE(std::filesystem::exists(doc.m_strResultsDir + TraceFileName(monitorResults)));  // batch pairs only
  // Its rows name the problem by the path it was read from.
  EXPECT_TRUE(CheckResultsFile(doc.m_strResultsDir + monitorResults, doc.m_strMonitorProblem,
                               doc.m_monitorExperiment.m_nNumRuns)
                  .complete);

  // Without a monitor problem, Solve problem runs the batch: here its shard 1 of 2.
  doc.m_strMonitorProblem.clear();
  doc.m_experiments = {doc.m_monitorExperiment};
  controls.SolveProblem();
  ASSERT_TRUE(controls.WaitForWorkerEnd(std::chrono::seconds(60)));
  EXPECT_EQ(doc.m_nTotalProblems, 1u);  // the problems of the shard, not all of them
  EXPECT_EQ(ResultsListing(doc.m_strResultsDir),
            (std::vector<std::string>{monitorResults,
                                      GetResultsFilename(kProblemMaxSAT, "jnh201.sat", doc.m_monitorExperiment)}));
}

}  // namespace
}  // namespace mirelock::test

namespace mirelock::test {
namespace {

// Faults of a batch on a cluster: problems whose names agree up to the first
// "." solve into files of their own; a problem that cannot be read ends the
// batch as failed, naming the pair, path and reason, with no file left for
// it; a torn or foreign file under a pair's name is solved again, named; a
// pair that cannot be named or written is refused before anything is solved.
TEST(BatchRunTest, EveryPairGetsItsOwnFileAndAFailedPairFailsTheBatch) {
  {
    Bench bench({"bw_large.a.cnf", "bw_large.b.cnf", "hanoi4.cnf"}, Experiments(1, 2));
    EXPECT_EQ(bench.Run(), RunOutcome::kFinished);
    EXPECT_EQ(bench.config.Pairs(), (std::vector<std::string>{"bw_large.a.cnf", "bw_large.b.cnf", "hanoi4.cnf"}));
    const auto files = bench.Files();
    ASSERT_EQ(files.size(), 3u);
    const CExperiment& ex = bench.doc.m_experiments[0];
    const ResultsNaming naming({"bw_large.a.cnf", "bw_large.b.cnf", "hanoi4.cnf"});
    for (const char* problem : {"bw_large.a.cnf", "bw_large.b.cnf", "hanoi4.cnf"}) {
      const std::string name = naming.FileName(kProblemSAT, problem, ex);
      ASSERT_TRUE(files.count(name)) << name;
      EXPECT_EQ(Split(files.at(name))[1].substr(0, std::string(problem).size() + 1), std::string(problem) + "\t");
    }
    EXPECT_TRUE(files.count(GetResultsFilename(kProblemSAT, "hanoi4.cnf", ex)));  // unshared: as it always was

    // Garbage and a row cut short under a pair's name: named, solved again.
    const std::string garbage = bench.doc.m_strResultsDir + naming.FileName(kProblemSAT, "hanoi4.cnf", ex);
    WriteFile(garbage, "lorem\tipsum\ndolor\tsit\namet\tx\n");
    const std::string cut = bench.doc.m_strResultsDir + naming.FileName(kProblemSAT, "bw_large.a.cnf", ex);
    const std::string whole = ReadFile(cut);
    WriteFile(cut, whole.substr(0, whole.size() - 3));
    bench.config.solvedPairs.clear();
    const std::size_t before = bench.messages.Messages().size();
    EXPECT_EQ(bench.Run(), RunOutcome::kFinished);
    EXPECT_EQ(bench.config.Pairs(), (std::vector<std::string>{"bw_large.a.cnf", "hanoi4.cnf"}));
    auto messages = bench.messages.Messages();
    messages.erase(messages.begin(), messages.begin() + static_cast<std::ptrdiff_t>(before));
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Results file " + cut + " line 3 ends without a newline: the file was cut short; the "
                           "pair is solved again");
    EXPECT_EQ(messages[1], "Results file " + garbage +
                               " does not start with a results header (Problem_name ... Options); the pair is "
                               "solved again");
    EXPECT_EQ(ReadFile(cut), whole);
  }
  {
    // An unreadable problem (a folder deleted mid-batch looks the same): the
    // batch goes on, then fails naming the pair; no file is left for it.
    Bench bench({"a.cnf", "b.cnf", "c.cnf"}, Experiments(2, 1));
    bench.config.onStep = [&](int solverId, unsigned, unsigned step) {
      if (solverId == 1 && step == 0) std::filesystem::remove(bench.doc.m_strProblemsDir + "b.cnf");
    };
    EXPECT_EQ(bench.Run(), RunOutcome::kError);
    const std::string path = bench.doc.m_strProblemsDir + "b.cnf";
    const auto messages = bench.messages.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Error : Cannot open file b.cnf (" + path + ": No such file or directory)");
    EXPECT_EQ(messages[2], "2 pairs of the batch could not be solved and have no results file:\n"
                           "  b.cnf, experiment 1: cannot open " + path + ": No such file or directory\n"
                           "  b.cnf, experiment 2: cannot open " + path + ": No such file or directory");
    EXPECT_EQ(ResultsListing(bench.doc.m_strResultsDir).size(), 4u);
    for (const auto& ex : bench.doc.m_experiments) EXPECT_FALSE(std::filesystem::exists(bench.ResultsPath("b.cnf", ex)));
  }
  {
    // Refused before anything is solved: a results path that is a directory, a name too long.
    Bench bench({"a.cnf", "b.cnf"}, Experiments(1, 1));
    std::filesystem::create_directories(bench.ResultsPath("b.cnf", bench.doc.m_experiments[0]));
    EXPECT_EQ(bench.Run(), RunOutcome::kError);
    EXPECT_EQ(bench.messages.Messages(),
              std::vector<std::string>{"Cannot write the results file " +
                                       bench.ResultsPath("b.cnf", bench.doc.m_experiments[0]) +
                                       " of problem b.cnf: it is a directory. Nothing was solved."});
    EXPECT_EQ(bench.config.Created(), 0);

    Bench tooLong({"a.cnf", std::string(220, 'x') + ".cnf"}, Experiments(1, 1));
    EXPECT_EQ(tooLong.Run(), RunOutcome::kError);
    ASSERT_EQ(tooLong.messages.Messages().size(), 1u);
    EXPECT_EQ(tooLong.messages.Messages()[0].rfind("Cannot name the results file of problem xxx", 0), 0u);
    EXPECT_EQ(tooLong.config.Created(), 0);
  }
}

}  // namespace
}  // namespace mirelock::test
