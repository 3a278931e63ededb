#include <gtest/gtest.h>

#include <sstream>

#include "platform/FatalError.h"
#include "qap/QAPTestHelpers.h"

namespace mirelock {
namespace {

using test::LoadProblem;
using test::TestData;

QAPProblem FromText(const std::string& text) {
  QAPProblem problem;
  std::istringstream in(text);
  problem.Read(in);
  return problem;
}

TEST(QAPProblem, ClassifiesTheThreeTypes) {
  const QAPProblem nug = LoadProblem(TestData("qap/nug12.dat"));
  EXPECT_EQ(nug.Size(), 12u);
  EXPECT_EQ(nug.Type(), QAPProblem::kSymmetric);
  EXPECT_EQ(nug.Cost({11, 6, 8, 2, 3, 7, 10, 0, 4, 5, 9, 1}), 578);  // the published optimum

  // One asymmetric entry of B makes the instance general.
  std::ostringstream text;
  text << 12 << "\n";
  for (unsigned i = 0; i < 12; ++i)
    for (unsigned j = 0; j < 12; ++j) text << nug.A(i, j) << " ";
  for (unsigned i = 0; i < 12; ++i)
    for (unsigned j = 0; j < 12; ++j) text << (i == 2 && j == 7 ? nug.B(i, j) + 1 : nug.B(i, j)) << " ";
  EXPECT_EQ(FromText(text.str()).Type(), QAPProblem::kGeneral);
  EXPECT_EQ(LoadProblem(TestData("qap/bur26a.dat")).Type(), QAPProblem::kGeneral);

  const QAPProblem block = FromText("3\n1 1 0\n1 1 0\n0 0 0\n0 2 3\n2 0 4\n3 4 0\n");
  EXPECT_EQ(block.Type(), QAPProblem::kBlock);
  EXPECT_EQ(block.BlockSize(), 2);
  EXPECT_EQ(block.SearchType(), QAPProblem::kBlock);
  // A zero at (0,0) fails the block test.
  const QAPProblem notBlock = FromText("2\n0 1\n1 0\n0 5\n5 0\n");
  EXPECT_EQ(notBlock.Type(), QAPProblem::kSymmetric);
  // A block instance whose B is asymmetric keeps its type but is searched with the general formulas.
  const QAPProblem asymmetricB = FromText("3\n1 1 0\n1 1 0\n0 0 0\n0 2 3\n1 0 4\n3 4 0\n");
  EXPECT_EQ(asymmetricB.Type(), QAPProblem::kBlock);
  EXPECT_EQ(asymmetricB.SearchType(), QAPProblem::kGeneral);
}

TEST(QAPProblem, ChoosesTheIntegerWidthFromTheCostBounds) {
  EXPECT_FALSE(LoadProblem(TestData("qap/nug12.dat")).NeedsWideArithmetic());
  EXPECT_FALSE(LoadProblem(TestData("qap/tai12a.dat")).NeedsWideArithmetic());
  for (const char* name : {"qap/tai60b.dat", "qap/tai80b.dat"})
    EXPECT_TRUE(LoadProblem(TestData(name)).NeedsWideArithmetic()) << name;
  for (const char* name : {"qap/nug30.dat", "qap/tai64c.dat"})
    EXPECT_FALSE(LoadProblem(TestData(name)).NeedsWideArithmetic()) << name;
}

// Every file of the parse folder is named after its defect; each must give a
// fatal error naming the file, never a crash or a search on garbage.
TEST(QAPProblem, MalformedFilesGiveTheirError) {
  test::ExpectReadOutcomes("qap/parse", [](const std::string& path) {
    QAPProblem problem;
    try {
      test::ReadProblem(problem, path);
    } catch (const FatalError& e) {
      return test::Outcome(e);
    }
    return "accepted, size " + std::to_string(problem.Size());
  });
}

}  // namespace
}  // namespace mirelock
