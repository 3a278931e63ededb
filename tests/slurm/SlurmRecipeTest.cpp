// The README's Slurm recipe on a real one-host cluster, which CTest starts
// before these tests (slurm-cluster start) and stops after them: the job
// array and the summary job give the results files and reports of one
// worker, also when an array task is cancelled halfway (scancel sends
// SIGTERM) and requeued, without solving a finished pair twice, losing the
// finished runs of the pair in progress, or leaving a torn or temporary file.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "BatchFiles.h"

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Batch;
using test::MakeBatch;
using test::Mirelock;
using test::Snapshot;
using test::WithoutTimes;

const std::string kBinary = MIRELOCK_BINARY;
const std::string kScript = (test::SourceDir() / "scripts" / "slurm-batch.sbatch").string();

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// One job as `scontrol show job --oneliner` tells it: the line and its Key=Value fields.
struct Job {
  std::string line;
  std::map<std::string, std::string> fields;
  const std::string& operator[](const std::string& key) const {
    static const std::string none;
    const auto found = fields.find(key);
    return found == fields.end() ? none : found->second;
  }
  bool Ended() const {
    // A cancelled job is COMPLETING until its processes are gone.
    static const std::set<std::string> running{"PENDING",  "CONFIGURING", "RUNNING",   "COMPLETING", "REQUEUED",
                                               "RESIZING", "SUSPENDED",   "SIGNALING", "STAGE_OUT"};
    return !fields.empty() && !running.count((*this)["JobState"]);
  }
};

class SlurmRecipe : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream state(MIRELOCK_SLURM_STATE);
    std::string line;
    if (!std::getline(state, line))
      GTEST_SKIP() << "no Slurm cluster: ctest starts one with the test slurm_cluster_start, or run "
                      "tests/slurm/slurm-cluster start " MIRELOCK_SLURM_STATE;
    if (line.rfind("SKIP=", 0) == 0) GTEST_SKIP() << line.substr(5);
    ASSERT_EQ(line.rfind("SLURM_CONF=", 0), 0u) << MIRELOCK_SLURM_STATE << ": " << line;
    const fs::path conf = line.substr(11);
    ::setenv("SLURM_CONF", conf.c_str(), 1);
    // Inside the cluster's folder, so that stopping the cluster removes it.
    root_ = conf.parent_path() / "work" / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(root_);
    fs::create_directories(root_);
  }

  // Runs a shell command in the test's folder and returns what it printed;
  // a command that fails fails the test.
  std::string Shell(const std::string& command) {
    const std::string full = "cd " + Quoted(root_.string()) + " && " + command + " 2>&1";
    std::string out;
    FILE* pipe = ::popen(full.c_str(), "r");
    if (pipe == nullptr) {
      ADD_FAILURE() << "cannot start: " << command;
      return out;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << "\n" << out;
    return out;
  }

  // sbatch --parsable prints the job id, followed by ";cluster" on some setups.
  std::string Submit(const std::string& command) {
    std::string id = Shell(command);
    id = id.substr(0, id.find_first_of(";\n"));
    EXPECT_FALSE(id.empty()) << command;
    EXPECT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << command << ": " << id;
    return id;
  }

  // Every job that `id` names (all tasks of an array, in task order).
  std::vector<Job> Jobs(const std::string& id) {
    std::vector<Job> jobs;
    std::istringstream lines(Shell("scontrol show job --oneliner " + id));
    for (std::string line; std::getline(lines, line);) {
      Job job{line, {}};
      std::istringstream words(line);
      for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        if (equals != std::string::npos) job.fields[word.substr(0, equals)] = word.substr(equals + 1);
      }
      if (!job.fields.empty()) jobs.push_back(job);
    }
    std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) {
      return std::atoi(a["ArrayTaskId"].c_str()) < std::atoi(b["ArrayTaskId"].c_str());
    });
    return jobs;
  }

  // Waits, at most `limit`, until every job that `id` names has ended.
  std::vector<Job> WaitForEnd(const std::string& id, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      auto jobs = Jobs(id);
      if (!jobs.empty() && std::all_of(jobs.begin(), jobs.end(), [](const Job& j) { return j.Ended(); }))
        return jobs;
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "job " << id << " has not ended after " << limit.count() << " s:\n" << Shell("squeue");
        return jobs;
      }
      std::this_thread::sleep_for(100ms);
    }
  }

  fs::path root_;
};

