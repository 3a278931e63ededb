#include <gtest/gtest.h>

#include <string>

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

  // QAP names keep their extension; the first line of a name counts; bad lines are skipped and named.
  WriteFile(dir + "best.txt", "nug12.dat 578\nnug12.dat 1\nbroken.dat [1 2\nesc16f.dat 0\nx.dat abc\n");
  BestKnownCosts qap = reader.Read(kProblemQAP, dir);
  EXPECT_EQ(qap.First("nug12.dat"), 578);
  EXPECT_EQ(qap.First("esc16f.dat"), 0);
  EXPECT_FALSE(qap.First("broken.dat"));
  EXPECT_FALSE(qap.First("x.dat"));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0], "In " + dir +
                                        "best.txt, lines 3, 5 did not hold a name and a cost or a "
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
  const std::string body = "jnh2-rw.sat 14 430566 430580\njnh2.sat 1 849 850\njnh2.sat 9 9 9\n";
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

}  // namespace
}  // namespace mirelock
