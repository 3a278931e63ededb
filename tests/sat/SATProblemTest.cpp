#include "sat/SATProblem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "solver/SolverTestSupport.h"

namespace mirelock {
namespace {

// What reading a file gives: the fatal error, or the messages shown and the
// clauses kept (".sat" files are weighted). Every clause kept must appear in
// each of its variables' occurrence lists exactly once, under its own index.
std::string ReadOutcome(const std::string& path) {
  RecordingMessages messages;
  SATProblem problem(&messages);
  problem.SetWeighted(path.ends_with(".sat"));
  try {
    problem.ReadFile(path);
  } catch (const FatalError& error) {
    return test::Outcome(error);
  }
  std::ostringstream out;
  for (const std::string& message : messages.Messages()) out << message << "\n";
  out << problem.NumVariables() << " variables, weight " << problem.TotalWeight() << ":";
  for (std::size_t c = 0; c < problem.NumClauses(); ++c) {
    Clause& clause = problem.GetClause(c);
    EXPECT_EQ(clause.Id(), c) << path;
    out << " ";
    clause.Write(out);
    for (Literal* literal : clause.Literals()) {
      const auto& occurrences = literal->GetVariable().Occurrences();
      EXPECT_EQ(std::count(occurrences.begin(), occurrences.end(), &clause), 1) << path;
    }
  }
  return out.str();
}

TEST(SATProblem, EachFileOfTheParseFolderGivesItsOutcome) {
  test::ExpectReadOutcomes("sat/parse", ReadOutcome);
  // Satisfaction follows the variables' values: only (1 -2) holds with all false.
  SATProblem problem;
  problem.ReadFile(test::TestData("sat/parse/duplicate-and-complementary-literals.cnf"));
  EXPECT_EQ(problem.SatisfiedWeight(), 1u);
  problem.GetVariable(1).Flip();
  EXPECT_EQ(problem.SatisfiedWeight(), 2u);
}

TEST(SATProblem, BenchmarkFilesLoad) {
  RecordingMessages messages;
  SATProblem weighted(&messages);
  weighted.SetWeighted(true);
  weighted.ReadFile(test::TestData("sat/jnh1-rw.sat"));
  EXPECT_EQ(weighted.NumVariables(), 100u);
  EXPECT_EQ(weighted.NumClauses(), 850u);
  EXPECT_EQ(weighted.TotalWeight(), 436732u);
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
}  // namespace mirelock