// The README's two lines as a user submits them, with mirelock on the PATH;
// one task is cancelled halfway and requeued as the README says.
TEST_F(SlurmRecipe, ACancelledAndRequeuedTaskCompletesTheBatchOfOneWorkerWithoutRedoingFinishedPairs) {
  // Pairs of a few tenths of a second, so that the cancel lands inside a task.
  const std::string effort = "--max-repairs 4000 --times-n on --runs 2";
  Batch one = MakeBatch(root_, "one", "qap", 4, effort);
  Batch cluster = MakeBatch(root_, "cluster", "qap", 4, effort);
  Mirelock(root_, "run " + Quoted(one.doc) + " --jobs 2");
  Mirelock(root_, "summarise " + Quoted(one.doc));
  const auto expected = one.Files();
  ASSERT_EQ(expected.size(), 12u);  // three problems, four experiments

  // The script asks for four CPUs a task; this node may have fewer.
  const std::string path = "PATH=" + Quoted(fs::path(kBinary).parent_path().string()) + ":\"$PATH\" ";
  const auto summarise = [&](const std::string& after) {
    return Submit(path + "sbatch --parsable --dependency=afterok:" + after + " --wrap \"mirelock summarise " +
                  Quoted(cluster.doc) + "\"");
  };
  const std::string array =
      Submit(path + "sbatch --parsable --cpus-per-task=1 --array=0-3 " + Quoted(kScript) + " " + Quoted(cluster.doc));
  const std::string summary = summarise(array);

  // With as many experiments as tasks, task K solves experiment K+1 on every
  // problem. Task 1 is cancelled once the first of its three pairs is in place.
  const fs::path results = cluster.dir / "results";
  const auto finishedOfTask1 = [&results] {
    int finished = 0;
    for (const auto& entry : fs::directory_iterator(results)) {
      const std::string name = entry.path().filename().string();
      if (name.find("_Lambda_2_") != std::string::npos && name.find(".mirelock-") == std::string::npos) ++finished;
    }
    return finished;
  };
  const std::string task1 = array + "_1";
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (finishedOfTask1() == 0) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << Shell("squeue");
    std::this_thread::sleep_for(10ms);
  }
  Shell("scancel " + task1);
  const auto cancelled = WaitForEnd(task1, 60s);
  ASSERT_EQ(cancelled.size(), 1u);
  EXPECT_EQ(cancelled[0]["JobState"], "CANCELLED") << "the task ended before it could be cancelled; the pairs are too quick";

  // The task stopped on SIGTERM and said what it kept: its finished pairs,
  // and the finished runs of the pair in progress. No temporary file is
  // left; under their final names are the lines of one worker, whole files
  // or (the pair in progress) their first lines.
  const std::string log = test::ReadText(root_ / ("mirelock-batch-" + task1 + ".out"));
  EXPECT_NE(log.find("mirelock: SIGTERM received; the run stopped. "), std::string::npos) << log;
  const auto atCancel = Snapshot(results);
  std::set<std::string> whole;
  for (const auto& [name, file] : atCancel) {
    if (name.find(".mirelock-") != std::string::npos) {
      // The other tasks are at work; an owner record names the file its temporary file becomes.
      if (name.ends_with(".owner")) {
        EXPECT_EQ(file.second.find("_Lambda_2_"), std::string::npos) << "left-over temporary file of task 1";
      }
      continue;
    }
    if (name.ends_with(".trace")) {  // only beside its results file
      EXPECT_TRUE(atCancel.count(name.substr(0, name.size() - 6) + ".txt")) << name;
      continue;
    }
    ASSERT_TRUE(expected.count(name)) << name;
    const std::string lines = WithoutTimes(file.second);
    EXPECT_EQ(expected.at(name).substr(0, lines.size()), lines) << name;
    if (lines == expected.at(name))
      whole.insert(name);
    else
      EXPECT_NE(log.find("Kept the finished runs of " + (results / name).string() + " (1 of 2 runs)."),
                std::string::npos)
          << log;
  }
  const auto wholeOfTask1 = std::count_if(whole.begin(), whole.end(), [](const std::string& name) {
    return name.find("_Lambda_2_") != std::string::npos;
  });
  EXPECT_GE(wholeOfTask1, 1);
  EXPECT_LT(wholeOfTask1, 3) << "cancelled after the task had finished";
  EXPECT_NE(log.find(std::to_string(wholeOfTask1) + " of 3 pairs of this run are complete"), std::string::npos)
      << log;

  // The other tasks run to the end; the scheduler then finds that the
  // summary job can never start, as one task of its array failed, and the
  // batch has written no report.
  WaitForEnd(array, 120s);
  std::vector<Job> waiting;
  const auto givenUp = std::chrono::steady_clock::now() + 90s;
  do {
    std::this_thread::sleep_for(100ms);
    waiting = Jobs(summary);
    ASSERT_EQ(waiting.size(), 1u);
    ASSERT_EQ(waiting[0]["JobState"], "PENDING") << waiting[0].line;
  } while (waiting[0]["Reason"] != "DependencyNeverSatisfied" && std::chrono::steady_clock::now() < givenUp);
  EXPECT_EQ(waiting[0]["Reason"], "DependencyNeverSatisfied");
  EXPECT_FALSE(fs::exists(cluster.dir / "full.csv"));
  const auto beforeRequeue = Snapshot(results);

  // Requeued, the task runs its shard again under the same array index and
  // size; Slurm would hold it two minutes before it may start. The summary
  // is submitted again, after that task.
  Shell("scontrol requeue " + task1);
  Shell("scontrol update JobId=" + task1 + " StartTime=now");
  Shell("scancel " + summary);
  const std::string resummary = summarise(task1);
  const auto summaryJob = WaitForEnd(resummary, 120s);
  const auto tasks = Jobs(array);
  ASSERT_EQ(tasks.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(tasks[k]["ArrayTaskId"], std::to_string(k));
    EXPECT_EQ(tasks[k]["JobState"], "COMPLETED") << tasks[k].line;
    EXPECT_TRUE(fs::exists(root_ / ("mirelock-batch-" + array + "_" + std::to_string(k) + ".out")));
  }
  EXPECT_EQ(tasks[1]["Restarts"], "1");
  ASSERT_EQ(summaryJob.size(), 1u);
  EXPECT_EQ(summaryJob[0]["JobState"], "COMPLETED") << Shell("cat slurm-" + resummary + ".out");

  // Every pair complete at the cancel, or before the requeue, is the same
  // file as then, not solved again; the rest are solved.
  const auto after = Snapshot(results);
  for (const auto* earlier : {&atCancel, &beforeRequeue}) {
    for (const auto& [name, file] : *earlier) {
      const auto whole = expected.find(name);
      if (whole != expected.end() && WithoutTimes(file.second) == whole->second) {
        EXPECT_EQ(after.at(name).first, file.first) << name;
      }
    }
  }
  EXPECT_EQ(cluster.Files(), expected);
  for (const char* report : {"full.csv", "summary.csv"}) {
    const std::string reference = one.Report(report);
    ASSERT_NE(reference.find("<time>"), std::string::npos) << report;
    EXPECT_EQ(cluster.Report(report), reference) << report;
  }
}

}  // namespace
}  // namespace mirelock
