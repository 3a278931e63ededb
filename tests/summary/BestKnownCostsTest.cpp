#include <gtest/gtest.h>

#include <string>

#include "common/BoundedChild.h"
#include "common/TempDir.h"
#include "platform/UserMessages.h"
#include "summary/BestKnownCosts.h"

namespace mirelock {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(BestKnownCosts, LinesOfEveryTypeAndTheOnesSkipped) {
  TempDir scratch;
  const std::string dir = scratch.Sub("p");
  RecordingMessages messages;
  BestKnownCostsReader reader(messages);

  // A plain cost, or the upper of a bracketed pair of bounds; ".tsp" is appended.
  WriteFile(dir + "best.txt", "eil51 [420 426]\nberlin52 [ 7000 7542 ]\r\n\nkroA100 21282\n");
  BestKnownCosts tsp = reader.Read(kProblemTSP, dir);
  EXPECT_EQ(tsp.First("eil51.tsp"), 426);
  EXPECT_EQ(tsp.First("berlin52.tsp"), 7542);
  EXPECT_EQ(tsp.First("kroA100.tsp"), 21282);
  EXPECT_FALSE(tsp.First("eil51"));
  EXPECT_TRUE(messages.Messages().empty());

  // QAP names keep their extension; bad lines are skipped and named.
  WriteFile(dir + "best.txt", "nug12.dat 578\nbroken.dat [1 2\nesc16f.dat 0\nx.dat abc\n");
  BestKnownCosts qap = reader.Read(kProblemQAP, dir);
  EXPECT_EQ(qap.First("nug12.dat"), 578);
  EXPECT_EQ(qap.First("esc16f.dat"), 0);
  EXPECT_FALSE(qap.First("broken.dat"));
  EXPECT_FALSE(qap.First("x.dat"));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0], "In " + dir +
                                        "best.txt, lines 2, 4 did not hold a name and a cost or a "
                                        "bracketed [lower upper] pair; they were skipped");

  // SAT needs no best.txt; other types report a missing one.
  std::filesystem::remove(dir + "best.txt");
  EXPECT_FALSE(reader.Read(kProblemSAT, dir).fileRead);
  EXPECT_EQ(messages.Messages().size(), 1u);
  EXPECT_TRUE(reader.Read(kProblemQAP, dir).first.empty());
  EXPECT_EQ(messages.Messages().back(), "Failed to read in best known/optimal costs in best.txt");
  reader.Read(7, dir);
  EXPECT_EQ(messages.Messages().back(),
            "Unknown how to read best known costs file for current problem type in void "
            "CSummariser::ReadInBestKnownCosts()..Please add code\n");

  // MAX-SAT: a header line, then three numbers a line.
  const std::string body = "jnh2-rw.sat 14 430566 430580\njnh2.sat 1 849 850\n";
  WriteFile(dir + "best.txt", std::string(255, 'h') + "\n" + body);
  BestKnownCosts costs = reader.Read(kProblemMaxSAT, dir);
  EXPECT_EQ(costs.First("jnh2-rw.sat"), 14);
  EXPECT_EQ(costs.Second("jnh2-rw.sat"), 430566);
  EXPECT_EQ(costs.Third("jnh2-rw.sat"), 430580);
  EXPECT_EQ(costs.Second("jnh2.sat"), 849);
  EXPECT_EQ(messages.Messages().size(), 3u);

  // A header of 256 characters ends the file: no values at all.
  WriteFile(dir + "best.txt", std::string(256, 'h') + "\n" + body);
  costs = reader.Read(kProblemMaxSAT, dir);
  EXPECT_TRUE(costs.first.empty() && costs.second.empty() && costs.third.empty());
  ASSERT_EQ(messages.Messages().size(), 4u);
  EXPECT_EQ(messages.Messages()[3].rfind("Failed to read in best known/optimal costs in best.txt", 0), 0u);
}

