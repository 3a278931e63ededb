#include <gtest/gtest.h>

#include <fstream>

#include "common/BoundedChild.h"
#include "common/TempDir.h"
#include "platform/FatalError.h"
#include "platform/InputFile.h"
#include "qap/QAPProblem.h"

namespace mirelock {
namespace {

std::string ReadProblem(std::istream& in, const std::string& name) {
  QAPProblem problem;
  problem.SetSourceName(name);
  try {
    problem.Read(in);
  } catch (const FatalError& error) {
    return error.Text();
  }
  return "read";
}

// Opened as a batch opens a problem, a FIFO, device or directory is refused
// unread; a sparse file, or /dev/zero handed over already open, fails at the
// size: within a deadline and 64 MiB.
TEST(QAPProblem, HostileFilesGiveAnErrorInBoundedTimeAndMemory) {
  test::TempDir scratch;
  const auto files = test::MakeHostileFiles(scratch.Path(), ".dat");
  auto openAndRead = [](const std::string& path) {
    return [path] {
      InputFileStream in(path);
      return in ? ReadProblem(in, path) : "refused: " + in.Error();
    };
  };
  test::ExpectBoundedOutcomes({
      {openAndRead(files.fifo), "refused: " + files.fifo + " is a FIFO, not a regular file"},
      {openAndRead(files.zero), "refused: " + files.zero + " is a character device, not a regular file"},
      {openAndRead(files.directory), "refused: " + files.directory + " is a directory, not a regular file"},
      {openAndRead(files.sparse), files.sparse + ": the file does not start with the problem size\n"},
      {[] {
         std::ifstream in("/dev/zero");
         return ReadProblem(in, "zeros");
       },
       "zeros: the file does not start with the problem size\n"},
  });
}

}  // namespace
}  // namespace mirelock
