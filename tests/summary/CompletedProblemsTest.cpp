// Which results files a summary reads: only whole ones, under the names the
// batch gave them, and the problems left out are named with the reason.
#include <gtest/gtest.h>

#include <string>

#include "common/TempDir.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/ResultsNaming.h"
#include "summary/BatchResults.h"

namespace mirelock {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(CompletedProblems, TornForeignAndGarbageFilesAreLeftOutByNameAndNeverBecomeColumns) {
  TempDir scratch;
  CompletedProblemsQuery query;
  query.problemType = kProblemQAP;
  query.problemsDirectory = scratch.Sub("problems");
  query.resultsDirectory = scratch.Sub("results");
  query.experiments.resize(1);
  query.experiments[0].m_nNumRuns = 2;
  const std::vector<std::string> problems{"cut.dat", "extra.dat", "garbage.dat", "good.dat", "nug.a.dat",
                                          "nug.b.dat"};
  for (const std::string& problem : problems) WriteFile(query.problemsDirectory + problem, "");
  const ResultsNaming naming(problems);
  const auto write = [&](const std::string& problem, const std::string& text) {
    WriteFile(query.resultsDirectory + naming.FileName(kProblemQAP, problem, query.experiments[0]), text);
  };
  const std::string header = "Problem_name\tCost\tCPU_secs\tOptions\n";
  const auto row = [](const std::string& problem, const char* cost) {
    return problem + "\t" + cost + "\t0.5\t+seed 1 \n";
  };
  write("good.dat", header + row("good.dat", "7") + row("good.dat", "8"));
  write("cut.dat", header + row("cut.dat", "7") + "cut.dat\t5");
  write("extra.dat", header + row("extra.dat", "7") + "extra.dat\t9\t99\t0.5\t+seed 1 \n");
  write("garbage.dat", "Lorem ipsum dolor\nsit amet consectetur\nadipiscing elit\n");
  write("nug.a.dat", header + row("nug.a.dat", "1") + row("nug.a.dat", "2"));
  write("nug.b.dat", header + row("nug.b.dat", "3") + row("nug.b.dat", "4"));
  // What the batch wrote for both nug problems before their names were told
  // apart: read for neither.
  WriteFile(query.resultsDirectory + GetResultsFilename(kProblemQAP, "nug.a.dat", query.experiments[0]),
            header + row("nug.a.dat", "1") + row("nug.a.dat", "2"));

  RecordingMessages messages;
  const auto results = ReadBatchResults(query, messages, true);
  ASSERT_TRUE(results.has_value());
  EXPECT_EQ(results->converted.Problems(), (std::vector<std::string>{"good.dat", "nug.a.dat", "nug.b.dat"}));
  ASSERT_FALSE(messages.Messages().empty());
  const auto name = [&](const char* problem) { return naming.FileName(kProblemQAP, problem, query.experiments[0]); };
  EXPECT_EQ(messages.Messages()[0],
            "Problems left out, without a complete results file for every experiment:\n"
            "  cut.dat: " + name("cut.dat") + " line 3 ends without a newline: the file was cut short\n"
            "  extra.dat: " + name("extra.dat") + " line 3 has 5 fields, the header 4\n"
            "  garbage.dat: " + name("garbage.dat") +
            " does not start with a results header (Problem_name ... Options)");
  std::vector<std::string> columns;
  for (std::size_t c = 0; c < results->converted.ColumnCount(); ++c)
    columns.push_back(results->converted.OriginalColumnName(c));
  EXPECT_EQ(columns, (std::vector<std::string>{"Cost", "CPU_secs"}));
  // Each nug problem has its own rows.
  ASSERT_TRUE(results->raw.has_value());
  EXPECT_EQ(results->raw->Get(1, 0, 0, 0), 1.0);
  EXPECT_EQ(results->raw->Get(2, 0, 1, 0), 4.0);
}

}  // namespace
}  // namespace mirelock
