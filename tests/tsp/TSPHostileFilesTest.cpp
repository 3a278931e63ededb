#include <gtest/gtest.h>

#include <fstream>

#include "common/BoundedChild.h"
#include "common/TempDir.h"
#include "platform/FatalError.h"
#include "platform/InputFile.h"
#include "tsp/TSPInstance.h"

namespace mirelock {
namespace {

std::string ReadInstance(std::istream& in) {
  TSPInstance instance;
  try {
    instance.Read(in);
  } catch (const FatalError& error) {
    return error.Text();
  }
  return "read";
}

// Opened as a batch opens a problem, a FIFO, device or directory is refused
// unread; a sparse file, or /dev/zero handed over already open, ends at the
// first header word: within a deadline and 64 MiB, not after reading a
// gigabyte "word" of NUL bytes.
TEST(TSPInstance, HostileFilesGiveAnErrorInBoundedTimeAndMemory) {
  test::TempDir scratch;
  const auto files = test::MakeHostileFiles(scratch.Path(), ".tsp");
  auto openAndRead = [](const std::string& path) {
    return [path] {
      InputFileStream in(path);
      return in ? ReadInstance(in) : "refused: " + in.Error();
    };
  };
  const std::string nul =
      "Error: TSP file without NAME: the header holds a NUL character; this is not a text file\n";
  test::ExpectBoundedOutcomes({
      {openAndRead(files.fifo), "refused: " + files.fifo + " is a FIFO, not a regular file"},
      {openAndRead(files.zero), "refused: " + files.zero + " is a character device, not a regular file"},
      {openAndRead(files.directory), "refused: " + files.directory + " is a directory, not a regular file"},
      {openAndRead(files.sparse), nul},
      {[] {
         std::ifstream in("/dev/zero");
         return ReadInstance(in);
       },
       nul},
  });
}

}  // namespace
}  // namespace mirelock
