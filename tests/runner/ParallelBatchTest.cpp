// Batch runs with several workers and in shards: the same results files as
// one worker, every pair solved once, errors and stops reaching every worker.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <future>
#include <map>
#include <set>

#include "BatchBench.h"
#include "FakeSolver.h"
#include "TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"

namespace mirelock::test {
namespace {

std::vector<std::string> Names(const std::string& stem, int count, const std::string& ext) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(stem + std::to_string(i) + ext);
  return names;
}

std::vector<CExperiment> Experiments(int count, unsigned runs) {
  std::vector<CExperiment> experiments;
  for (int i = 0; i < count; ++i) {
    CExperiment ex;
    ex.m_nNumRuns = runs;
    ex.m_dLambda = 0.25 * (i + 1);
    experiments.push_back(ex);
  }
  return experiments;
}

// Every batch here is over SAT problems.
struct Batch : Bench {
  Batch(const std::vector<std::string>& problems, std::vector<CExperiment> experiments)
      : Bench(kProblemSAT, problems, std::move(experiments)) {}
};

BatchPartition Jobs(unsigned jobs, unsigned shard = 0, unsigned shards = 1) {
  BatchPartition partition;
  partition.jobs = jobs;
  partition.shardIndex = shard;
  partition.shardCount = shards;
  return partition;
}

TEST(ParallelBatchTest, AnyNumberOfWorkersWritesTheSameFilesAndSolvesEachPairOnce) {
  const auto problems = Names("p", 7, ".cnf");
  const auto experiments = Experiments(3, 2);
  // "none" leaves the generator unseeded: the lines then show whatever state
  // a pair starts from, so a state left by an earlier pair would show here.
  for (std::uint32_t seedMode : {kSeedFixed, kSeedNone}) {
    for (std::uint32_t ordering : {0u, 1u}) {
      Batch reference(problems, experiments);
      reference.doc.m_nSeedMode = seedMode;
      reference.doc.m_nProblemOrdering = ordering;
      ASSERT_EQ(reference.Run(Jobs(1)), RunOutcome::kFinished);
      ASSERT_EQ(reference.Files().size(), problems.size() * experiments.size());

      for (unsigned jobs : {2u, 3u, 8u}) {
        SCOPED_TRACE("seed mode " + std::to_string(seedMode) + ", ordering " + std::to_string(ordering) +
                     ", jobs " + std::to_string(jobs));
        Batch batch(problems, experiments);
        batch.doc.m_nSeedMode = seedMode;
        batch.doc.m_nProblemOrdering = ordering;
        ASSERT_EQ(batch.Run(Jobs(jobs)), RunOutcome::kFinished);
        EXPECT_EQ(batch.Files(), reference.Files());
        EXPECT_EQ(batch.config.Created(), 21);
        for (const auto& [problem, reads] : batch.ReadsPerProblem()) EXPECT_EQ(reads, 3) << problem;
        // Every problem counted once, when its last pair is done.
        EXPECT_EQ(batch.doc.m_nProblemsSolved, 7u);
        EXPECT_EQ(batch.doc.m_nTotalProblems, 7u);
        std::vector<std::string> solved = batch.doc.m_solvedProblems;
        std::sort(solved.begin(), solved.end());
        EXPECT_EQ(solved, problems);
        EXPECT_EQ(batch.messages.Messages(), std::vector<std::string>{"Finished Solving.."});
      }
    }
  }
}

TEST(ParallelBatchTest, RandomOrderingTakesProblemsInTheSameOrderWithOneOrManyWorkers) {
  const auto problems = Names("p", 9, ".cnf");
  Batch one(problems, Experiments(1, 1));
  one.doc.m_nProblemOrdering = 1;
  one.Run(Jobs(1));
  EXPECT_NE(one.doc.m_solvedProblems, problems);  // really shuffled

  // With one worker per problem at a time the finishing order is the order taken.
  Batch again(problems, Experiments(1, 1));
  again.doc.m_nProblemOrdering = 1;
  again.doc.m_nSeedMode = kSeedNone;  // the solvers' draws do not steer the order
  again.Run(Jobs(1));
  EXPECT_EQ(again.doc.m_solvedProblems, one.doc.m_solvedProblems);

  // Many workers: the same files, each problem once (the order itself is the
  // queue's, see PairQueueTest).
  Batch many(problems, Experiments(1, 1));
  many.doc.m_nProblemOrdering = 1;
  many.Run(Jobs(4));
  EXPECT_EQ(many.Files(), one.Files());
  EXPECT_EQ(many.config.Created(), 9);
}

TEST(ParallelBatchTest, ShardsCoverTheBatchOnceAndAReRunShardSolvesNothing) {
  const auto problems = Names("p", 5, ".cnf");
  const auto experiments = Experiments(3, 2);
  Batch reference(problems, experiments);
  reference.Run(Jobs(1));

  Batch sharded(problems, experiments);
  std::set<std::string> seen;
  const unsigned shards = 4;
  for (unsigned k = 0; k < shards; ++k) {
    const auto before = sharded.Files();
    ASSERT_EQ(sharded.Run(Jobs(2, k, shards)), RunOutcome::kFinished);
    const auto after = sharded.Files();
    // Pair i = problem i / 3, experiment i % 3 belongs to shard i % 4.
    std::size_t expected = 0;
    std::set<std::string> problemsHere;
    for (std::size_t i = 0; i < problems.size() * experiments.size(); ++i) {
      if (i % shards != k) continue;
      ++expected;
      problemsHere.insert(problems[i / 3]);
      EXPECT_TRUE(IsResultsFileComplete(sharded.doc.m_strResultsDir, kProblemSAT, problems[i / 3],
                                        experiments[i % 3]));
    }
    EXPECT_EQ(after.size() - before.size(), expected) << "shard " << k;
    EXPECT_EQ(sharded.doc.m_nTotalProblems, problemsHere.size());
    EXPECT_EQ(sharded.doc.m_nProblemsSolved, problemsHere.size());
  }
  EXPECT_EQ(sharded.Files(), reference.Files());
  EXPECT_EQ(sharded.config.Created(), 15);

  // Every shard again: all its pairs are complete, nothing is solved.
  for (unsigned k = 0; k < shards; ++k) sharded.Run(Jobs(3, k, shards));
  EXPECT_EQ(sharded.config.Created(), 15);
  EXPECT_EQ(sharded.Files(), reference.Files());
}

TEST(ParallelBatchTest, AnErrorInOneWorkerEndsTheRunForAllWithOneMessage) {
  auto experiments = Experiments(4, 3);
  experiments[2].m_bHistory = true;  // the fake solver has no history
  Batch batch(Names("p", 3, ".tsp"), experiments);
  batch.doc.m_nProblemType = kProblemTSP;
  // The other workers are inside a run when the error comes; they must stop.
  batch.config.stepsPerRun = 1u << 30;
  EXPECT_EQ(batch.Run(Jobs(3)), RunOutcome::kError);
  EXPECT_EQ(batch.messages.Messages(),
            std::vector<std::string>{"History is not yet implemented for the current problem type"});
  EXPECT_EQ(batch.doc.m_nProblemsSolved, 0u);
  for (const auto& [name, text] : batch.Files())
    EXPECT_FALSE(CountResultsFileLines(batch.doc.m_strResultsDir + name) >= 4) << name;
}

TEST(ParallelBatchTest, StopPausesEveryWorkerAndStartContinuesWithIdenticalLines) {
  const auto problems = Names("p", 3, ".cnf");
  const auto experiments = Experiments(2, 3);
  Batch reference(problems, experiments);
  reference.Run(Jobs(1));

  Batch batch(problems, experiments);
  RunControls controls(batch.doc, batch.messages, FakeFactory(batch.config));
  controls.SetPartition(Jobs(2));
  std::promise<void> stopped;
  std::atomic<bool> once{false};
  batch.config.onStep = [&](int solverId, unsigned run, unsigned step) {
    if (solverId == 3 && run == 2 && step == 5 && !once.exchange(true)) {
      controls.Stop();
      stopped.set_value();
    }
  };
  controls.Start();
  stopped.get_future().wait();
  ASSERT_TRUE(controls.CurrentPauseGate()->WaitUntilParked());
  EXPECT_FALSE(controls.IsRunning());
  controls.Start();
  controls.WaitForWorkerEnd();
  EXPECT_EQ(controls.LastOutcome(), RunOutcome::kFinished);
  EXPECT_EQ(batch.Files(), reference.Files());
  EXPECT_EQ(batch.config.Created(), 6);
}

TEST(ParallelBatchTest, CancelStopsEveryWorkerAndTheNextRunCompletesTheBatch) {
  const auto problems = Names("p", 4, ".cnf");
  const auto experiments = Experiments(2, 3);
  Batch reference(problems, experiments);
  reference.Run(Jobs(1));

  Batch batch(problems, experiments);
  {
    RunControls controls(batch.doc, batch.messages, FakeFactory(batch.config));
    controls.SetPartition(Jobs(3));
    batch.config.onStep = [&](int solverId, unsigned run, unsigned step) {
      if (solverId == 4 && run == 2 && step == 3) controls.Cancel();
    };
    controls.Start();
    controls.WaitForWorkerEnd();
    EXPECT_EQ(controls.LastOutcome(), RunOutcome::kStopped);
  }
  EXPECT_TRUE(batch.messages.Messages().empty());
  const int firstRun = batch.config.Created();
  EXPECT_LT(firstRun, 8);
  // Every file present is either complete and final, or a stopped pair's
  // finished lines; none is a temporary file.
  for (const auto& [name, text] : batch.Files()) {
    EXPECT_EQ(name.find(".mirelock-"), std::string::npos) << name;
    if (CountResultsFileLines(batch.doc.m_strResultsDir + name) == 4) {
      EXPECT_EQ(text, reference.Files()[name]);
    }
  }

  batch.config.onStep = nullptr;
  EXPECT_EQ(batch.Run(Jobs(3)), RunOutcome::kFinished);
  EXPECT_EQ(batch.Files(), reference.Files());
}

TEST(ParallelBatchTest, ARunRemovesTheTemporaryFilesThatDeadProcessesOfThisHostLeft) {
  Batch batch({"a.cnf"}, Experiments(1, 1));
  const std::string results = batch.doc.m_strResultsDir;

  // A process id that is certainly gone: a child that has ended and been reaped.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);

  // Temporary files with their owner records, as writers in those processes left them.
  auto leave = [&results](const std::string& name, const std::string& owner, long pid) {
    WriteFile(results + name, "Problem_name\tRun\n");
    WriteFile(results + name + ".owner", owner + "\n" + std::to_string(pid) + "\n");
    return results + name;
  };
  const std::string dead = leave(".mirelock-dead01", host, child);
  const std::string live = leave(".mirelock-live01", host, ::getppid());
  const std::string elsewhere = leave(".mirelock-else01", "some-other-host", child);
  WriteFile(results + ".mirelock-recd01.owner", std::string(host) + "\n" + std::to_string(child) + "\n");

  batch.Run(Jobs(2));
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_FALSE(std::filesystem::exists(dead + ".owner"));
  EXPECT_FALSE(std::filesystem::exists(results + ".mirelock-recd01.owner"));  // a record without its file
  for (const std::string& kept : {live, elsewhere}) {
    EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
    EXPECT_TRUE(std::filesystem::exists(kept + ".owner")) << kept;
  }
  EXPECT_TRUE(IsResultsFileComplete(results, kProblemSAT, "a.cnf", batch.doc.m_experiments[0]));
}

TEST(ParallelBatchTest, AMonitorRunUsesOneWorkerWhateverThePartition) {
  Batch batch({"a.cnf", "b.cnf"}, {});
  batch.doc.m_strMonitorProblem = batch.doc.m_strProblemsDir + "b.cnf";
  batch.doc.m_strMonitorOutputFile = batch.dir.Path() + "monitor.txt";
  batch.doc.m_monitorExperiment.m_nNumRuns = 2;
  RunControls controls(batch.doc, batch.messages, FakeFactory(batch.config));
  controls.SetPartition(Jobs(4, 1, 2));
  controls.SolveProblem();
  controls.WaitForWorkerEnd();
  EXPECT_EQ(batch.config.Pairs(), std::vector<std::string>{"b.cnf"});
  EXPECT_EQ(batch.doc.m_nTotalProblems, 1u);
}

TEST(ParallelBatchTest, AnInvalidPartitionIsRefusedAndTheOldOneKept) {
  Batch batch({"a.cnf"}, Experiments(1, 1));
  RunControls controls(batch.doc, batch.messages, FakeFactory(batch.config));
  controls.SetPartition(Jobs(2, 1, 3));
  EXPECT_THROW(controls.SetPartition(Jobs(0)), std::invalid_argument);
  EXPECT_THROW(controls.SetPartition(Jobs(1, 3, 3)), std::invalid_argument);
  EXPECT_THROW(controls.SetPartition(Jobs(1, 0, 0)), std::invalid_argument);
  EXPECT_EQ(controls.Partition().jobs, 2u);
  EXPECT_EQ(controls.Partition().shardIndex, 1u);
  EXPECT_EQ(controls.Partition().shardCount, 3u);
}

}  // namespace
}  // namespace mirelock::test
