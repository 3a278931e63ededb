// mirelock run with several workers, in shards, under GNU Parallel and as a
// Slurm array task: the same results files and reports as one worker, and a
// killed shard that is run again completes the batch without solving a
// finished pair twice or leaving a torn file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "CommandRunner.h"

extern char** environ;

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using test::RunMirelock;

const std::string kSourceDir = fs::path(MIRELOCK_TEST_DATA).parent_path().parent_path().string();

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, separator)) fields.push_back(field);
  return fields;
}

// Run times are the only columns that may differ between two solves of a
// pair; every solver names its time column in seconds (CPU_secs, CPU_Seconds).
bool IsTimeColumn(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (!name.empty() && name.back() == ')') name.pop_back();  // a report's "Mean(CPU_secs)"
  const auto endsWith = [&](const std::string& tail) {
    return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
  };
  return endsWith("_secs") || endsWith("_seconds");
}

// A results file with the values of its time columns, found by header name, blanked.
std::string WithoutTimes(const std::string& text) {
  const auto lines = SplitLines(text);
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return text;
  const auto header = Split(lines[0], '\t');
  std::vector<std::size_t> times;
  for (std::size_t c = 0; c < header.size(); ++c)
    if (IsTimeColumn(header[c])) times.push_back(c);
  EXPECT_EQ(times.size(), 1u) << lines[0];
  std::string out = lines[0] + "\n";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    auto fields = Split(lines[i], '\t');
    EXPECT_EQ(fields.size(), header.size()) << "torn or malformed line: " << lines[i];
    for (std::size_t c : times)
      if (c < fields.size()) fields[c] = "<time>";
    for (std::size_t c = 0; c < fields.size(); ++c) out += fields[c] + (c + 1 < fields.size() ? "\t" : "\n");
  }
  return out;
}

// A report with the lines about time columns blanked: a summary line whose
// label names one, and a whole block (to the next blank line) headed by one.
std::string ReportWithoutTimes(const std::string& text) {
  std::string out;
  bool inTimeBlock = false;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty()) inTimeBlock = false;
    const std::string label = line.substr(0, line.find(','));
    const bool timeLine = IsTimeColumn(label);
    if (timeLine && (line.find(',') == std::string::npos || label.rfind("Mean(", 0) == 0)) inTimeBlock = true;
    out += (inTimeBlock || timeLine ? "<time>" : line) + "\n";
  }
  return out;
}

struct Batch {
  fs::path dir;
  std::string doc;

  // Complete results files, time columns aside; also checks that nothing else is there.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir / "results")) {
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(name.find(".mirelock-"), std::string::npos) << "left-over temporary file " << name;
      files[name] = WithoutTimes(ReadText(entry.path()));
    }
    return files;
  }
  std::string Report(const char* name) const { return ReportWithoutTimes(ReadText(dir / name)); }
};

class ScaleOut : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("mirelock-scale-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Mirelock(const std::string& arguments) {
    const auto result = RunMirelock(root_.string(), arguments);
    ASSERT_EQ(result.status, 0) << arguments << "\n" << result.err;
  }

  // A document over an example folder with `experiments` experiments that
  // differ in lambda, in a folder of its own.
  Batch MakeBatch(const std::string& name, const std::string& type, int experiments,
                  const std::string& effort) {
    Batch batch{root_ / name, (root_ / name / "batch.mirel").string()};
    fs::create_directories(batch.dir / "results");
    Mirelock("doc new '" + batch.doc + "' --type " + type + " --problems '" + kSourceDir + "/examples/" +
             type + "' --results '" + (batch.dir / "results").string() + "' --full '" +
             (batch.dir / "full.csv").string() + "' --summary '" + (batch.dir / "summary.csv").string() +
             "' --seed-mode fixed --seed 21");
    for (int e = 0; e < experiments; ++e)
      Mirelock("exp add '" + batch.doc + "' --aspiration off --random-moves 0 " + effort + " --lambda " +
               std::to_string(e + 1));
    return batch;
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

// The inode and contents of every complete results file.
std::map<std::string, std::pair<ino_t, std::string>> Snapshot(const fs::path& results) {
  std::map<std::string, std::pair<ino_t, std::string>> files;
  for (const auto& entry : fs::directory_iterator(results)) {
    struct stat info {};
    ::stat(entry.path().c_str(), &info);
    files[entry.path().filename().string()] = {info.st_ino, ReadText(entry.path())};
  }
  return files;
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
