#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

// Reading stops at the last weight or coordinate the layout needs: what
// follows the section (EOF, a DISPLAY_DATA_SECTION) is left unread, and the
// stream is still good for it.
TEST(TSPInstance, ReadingEndsAtTheSectionsLastNumber) {
  const std::string header = "NAME : four\nTYPE : TSP\nDIMENSION : 4\n";
  const std::string files[] = {
      header +
          "EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : UPPER_ROW\nEDGE_WEIGHT_SECTION\n1 2 3\n4 "
          "5\n6\nEOF\n",
      header +
          "EDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : FULL_MATRIX\nEDGE_WEIGHT_SECTION\n"
          "0 1 2 3\n1 0 4 5\n2 4 0 6\n3 5 6 0\nEOF\n",
      header +
          "EDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_TYPE : TWOD_COORDS\nNODE_COORD_SECTION\n"
          "1 0 0\n2 0 3\n3 4 0\n4 4 3\nEOF\n",
  };
  for (const std::string& file : files) {
    std::istringstream in(file);
    TSPInstance instance;
    instance.Read(in);
    EXPECT_TRUE(in.good()) << file;
    std::string next;
    in >> next;
    EXPECT_EQ(next, "EOF") << file;
    EXPECT_EQ(instance.Distances()(2, 3), instance.Header().sectionKeyword == "NODE_COORD_SECTION" ? 3 : 6);
  }
}

}  // namespace
}  // namespace mirelock
