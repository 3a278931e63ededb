// A batch over the bundled examples with the real solvers, then a summary whose
// gaps are checked against gaps computed here from the results files and best.txt.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "common/TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ProblemDiscovery.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"
#include "summary/BestKnownCosts.h"
#include "summary/CSummariser.h"

namespace mirelock {
namespace {

using test::ReadFile;
using test::TempDir;

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
  return fields;
}

std::vector<std::string> Lines(const std::string& text) { return Split(text, '\n'); }

TEST(EndToEnd, BatchThenSummaryGivesTheGapsOfTheResultsFiles) {
  struct TypeCase {
    ProblemType type;
    const char* folder;
    const char* column;        // the results files' column
    const char* reportColumn;  // its name in the reports
  };
  const TypeCase cases[] = {
      {kProblemTSP, "tsp", "Min_Best_Found_Solution_Cost", "Min_Best_Found_Solution_%gap_to_best_known_cost"},
      {kProblemQAP, "qap", "Best_cost", "Best_%gap_to_best_known_cost"},
      {kProblemMaxSAT, "maxsat", "Best_Found_Solution_Max_Cost", "Best_Found_Solution_Max_(%relative_error)"},
  };
  for (const TypeCase& c : cases) {
    SCOPED_TRACE(c.folder);
    TempDir scratch;
    RecordingMessages messages;
    CMirelockDoc doc(&messages);
    doc.m_nProblemType = c.type;
    doc.m_strProblemsDir = std::string(MIRELOCK_SOURCE_DIR) + "/examples/" + c.folder + "/";
    doc.m_strResultsDir = scratch.Sub("results");
    doc.m_strFullResultsFile = scratch.Path("full.csv");
    doc.m_strSummaryFile = scratch.Path("summary.csv");
    CExperiment a;
    a.m_nMaxRepairs = 20;
    a.m_nNumRuns = 2;
    CExperiment b = a;
    b.m_dLambda = 0.5;
    b.m_nNumRuns = 3;
    doc.m_experiments = {a, b};
    {
      RunControls controls(doc, messages);
      controls.Start();
      controls.WaitForWorkerEnd();
    }
    ASSERT_EQ(messages.Messages(), std::vector<std::string>{"Finished Solving.."});

    CSummariser summariser(doc, messages);
    ASSERT_TRUE(summariser.Summarise());
    EXPECT_EQ(messages.Messages().size(), 1u) << messages.Messages().back();
    const std::vector<std::string> problems = DiscoverProblems(doc.m_strProblemsDir, c.type);
    EXPECT_EQ(summariser.Table().Problems(), problems);

    // The converted column, as the reports print it (their layout is pinned by the stored reports).
    const ResultsTable& table = summariser.Table();
    std::size_t column = 0;
    while (column < table.ColumnCount() && table.ColumnName(column) != c.reportColumn) ++column;
    ASSERT_LT(column, table.ColumnCount());

    // The best known value: MAX-SAT's is the satisfied weight, the second number.
    const BestKnownCosts best = BestKnownCostsReader(messages).Read(c.type, doc.m_strProblemsDir);
    for (std::size_t p = 0; p < problems.size(); ++p) {
      for (std::size_t e = 0; e < 2; ++e) {
        const auto lines = Lines(
            ReadFile(doc.m_strResultsDir + GetResultsFilename(c.type, problems[p], doc.m_experiments[e])));
        const auto header = Split(lines[0], '\t');
        const std::size_t field = std::find(header.begin(), header.end(), c.column) - header.begin();
        ASSERT_LT(field, header.size());
        for (std::uint32_t r = 0; r < doc.m_experiments[e].m_nNumRuns; ++r) {
          const double value = std::stod(Split(lines[1 + r], '\t')[field]);
          const double bestValue = *(c.type == kProblemMaxSAT ? best.Second(problems[p]) : best.First(problems[p]));
          const double expected = (c.type == kProblemMaxSAT ? bestValue - value : value - bestValue) / bestValue * 100;
          EXPECT_NEAR(*table.Get(p, e, r, column), expected, 1e-9 * std::max(1.0, std::fabs(expected)))
              << problems[p] << " run " << r;
        }
      }
    }
  }
}

}  // namespace
}  // namespace mirelock
