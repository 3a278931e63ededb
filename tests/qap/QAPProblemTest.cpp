#include <gtest/gtest.h>

#include <sstream>

#include "platform/FatalError.h"
#include "qap/QAPTestHelpers.h"

namespace mirelock {
namespace {

using test::LoadProblem;
using test::TestData;

TEST(QAPProblem, PublishedInstancesTheirTypeAndIntegerWidth) {
  const QAPProblem nug = LoadProblem(TestData("qap/nug12.dat"));
  EXPECT_EQ(nug.Cost({11, 6, 8, 2, 3, 7, 10, 0, 4, 5, 9, 1}), 578);  // the published optimum
  EXPECT_EQ(LoadProblem(TestData("qap/bur26a.dat")).Type(), QAPProblem::kGeneral);
  EXPECT_FALSE(LoadProblem(TestData("qap/nug12.dat")).NeedsWideArithmetic());
  EXPECT_FALSE(LoadProblem(TestData("qap/tai12a.dat")).NeedsWideArithmetic());
  for (const char* name : {"qap/tai60b.dat", "qap/tai80b.dat"})
    EXPECT_TRUE(LoadProblem(TestData(name)).NeedsWideArithmetic()) << name;
  for (const char* name : {"qap/nug30.dat", "qap/tai64c.dat"})
    EXPECT_FALSE(LoadProblem(TestData(name)).NeedsWideArithmetic()) << name;
}

// The files of the parse folder are named after their defect: each must give a
// fatal error naming the file, never a crash or a search on garbage. Those of
// the types folder are classified as symmetric (0), general (1) or block (2):
// one asymmetric entry makes an instance general, a zero at (0,0) fails the
// block test, and a block instance whose B is asymmetric keeps its type but is
// searched with the general formulas.
TEST(QAPProblem, EachFileGivesItsErrorOrType) {
  const auto outcome = [](const std::string& path) {
    QAPProblem problem;
    try {
      test::ReadProblem(problem, path);
    } catch (const FatalError& e) {
      return test::Outcome(e);
    }
    return "size " + std::to_string(problem.Size()) + ", type " + std::to_string(problem.Type()) +
           ", searched as " + std::to_string(problem.SearchType()) + ", block " + std::to_string(problem.BlockSize());
  };
  test::ExpectReadOutcomes("qap/parse", outcome);
  test::ExpectReadOutcomes("qap/types", outcome);
}

}  // namespace
}  // namespace mirelock