// A byte order mark is dropped; a name listed twice and values no cost can be
// compared with are refused by name, leaving that problem without a best
// known cost, and every other line still counts.
TEST(BestKnownCosts, DuplicatesAndUnusableValuesAreRefusedByName) {
  TempDir scratch;
  const std::string dir = scratch.Sub("p");
  const std::string path = dir + "best.txt";
  const std::string bom = "\xEF\xBB\xBF";
  auto read = [&](std::uint32_t type, const std::string& text, std::vector<std::string>& messages) {
    WriteFile(path, text);
    RecordingMessages recorded;
    BestKnownCosts costs = BestKnownCostsReader(recorded).Read(type, dir);
    messages = recorded.Messages();
    return costs;
  };
  std::vector<std::string> messages;

  BestKnownCosts tsp = read(kProblemTSP,
                            bom +
                                "eil51 426\nberlin52 7542\neil51 [420 426]\nkroA100 -21282\nkroB100 1e300\n"
                                "kroC100 inf\nkroD100 nan\neil51 430\nkroE100 22068\n",
                            messages);
  EXPECT_EQ(tsp.first, (std::map<std::string, double>{{"berlin52.tsp", 7542}, {"kroE100.tsp", 22068}}));
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "In " + path +
                              ", eil51.tsp is listed on line 1 and again on line 3; eil51.tsp has no "
                              "best known cost",
                          "In " + path +
                              ", line 4: the best known value -21282 of kroA100.tsp is negative; "
                              "kroA100.tsp has no best known cost",
                          "In " + path +
                              ", line 5: the best known value 1e+300 of kroB100.tsp is larger than any "
                              "cost a run can have; kroB100.tsp has no best known cost",
                          "In " + path +
                              ", line 6: the best known value inf of kroC100.tsp is not a finite "
                              "number; kroC100.tsp has no best known cost",
                          "In " + path +
                              ", line 7: the best known value nan of kroD100.tsp is not a finite "
                              "number; kroD100.tsp has no best known cost",
                      }));

  // MAX-SAT: the header may carry the mark; any of the three numbers can be refused.
  BestKnownCosts maxsat =
      read(kProblemMaxSAT,
           bom + "name unsat sat total\na.sat 1 2 3\nb.sat 0 -2 3\na.sat 1 2 3\nc.sat 0 5 5\n", messages);
  EXPECT_EQ(maxsat.second, (std::map<std::string, double>{{"c.sat", 5}}));
  EXPECT_EQ(maxsat.first.size(), 1u);
  EXPECT_EQ(maxsat.third.size(), 1u);
  EXPECT_EQ(
      messages,
      (std::vector<std::string>{
          "In " + path +
              ", line 3: the best known value -2 of b.sat is negative; b.sat has no best known cost",
          "In " + path + ", a.sat is listed on line 2 and again on line 4; a.sat has no best known cost",
      }));

  // Past ten refusals the rest are counted.
  std::string many;
  for (int i = 0; i < 13; ++i) many.append("p").append(std::to_string(i)).append(".dat -1\n");
  read(kProblemQAP, many, messages);
  ASSERT_EQ(messages.size(), 11u);
  EXPECT_EQ(messages.back(), "In " + path + ", 3 more entries were refused");
}

// A FIFO or device under the name is refused unread; a sparse file or one
// without line ends stops at its first line: within a deadline and 64 MiB.
TEST(BestKnownCosts, HostileFilesAreRefusedInBoundedTimeAndMemory) {
  TempDir scratch;
  const auto files = test::MakeHostileFiles(scratch.Path(), "");
  auto readAs = [&scratch](const std::string& file) {
    return [&scratch, file] {
      const std::string dir = scratch.Sub("as-" + std::filesystem::path(file).filename().string());
      std::filesystem::rename(file, dir + "best.txt");
      RecordingMessages messages;
      const BestKnownCosts costs = BestKnownCostsReader(messages).Read(kProblemTSP, dir);
      std::string text = std::to_string(costs.first.size()) + " costs";
      for (const std::string& message : messages.Messages()) text += "; " + message;
      return text;
    };
  };
  const std::string failed = "0 costs; Failed to read in best known/optimal costs in best.txt";
  WriteFile(scratch.Path("long"), "eil51 426\n" + std::string(5000, 'x') + "\nberlin52 7542\n");
  test::ExpectBoundedOutcomes({
      {readAs(files.fifo),
       failed + ": " + scratch.Path("as-fifo/best.txt") + " is a FIFO, not a regular file"},
      {readAs(files.zero),
       failed + ": " + scratch.Path("as-zero/best.txt") + " is a character device, not a regular file"},
      {readAs(files.directory),
       failed + ": " + scratch.Path("as-directory/best.txt") + " is a directory, not a regular file"},
      {readAs(files.sparse),
       failed + ": line 1 of " + scratch.Path("as-sparse/best.txt") +
           " holds a NUL character; this is not a text file; the rest of the file was not read"},
      {readAs(scratch.Path("long")),
       "1 costs; Failed to read in best known/optimal costs in best.txt: line 2 of " +
           scratch.Path("as-long/best.txt") +
           " is longer than 4096 characters; the rest of the file was not read"},
  });
}

}  // namespace
}  // namespace mirelock
