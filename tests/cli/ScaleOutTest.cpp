// mirelock run with several workers, in shards, under GNU Parallel and as a
// Slurm array task: the same results files and reports as one worker, and a
// killed shard that is run again completes the batch without solving a
// finished pair twice or leaving a torn file.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "CliTest.h"

namespace mirelock::test {
namespace {

const std::string kQuick = "--max-repairs 20 --times-n on --runs 2";

class ScaleOut : public CliTest {};

TEST_F(ScaleOut, JobsAndShardsGiveTheFilesAndReportsOfOneWorker) {
  const bool parallel = std::system("command -v parallel >/dev/null 2>&1") == 0;
  for (const std::string type : {"sat", "maxsat", "qap", "tsp"}) {
    SCOPED_TRACE(type);
    Batch one = MakeBatch(type + "-one", type, 3, kQuick);
    Batch two = MakeBatch(type + "-two", type, 3, kQuick);
    Mirelock("run '" + one.doc + "'");
    Mirelock("run '" + two.doc + "' --jobs 2");
    const auto expected = one.Files();
    ASSERT_GE(expected.size(), 6u);  // two or three problems, three experiments
    EXPECT_EQ(two.Files(), expected);
    Mirelock("summarise '" + one.doc + "'");
    Mirelock("summarise '" + two.doc + "'");
    for (const char* report : {"full.csv", "summary.csv"}) {
      ASSERT_NE(one.Report(report).find("<time>"), std::string::npos) << report;
      EXPECT_EQ(two.Report(report), one.Report(report)) << report;
    }
    if (!parallel) continue;  // GNU Parallel is optional
    Batch shards = MakeBatch(type + "-shards", type, 3, kQuick);
    const std::string recipe = "MIRELOCK_BIN='" MIRELOCK_BINARY "' '" + SourceDir().string() +
                               "/scripts/parallel-batch' '" + shards.doc + "' 3 --jobs 2 > '" +
                               (root_ / "parallel.out").string() + "' 2>&1";
    ASSERT_EQ(std::system(recipe.c_str()), 0) << ReadText(root_ / "parallel.out");
    EXPECT_EQ(shards.Files(), expected);
    for (const char* report : {"full.csv", "summary.csv"})  // the recipe summarised the shards
      EXPECT_EQ(shards.Report(report), one.Report(report)) << report;
  }
  // As Slurm array tasks, with the shard taken from the task's place in the array.
  Batch one = MakeBatch("one", "qap", 2, kQuick);
  Batch array = MakeBatch("array", "qap", 2, kQuick);
  Mirelock("run '" + one.doc + "'");
  for (int task = 0; task < 4; ++task) {
    const std::string command = "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                                " SLURM_ARRAY_TASK_MIN=0 SLURM_ARRAY_TASK_MAX=3 SLURM_CPUS_PER_TASK=2 "
                                "MIRELOCK_BIN='" MIRELOCK_BINARY "' bash '" +
                                SourceDir().string() + "/scripts/slurm-batch.sbatch' '" + array.doc + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << task;
  }
  EXPECT_EQ(array.Files(), one.Files());

  // Bad flags are refused before anything is written.
  Mirelock("run '" + one.doc + "' --shard 1/3");
  const auto before = one.Files();
  const std::string documentBefore = ReadText(one.doc);
  for (const char* bad : {"--shard 3/2", "--shard 1", "--shard a/b", "--jobs 0", "--jobs x", "--jobs 100000"}) {
    const auto result = Run("run '" + one.doc + "' " + bad);
    EXPECT_EQ(result.status, 1) << bad;
    EXPECT_NE(result.err.find(std::string(bad).substr(0, 7)), std::string::npos) << bad << ": " << result.err;
    EXPECT_EQ(one.Files(), before) << bad;
    EXPECT_EQ(ReadText(one.doc), documentBefore) << bad;
  }
  // Said, not silent: without GNU Parallel (scripts/bootstrap installs it) one recipe went untested.
  if (!parallel) GTEST_SKIP() << "GNU Parallel is not installed: the parallel-batch recipe was not run";
}

TEST_F(ScaleOut, AShardKilledHalfwayAndRunAgainCompletesTheBatchWithoutRedoingFinishedPairs) {
  // Pairs long enough (a few tenths of a second) that the kill lands inside the shard.
  const std::string effort = "--max-repairs 4000 --times-n on --runs 2";
  Batch one = MakeBatch("one", "qap", 4, effort);
  Batch killed = MakeBatch("killed", "qap", 4, effort);
  Mirelock("run '" + one.doc + "' --jobs 2");
  const auto expected = one.Files();
  ASSERT_EQ(expected.size(), 12u);

  // Shard 1 of 2 with two workers, killed once its first pair is in place.
  const pid_t shard = ::fork();
  ASSERT_GE(shard, 0);
  if (shard == 0) {
    ::dup2(::open("/dev/null", O_WRONLY), 2);
    ::execl(MIRELOCK_BINARY, "mirelock", "run", killed.doc.c_str(), "--jobs", "2", "--shard", "1/2", nullptr);
    ::_exit(127);
  }
  const fs::path results = killed.dir / "results";
  // A pair is in place once its results file is: its trace is renamed just before it.
  const auto anyPairInPlace = [&results] {
    for (const auto& entry : fs::directory_iterator(results)) {
      const std::string name = entry.path().filename().string();
      if (name.find(".mirelock-") == std::string::npos && name.ends_with(".txt")) return true;
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  bool exited = false;
  while (!anyPairInPlace() && !exited) {  // waiting on a condition, not a guess at a duration
    ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    exited = ::waitpid(shard, nullptr, WNOHANG) == shard;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!exited) {
    ::kill(shard, SIGKILL);
    ::waitpid(shard, nullptr, 0);
  }
  ASSERT_FALSE(exited) << "the shard ended before it could be killed; the pairs are too quick";

  // Under their final names only whole files: complete, with exactly the lines of one worker.
  const auto atKill = Snapshot(results);
  std::size_t complete = 0, leftovers = 0;
  std::set<std::string> orphanTraces;
  for (const auto& [name, file] : atKill) {
    if (name.find(".mirelock-") != std::string::npos || name == kSeedRecordName) {
      leftovers += name != kSeedRecordName;
      continue;
    }
    if (name.ends_with(".trace")) {
      // A trace stands without its results file only when the kill fell between
      // the two renames of a pair (the other worker's): that pair is not complete,
      // and the next run writes both again.
      if (!atKill.count(name.substr(0, name.size() - 6) + ".txt")) orphanTraces.insert(name);
      continue;
    }
    EXPECT_TRUE(atKill.count(name.substr(0, name.size() - 4) + ".trace")) << name << " without its trace";
    ASSERT_TRUE(expected.count(name)) << name;
    EXPECT_EQ(WithoutTimes(file.second), expected.at(name)) << name;
    ++complete;
  }
  EXPECT_GE(complete, 1u);
  EXPECT_LT(complete, 6u) << "killed after the shard had finished";
  EXPECT_GE(leftovers, 1u) << "the kill found no pair in progress";

  // Run again: the finished pairs stay as they were (same file, not written
  // again), the rest are solved, and the dead run's temporary files go.
  Mirelock("run '" + killed.doc + "' --jobs 2 --shard 1/2");
  const auto after = Snapshot(results);
  for (const auto& [name, file] : atKill) {
    if (name.find(".mirelock-") == std::string::npos && !orphanTraces.contains(name)) {
      EXPECT_EQ(after.at(name).first, file.first) << name;
    }
  }
  Mirelock("run '" + killed.doc + "' --shard 0/2");
  EXPECT_EQ(killed.Files(), expected);
}

}  // namespace
}  // namespace mirelock::test
