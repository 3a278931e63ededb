#include "sat/SATProblem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/TestSupport.h"
#include "platform/FatalError.h"

namespace mirelock {
namespace {

struct Loaded {
  RecordingMessages messages;
  SATProblem problem{&messages};
};

void LoadCNF(Loaded& loaded, const std::string& text) {
  std::istringstream in(text);
  loaded.problem.Read(in);
}

std::string ClauseText(const Clause& clause) {
  std::ostringstream out;
  clause.Write(out);
  return out.str();
}

// Every clause appears in each of its variables' occurrence lists exactly once.
void ExpectOccurrencesOncePerClause(SATProblem& problem) {
  for (std::size_t c = 0; c < problem.NumClauses(); ++c) {
    Clause& clause = problem.GetClause(c);
    EXPECT_EQ(clause.Id(), c);
    for (Literal* literal : clause.Literals()) {
      const auto& occurrences = literal->GetVariable().Occurrences();
      EXPECT_EQ(std::count(occurrences.begin(), occurrences.end(), &clause), 1);
    }
  }
}

TEST(SATProblem, ReadsCNFWithDuplicateAndComplementaryLiterals) {
  Loaded loaded;
  LoadCNF(loaded, "c a comment\nc another\np cnf 3 4\n1 -2 0\n2 3 0\n1 1 2 0\n1 -1 2 0\n");
  SATProblem& problem = loaded.problem;
  EXPECT_TRUE(loaded.messages.Messages().empty());
  EXPECT_FALSE(problem.IsWeighted());
  ASSERT_EQ(problem.NumVariables(), 3u);
  // The complementary clause is read (the count matches) but dropped.
  ASSERT_EQ(problem.NumClauses(), 3u);
  EXPECT_EQ(ClauseText(problem.GetClause(0)), "1 -2 0\n");
  EXPECT_EQ(ClauseText(problem.GetClause(2)), "1 2 0\n");
  EXPECT_EQ(problem.TotalWeight(), 3u);
  ExpectOccurrencesOncePerClause(problem);

  // Satisfaction follows the variables' values.
  EXPECT_EQ(problem.SatisfiedWeight(), 1u);  // only (1 -2) holds with all false
  problem.GetVariable(1).Flip();
  EXPECT_EQ(problem.SatisfiedWeight(), 2u);
  problem.GetVariable(1).RemoveClause(&problem.GetClause(1));
  EXPECT_EQ(problem.GetVariable(1).Occurrences().size(), 2u);
}

TEST(SATProblem, CNFWarningsAndCountMessage) {
  {
    Loaded loaded;
    LoadCNF(loaded, "p cnf 3 2\n1 -2 0\n2 3");
    EXPECT_EQ(loaded.problem.NumClauses(), 2u);
    EXPECT_EQ(loaded.messages.Messages(),
              std::vector<std::string>{"Warning: Unexpected end of clause, no 0 literal for end of clause"});
  }
  const std::string missing = "Warning: Unexpected end of clause, no 0 literal for end of clause";
  const std::string count = "ERROR: Reading CNF file, wrong number of clauses (Expected 2, read 1)";
  for (const char* ending : {"\n", "\n\n  \n"}) {
    // White space after the last 0 is not the end yet: a clause read starts and finds no 0.
    Loaded loaded;
    LoadCNF(loaded, std::string("p cnf 3 2\n1 -2 0") + ending);
    EXPECT_EQ(loaded.problem.NumClauses(), 1u);
    EXPECT_EQ(loaded.messages.Messages(), (std::vector<std::string>{missing, count}));
  }
  {
    Loaded loaded;
    LoadCNF(loaded, "p cnf 3 2\n1 -2 0");
    EXPECT_EQ(loaded.messages.Messages(), std::vector<std::string>{count});
  }
  for (const char* headerless : {"", "c only a comment\n", "  \n"}) {
    Loaded loaded;
    LoadCNF(loaded, headerless);
    EXPECT_EQ(loaded.messages.Messages(), std::vector<std::string>{"ERROR: Couldn't read header for CNF"});
    EXPECT_EQ(loaded.problem.NumVariables(), 0u);
  }
  {
    // A comment between clauses stops the reading instead of looping on it.
    Loaded loaded;
    LoadCNF(loaded, "p cnf 3 3\n1 -2 0\nc comment\n2 3 0\n");
    EXPECT_EQ(loaded.problem.NumClauses(), 1u);
    EXPECT_EQ(loaded.messages.Messages().size(), 2u);
    EXPECT_EQ(loaded.messages.Messages().back(),
              "ERROR: Reading CNF file, wrong number of clauses (Expected 3, read 1)");
  }
  {
    Loaded loaded;
    LoadCNF(loaded, "p cnf x y\n1 0\n");
    EXPECT_EQ(loaded.messages.Messages().front(), "ERROR: Couldn't read header for CNF");
    EXPECT_EQ(loaded.problem.NumClauses(), 0u);
  }
  {
    // No problem line at all: an empty problem, silently.
    Loaded loaded;
    LoadCNF(loaded, "1 2 0\n");
    EXPECT_EQ(loaded.problem.NumVariables(), 0u);
    EXPECT_EQ(loaded.problem.NumClauses(), 0u);
    EXPECT_TRUE(loaded.messages.Messages().empty());
  }
  {
    // Extra clauses beyond the declared count are not read; 0 closes a clause on its own line.
    Loaded loaded;
    LoadCNF(loaded, "p cnf 2 1\n1\n2\n0\n-1 0\n");
    ASSERT_EQ(loaded.problem.NumClauses(), 1u);
    EXPECT_EQ(ClauseText(loaded.problem.GetClause(0)), "1 2 0\n");
    EXPECT_TRUE(loaded.messages.Messages().empty());
  }
}

TEST(SATProblem, ReadsWeightedRecords) {
  Loaded loaded;
  loaded.problem.SetWeighted(true);
  LoadCNF(loaded, "3 4\n2 10 1 -2\n1 5 2\n3 4 1 -1 2\n4 7 3 0 3 -2\n");
  SATProblem& problem = loaded.problem;
  EXPECT_TRUE(problem.IsWeighted());
  ASSERT_EQ(problem.NumClauses(), 3u);  // the complementary record is dropped, ids stay dense
  EXPECT_EQ(ClauseText(problem.GetClause(0)), "10\t1 -2 0\n");
  EXPECT_EQ(ClauseText(problem.GetClause(1)), "5\t2 0\n");
  EXPECT_EQ(ClauseText(problem.GetClause(2)), "7\t3 -2 0\n");
  EXPECT_EQ(problem.TotalWeight(), 22u);
  ExpectOccurrencesOncePerClause(problem);
}

TEST(SATProblem, TwoProblemsAliveAtOnceKeepTheirOwnIds) {
  Loaded first;
  LoadCNF(first, "p cnf 2 2\n1 2 0\n-1 0\n");
  Loaded second;
  LoadCNF(second, "p cnf 2 3\n1 0\n2 0\n-2 0\n");
  for (std::size_t c = 0; c < 2; ++c) EXPECT_EQ(first.problem.GetClause(c).Id(), c);
  for (std::size_t c = 0; c < 3; ++c) EXPECT_EQ(second.problem.GetClause(c).Id(), c);
}

TEST(SATProblem, MalformedFilesRaiseFatalErrorsNamingTheFile) {
  const std::filesystem::path folder = test::TestData("sat/parse");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    ++files;
    const std::string path = entry.path().string();
    RecordingMessages messages;
    SATProblem problem(&messages);
    problem.SetWeighted(entry.path().extension() == ".sat");
    try {
      problem.ReadFile(path);
      ADD_FAILURE() << path << " was accepted";
    } catch (const FatalError& error) {
      EXPECT_EQ(error.Stream(), OutputStream::Err);
      EXPECT_NE(error.ExitStatus(), 0);
      if (entry.path().filename() == "wrong-format-word.cnf") {
        EXPECT_EQ(error.Text(), "Error: File not in CNF format\n");
      } else {
        EXPECT_NE(error.Text().find(path), std::string::npos) << error.Text();
      }
    }
  }
  EXPECT_GE(files, 10);
}

TEST(SATProblem, BenchmarkFilesLoad) {
  RecordingMessages messages;
  SATProblem cnf(&messages);
  cnf.ReadFile(test::TestData("sat/uf50-01.cnf"));
  EXPECT_EQ(cnf.NumVariables(), 50u);
  EXPECT_EQ(cnf.NumClauses(), 218u);
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
