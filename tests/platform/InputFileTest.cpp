#include "platform/InputFile.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/BoundedChild.h"
#include "common/TempDir.h"

namespace mirelock {
namespace {

// Opening is what blocks on a FIFO and reading what never ends on a device:
// each file is opened and read in a child with a deadline and a memory bound.
TEST(InputFile, RefusesWhatIsNotARegularFileWithoutBlocking) {
  test::TempDir scratch;
  const auto hostile = test::MakeHostileFiles(scratch.Path(), ".txt");
  test::WriteFile(scratch.Path("plain.txt"), "one\ntwo");
  auto openAndRead = [](const std::string& path) {
    return [path] {
      InputFileStream in(path);
      if (!in) return "refused: " + in.Error();
      std::ostringstream text;
      text << in.rdbuf();
      return "read " + std::to_string(text.str().size()) + " bytes of " + std::to_string(in.Size());
    };
  };
  test::ExpectBoundedOutcomes({
      {openAndRead(hostile.fifo), "refused: " + hostile.fifo + " is a FIFO, not a regular file"},
      {openAndRead(hostile.zero), "refused: " + hostile.zero + " is a character device, not a regular file"},
      {openAndRead(hostile.directory),
       "refused: " + hostile.directory + " is a directory, not a regular file"},
      {openAndRead(scratch.Path("missing.txt")),
       "refused: " + scratch.Path("missing.txt") + ": No such file or directory"},
      {openAndRead(scratch.Path("plain.txt")), "read 7 bytes of 7"},
  });
}

// Lines and words are cut at the bound; what fits is read as getline and >> would.
TEST(InputFile, BoundedLinesAndWords) {
  std::istringstream in("ab\r\n\n  word   longer-word\nlast");
  std::string text;
  EXPECT_EQ(ReadBoundedLine(in, text, 3), BoundedRead::kRead);
  EXPECT_EQ(text, "ab\r");
  EXPECT_EQ(ReadBoundedLine(in, text, 3), BoundedRead::kRead);
  EXPECT_EQ(text, "");
  EXPECT_EQ(ReadBoundedWord(in, text, 4), BoundedRead::kRead);
  EXPECT_EQ(text, "word");
  EXPECT_EQ(ReadBoundedWord(in, text, 4), BoundedRead::kTooLong);
  EXPECT_EQ(text, "longe");
  EXPECT_EQ(ReadBoundedLine(in, text, 6), BoundedRead::kRead);
  EXPECT_EQ(text, "r-word");
  EXPECT_EQ(ReadBoundedLine(in, text, 5), BoundedRead::kRead);  // the last line has no '\n'
  EXPECT_EQ(text, "last");
  EXPECT_TRUE(in.eof() && !in.fail());
  EXPECT_EQ(ReadBoundedLine(in, text, 5), BoundedRead::kEnd);
  EXPECT_TRUE(in.fail());

  std::istringstream blanks("   \n ");
  EXPECT_EQ(ReadBoundedWord(blanks, text, 4), BoundedRead::kEnd);
  EXPECT_TRUE(blanks.fail());
}

}  // namespace
}  // namespace mirelock
