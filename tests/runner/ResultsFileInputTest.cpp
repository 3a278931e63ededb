#include <gtest/gtest.h>

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

}  // namespace
}  // namespace mirelock
