#include <gtest/gtest.h>

#include "BatchBench.h"
#include "common/BoundedChild.h"
#include "common/TempDir.h"
#include "runner/ResultsFiles.h"

namespace mirelock {
namespace {

// Whether a pair is complete is decided by counting its results file's lines:
// a FIFO, device or directory under the name counts as no file (the pair is
// solved again), and neither blocks the batch nor reads without end.
TEST(ResultsFiles, LineCountOfHostileFilesEndsAtZero) {
  test::TempDir scratch;
  const auto files = test::MakeHostileFiles(scratch.Path(), ".txt");
  auto count = [](const std::string& path) {
    return [path] { return std::to_string(CountResultsFileLines(path)); };
  };
  test::WriteFile(scratch.Path("two.txt"), "header\nrow\n");
  test::ExpectBoundedOutcomes({
      {count(files.fifo), "0"},
      {count(files.zero), "0"},
      {count(files.directory), "0"},
      {count(files.sparse), "0"},
      {count(scratch.Path("two.txt")), "2"},
  });
}

// A FIFO, device or directory given as a problem is refused unread, with the
// reason: the pair fails at once instead of the worker blocking on the open.
TEST(ResultsFiles, HostileProblemFilesAreRefusedWithTheirReason) {
  test::Bench bench({}, {});
  const auto files = test::MakeHostileFiles(bench.doc.m_strProblemsDir, ".cnf");
  auto solve = [&bench](const std::string& path) {
    return [&bench, path] {
      const std::string name = std::filesystem::path(path).filename().string();
      RecordingMessages messages;
      ResultsFileHooks hooks;
      hooks.messages = &messages;
      test::FakeSolver solver(bench.config, 1);
      const PairOutcome outcome = WriteResultsFile(solver, bench.Request(name), hooks);
      return std::string(outcome == PairOutcome::kProblemUnreadable ? "unreadable: " : "other: ") +
             (messages.Messages().empty() ? "" : messages.Messages().back());
    };
  };
  const std::string cannot = "unreadable: Error : Cannot open file ";
  test::ExpectBoundedOutcomes({
      {solve(files.fifo), cannot + "fifo.cnf (" + files.fifo + " is a FIFO, not a regular file)"},
      {solve(files.zero), cannot + "zero.cnf (" + files.zero + " is a character device, not a regular file)"},
      {solve(files.directory),
       cannot + "directory.cnf (" + files.directory + " is a directory, not a regular file)"},
  });
}

}  // namespace
}  // namespace mirelock
