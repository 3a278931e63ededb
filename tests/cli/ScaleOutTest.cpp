// mirelock run with several workers, in shards, under GNU Parallel and as a
// Slurm array task: the same results files and reports as one worker, and a
// killed shard that is run again completes the batch without solving a
// finished pair twice or leaving a torn file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "BatchFiles.h"
#include "CommandRunner.h"

extern char** environ;

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using test::Batch;
using test::ReadText;
using test::RunMirelock;
using test::Snapshot;
using test::WithoutTimes;

const std::string kSourceDir = test::SourceDir().string();

class ScaleOut : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("mirelock-scale-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Mirelock(const std::string& arguments) { test::Mirelock(root_, arguments); }

  Batch MakeBatch(const std::string& name, const std::string& type, int experiments, const std::string& effort) {
    return test::MakeBatch(root_, name, type, experiments, effort);
  }

  fs::path root_;
};

TEST_F(ScaleOut, JobsAndShardsUnderGnuParallelGiveTheFilesAndReportsOfOneWorker) {
  if (std::system("command -v parallel >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "GNU Parallel is not installed";
  for (const std::string type : {"sat", "maxsat", "qap", "tsp"}) {
    SCOPED_TRACE(type);
    const std::string effort = "--max-repairs 20 --times-n on --runs 2";
    Batch one = MakeBatch(type + "-one", type, 3, effort);
    Batch two = MakeBatch(type + "-two", type, 3, effort);
    Batch shards = MakeBatch(type + "-shards", type, 3, effort);

    Mirelock("run '" + one.doc + "'");
    Mirelock("run '" + two.doc + "' --jobs 2");
    const std::string recipe = "MIRELOCK_BIN='" MIRELOCK_BINARY "' '" + kSourceDir +
                               "/scripts/parallel-batch' '" + shards.doc + "' 3 --jobs 2 > '" +
                               (root_ / "parallel.out").string() + "' 2>&1";
    ASSERT_EQ(std::system(recipe.c_str()), 0) << ReadText(root_ / "parallel.out");

    const auto expected = one.Files();
    ASSERT_GE(expected.size(), 6u);  // two or three problems, three experiments
    EXPECT_EQ(two.Files(), expected);
    EXPECT_EQ(shards.Files(), expected);

    Mirelock("summarise '" + one.doc + "'");
    Mirelock("summarise '" + two.doc + "'");  // the recipe summarised the shards
    for (const char* report : {"full.csv", "summary.csv"}) {
      const std::string reference = one.Report(report);
      ASSERT_NE(reference.find("<time>"), std::string::npos) << report;
      EXPECT_EQ(two.Report(report), reference) << report;
      EXPECT_EQ(shards.Report(report), reference) << report;
    }
  }
}

TEST_F(ScaleOut, ASlurmArrayTaskRunsItsShard) {
  const std::string effort = "--max-repairs 20 --times-n on --runs 2";
  Batch one = MakeBatch("one", "qap", 2, effort);
  Batch array = MakeBatch("array", "qap", 2, effort);
  Mirelock("run '" + one.doc + "'");
  for (int task = 0; task < 4; ++task) {
    const std::string command = "SLURM_ARRAY_TASK_ID=" + std::to_string(task) +
                                " SLURM_ARRAY_TASK_MIN=0 SLURM_ARRAY_TASK_MAX=3 SLURM_CPUS_PER_TASK=2 "
                                "MIRELOCK_BIN='" MIRELOCK_BINARY "' bash '" +
                                kSourceDir + "/scripts/slurm-batch.sbatch' '" + array.doc + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << task;
  }
  EXPECT_EQ(array.Files(), one.Files());
}

TEST_F(ScaleOut, BadFlagsAreRefusedBeforeAnythingIsWritten) {
  Batch batch = MakeBatch("bad", "qap", 1, "--max-repairs 10 --times-n on --runs 1");
  Mirelock("run '" + batch.doc + "' --shard 1/3");
  const auto before = batch.Files();
  const std::string documentBefore = ReadText(batch.doc);
  for (const char* bad : {"--shard 3/2", "--shard 2/2", "--shard 0/0", "--shard 1", "--shard -1/2",
                          "--shard a/b", "--jobs 0", "--jobs -2", "--jobs x", "--jobs 100000"}) {
    const auto result = RunMirelock(root_.string(), "run '" + batch.doc + "' " + bad);
    EXPECT_EQ(result.status, 1) << bad;
    EXPECT_NE(result.err.find(std::string(bad).substr(0, 7)), std::string::npos) << bad << ": " << result.err;
    EXPECT_EQ(batch.Files(), before) << bad;
    EXPECT_EQ(ReadText(batch.doc), documentBefore) << bad;
  }
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
  const std::string binary = MIRELOCK_BINARY;
  std::vector<std::string> words{binary, "run", killed.doc, "--jobs", "2", "--shard", "1/2"};
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t shard = 0;
  ASSERT_EQ(posix_spawn(&shard, binary.c_str(), &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  const fs::path results = killed.dir / "results";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  int status = 0;
  bool exited = false;
  const auto anyPairInPlace = [&results] {
    for (const auto& entry : fs::directory_iterator(results))
      if (entry.path().filename().string().find(".mirelock-") == std::string::npos) return true;
    return false;
  };
  while (!anyPairInPlace()) {
    // Waiting on a condition, not a guess at a duration.
    ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    if (::waitpid(shard, &status, WNOHANG) == shard) {
      exited = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!exited) {
    ::kill(shard, SIGKILL);
    ::waitpid(shard, &status, 0);
  }
  ASSERT_FALSE(exited) << "the shard ended before it could be killed; the pairs are too quick";

  // Under their final names only whole files: complete, with exactly the lines of one worker.
  const auto atKill = Snapshot(results);
  std::size_t complete = 0;
  bool leftovers = false;
  for (const auto& [name, file] : atKill) {
    if (name.find(".mirelock-") != std::string::npos) {
      leftovers = true;
      continue;
    }
    ASSERT_TRUE(expected.count(name)) << name;
    EXPECT_EQ(WithoutTimes(file.second), expected.at(name)) << name;
    ++complete;
  }
  EXPECT_GE(complete, 1u);
  EXPECT_LT(complete, 6u) << "killed after the shard had finished";
  EXPECT_TRUE(leftovers) << "the kill found no pair in progress";

  // Run again: the finished pairs stay as they were (same file, not written
  // again), the rest are solved, and the dead run's temporary files go.
  Mirelock("run '" + killed.doc + "' --jobs 2 --shard 1/2");
  const auto after = Snapshot(results);
  for (const auto& [name, file] : atKill) {
    if (name.find(".mirelock-") == std::string::npos) {
      EXPECT_EQ(after.at(name).first, file.first) << name;
    }
  }
  Mirelock("run '" + killed.doc + "' --shard 0/2");
  EXPECT_EQ(killed.Files(), expected);
}

}  // namespace
}  // namespace mirelock
