// What a cluster does to a batch: stop signals from the scheduler, problem
// files that vanish mid-batch, documents edited by many processes at once,
// a second run started on a document that is running, a seed changed
// between two runs into one results folder, an empty document.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "CliTest.h"

namespace mirelock::test {
namespace {

// Pairs of a few tenths of a second, so that a signal lands inside the run.
const std::string kSlow = "--max-repairs 4000 --times-n on --runs 2";

class BatchFaults : public CliTest {
 protected:
  // Starts `mirelock ARGS...` with its standard error in `errPath`.
  pid_t Start(const std::vector<std::string>& args, const fs::path& errPath) {
    const pid_t child = ::fork();
    if (child == 0) {
      const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, 2);
      std::vector<char*> argv{const_cast<char*>("mirelock")};
      for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
      argv.push_back(nullptr);
      ::execv(MIRELOCK_BINARY, argv.data());
      ::_exit(127);
    }
    return child;
  }

  // Waits until a results file of the batch is in place; false when the process ended first.
  static bool AwaitFirstPair(pid_t child, const fs::path& results) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (;;) {
      for (const auto& entry : fs::directory_iterator(results))
        if (entry.path().filename().string().rfind("Results_", 0) == 0) return true;
      if (::waitpid(child, nullptr, WNOHANG) == child || std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  static int Wait(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
};

// SIGTERM (Slurm's scancel and time limit) and SIGHUP end a run as Ctrl-C
// does: every finished pair stays, the pair in progress keeps its finished
// runs, no temporary file is left, the run says what it kept and exits
// 128 + the signal; the same command then completes the batch of one worker.
TEST_F(BatchFaults, StopSignalsKeepFinishedWorkAndSayWhatWasKept) {
  Batch one = MakeBatch("one", "qap", 2, kSlow);
  Mirelock("run '" + one.doc + "'");
  const auto expected = one.Files();
  ASSERT_EQ(expected.size(), 6u);

  for (const int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const std::string name = signal == SIGTERM ? "term" : "hup";
    Batch batch = MakeBatch(name, "qap", 2, kSlow);
    const fs::path results = batch.dir / "results";
    const pid_t child = Start({"run", batch.doc, "--jobs", "2"}, batch.dir / "err");
    ASSERT_TRUE(AwaitFirstPair(child, results)) << "the run ended before the signal; the pairs are too quick";
    ::kill(child, signal);
    EXPECT_EQ(Wait(child), 128 + signal);
    const std::string err = ReadText(batch.dir / "err");
    ExpectIn(err, std::string(signal == SIGTERM ? "SIGTERM" : "SIGHUP") + " received; the run stopped. ");
    ExpectIn(err, " pairs of this run are complete (0 were already) and stay");
    ExpectIn(err, "No temporary file of this run is left.");

    std::size_t whole = 0;
    const auto kept = Snapshot(results);
    for (const auto& [file, contents] : kept) {
      ASSERT_EQ(file.find(".mirelock-"), std::string::npos) << "left-over temporary file " << file;
      // A results file and its trace stay together or not at all.
      const bool trace = file.ends_with(".trace");
      const std::string partner = file.substr(0, file.rfind('.')) + (trace ? ".txt" : ".trace");
      EXPECT_TRUE(kept.count(partner)) << file << " without " << partner;
      if (trace) continue;
      ASSERT_TRUE(expected.count(file)) << file;
      const std::string lines = WithoutTimes(contents.second);
      // Whole, or the first lines of the whole file: the finished runs of the pair in progress.
      EXPECT_EQ(expected.at(file).substr(0, lines.size()), lines) << file;
      if (lines == expected.at(file)) {
        ++whole;
      } else {
        EXPECT_EQ(Split(lines).size(), 2u) << "a pair stopped before its first run leaves no file";
        ExpectIn(err, "Kept the finished runs of " + (results / file).string() + " (1 of 2 runs).");
      }
    }
    EXPECT_GE(whole, 1u);
    EXPECT_LT(whole, 6u) << "stopped after the batch had finished";

    Mirelock("run '" + batch.doc + "'");
    EXPECT_EQ(batch.Files(), expected);
  }
}

// A problem that cannot be opened when its turn comes (its folder emptied
// mid-batch) fails the run: exit 1, the pairs named with path and reason, no
// file that could count as complete; summarise then names what it leaves out.
TEST_F(BatchFaults, APairThatFailsFailsTheRunAndSummariseNamesTheProblemsItLeavesOut) {
  Batch batch = MakeBatch("vanish", "qap", 2, kSlow, SourceDir() / "examples" / "qap");
  const fs::path problems = batch.dir / "problems";
  const fs::path last = problems / "tai12a.dat";
  ASSERT_TRUE(fs::exists(last));
  const pid_t child = Start({"run", batch.doc}, batch.dir / "err");
  ASSERT_TRUE(AwaitFirstPair(child, batch.dir / "results"));
  fs::remove(last);
  EXPECT_EQ(Wait(child), 1);
  const std::string err = ReadText(batch.dir / "err");
  ExpectIn(err, "Error : Cannot open file tai12a.dat (" + (problems / "tai12a.dat").string() +
                    ": No such file or directory)");
  ExpectIn(err, "2 pairs of the batch could not be solved and have no results file:\n  tai12a.dat, experiment 1: "
                "cannot open " + last.string() + ": No such file or directory");
  EXPECT_EQ(err.find("Finished Solving.."), std::string::npos) << err;
  EXPECT_EQ(batch.Files().size(), 4u);

  // Back in place for summarise's listing, but never solved: named, not silently dropped.
  fs::copy_file(SourceDir() / "examples" / "qap" / "tai12a.dat", last);
  const auto summary = Run("summarise '" + batch.doc + "'");
  EXPECT_EQ(summary.status, 0) << summary.err;
  ExpectIn(summary.err, "Problems left out, without a complete results file for every experiment:\n  tai12a.dat: no "
                        "results file Results_QAP_tai12a_");
}

// A full disk mid-batch: a 24 KiB file system of the test's own (tmpfs in a
// private mount namespace, so nothing outside the test sees it) as the
// results directory. The run ends with status 1 naming the file and the
// reason; every file under a final name is whole.
TEST_F(BatchFaults, AFullDiskEndsTheRunWithTheReasonAndKeepsEveryWholeFile) {
  if (std::system("unshare -m sh -c 'mount -t tmpfs -o size=24k tmpfs /mnt' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "cannot mount a small file system here (needs root and unshare)";
  const std::string effort = "--max-repairs 20 --times-n on --runs 3";
  Batch reference = MakeBatch("reference", "qap", 4, effort);
  Mirelock("run '" + reference.doc + "'");
  const auto expected = reference.Files();
  Batch batch = MakeBatch("full", "qap", 4, effort);
  const fs::path results = batch.dir / "results";
  // 24 KiB: a page each for the seed record and a whole pair's results file and trace, not for a second pair.
  const std::string script = "mount -t tmpfs -o size=24k tmpfs '" + results.string() + "' && '" MIRELOCK_BINARY
                             "' run '" + batch.doc + "' 2>'" + (batch.dir / "err").string() +
                             "'; status=\\$?; cp -a '" + results.string() + "/.' '" + (batch.dir / "kept").string() +
                             "'; exit \\$status";  // \\$: for the inner shell
  fs::create_directories(batch.dir / "kept");
  const int raw = std::system(("unshare -m sh -c \"" + script + "\"").c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  const std::string err = ReadText(batch.dir / "err");
  ExpectIn(err, ": No space left on device");
  EXPECT_EQ(err.find("Finished Solving.."), std::string::npos) << err;
  std::size_t whole = 0;
  for (const auto& entry : fs::directory_iterator(batch.dir / "kept")) {
    const std::string name = entry.path().filename().string();
    if (name == kSeedRecordName) continue;
    EXPECT_EQ(name.find(".mirelock-"), std::string::npos) << "left-over temporary file " << name;
    if (name.ends_with(".trace")) {  // a trace only beside its whole results file
      EXPECT_TRUE(expected.count(name.substr(0, name.size() - 6) + ".txt")) << name;
      EXPECT_TRUE(fs::exists(entry.path().parent_path() / (name.substr(0, name.size() - 6) + ".txt"))) << name;
      continue;
    }
    ASSERT_TRUE(expected.count(name)) << name;
    EXPECT_EQ(WithoutTimes(ReadText(entry.path())), expected.at(name)) << name;
    ++whole;
  }
  EXPECT_GE(whole, 1u);
  EXPECT_LT(whole, expected.size());
}

// A monitor run whose output cannot be written (a full disk: /dev/full fails
// every write with ENOSPC) fails, saying so, for the solvers that write one.
TEST_F(BatchFaults, AMonitorRunFailsOnAWriteError) {
  for (const std::string type : {"qap", "sat"}) {
    Batch batch = MakeBatch("monitor-" + type, type, 0, "");
    const std::string problem =
        (SourceDir() / "examples" / type / (type == "qap" ? "nug12.dat" : "uf20-01.cnf")).string();
    const auto full = Run("monitor '" + batch.doc + "' --problem '" + problem +
                          "' --out /dev/full --runs 1 --max-repairs 50 --times-n off");
    EXPECT_EQ(full.status, 1) << type;
    ExpectIn(full.err, "Failed to write the monitor output file /dev/full: No space left on device");
    EXPECT_EQ(full.err.find("Finished Solving.."), std::string::npos) << full.err;
    const auto fine = Run("monitor '" + batch.doc + "' --problem '" + problem + "' --out '" +
                          (batch.dir / "monitor.txt").string() + "' --runs 1 --max-repairs 50 --times-n off");
    EXPECT_EQ(fine.status, 0) << fine.err;
  }
}

// Ten `exp add` at once keep all ten experiments; a second unsharded run of
// a document that is running is refused (shards are not); an empty document
// is an error, never the defaults.
TEST_F(BatchFaults, DocumentEditsTakeTurnsAndARunningDocumentIsNotRunTwice) {
  Batch batch = MakeBatch("edits", "qap", 0, kSlow);
  std::string loop;
  for (int i = 1; i <= 10; ++i)
    loop += "'" MIRELOCK_BINARY "' exp add '" + batch.doc + "' " + kSlow + " --lambda " + std::to_string(i) + " & ";
  ASSERT_EQ(std::system(("cd '" + root_.string() + "' && { " + loop + "wait; }").c_str()), 0);
  const std::string list = Run("exp list '" + batch.doc + "'").out;
  ExpectIn(list, "\n9  ");  // ids 0 to 9
  for (int i = 1; i <= 10; ++i) ExpectIn(list, std::string(" ").append(std::to_string(i)).append("\n"));  // every lambda

  const pid_t first = Start({"run", batch.doc}, batch.dir / "err");
  ASSERT_TRUE(AwaitFirstPair(first, batch.dir / "results"));
  const auto second = Run("run '" + batch.doc + "'");
  EXPECT_EQ(second.status, 1);
  ExpectIn(second.err, "Another mirelock run is already solving " + batch.doc +
                           "; wait until it ends, or share the batch between processes with --shard K/N.");
  // Edits are not held up by the running batch.
  EXPECT_EQ(Run("doc set '" + batch.doc + "' --ordering random").status, 0);
  ::kill(first, SIGINT);
  EXPECT_EQ(Wait(first), 130);

  WriteFile((root_ / "empty.mirel").string(), "");
  const auto empty = Run("run empty.mirel");
  EXPECT_NE(empty.status, 0);
  ExpectIn(empty.err, "The document file empty.mirel is empty (0 bytes), not a document");
  EXPECT_FALSE(fs::exists(root_ / "Results"));
}

// A batch resumed with another seed in the same results folder says so before it solves.
TEST_F(BatchFaults, ABatchResumedWithAnotherSeedSaysSo) {
  Batch batch = MakeBatch("seeds", "qap", 1, "--max-repairs 20 --times-n on --runs 2");
  const auto first = Run("run '" + batch.doc + "'");
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.err.find("Warning"), std::string::npos) << first.err;
  Mirelock("doc set '" + batch.doc + "' --seed 7");
  Mirelock("exp add '" + batch.doc + "' --max-repairs 20 --times-n on --runs 2 --lambda 9");
  const auto second = Run("run '" + batch.doc + "'");
  EXPECT_EQ(second.status, 0);
  ExpectIn(second.err, "Warning: the results directory " + (batch.dir / "results").string() +
                           "/ holds pairs solved with another seed (seed mode fixed, seed 21); this batch uses seed "
                           "mode fixed, seed 7, so its results will mix seeds.");
  EXPECT_EQ(ReadText(batch.dir / "results" / kSeedRecordName), "seed mode fixed, seed 21\nseed mode fixed, seed 7\n");
}

}  // namespace
}  // namespace mirelock::test
