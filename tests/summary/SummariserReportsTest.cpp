// The summariser over hand-built batches in tests/data/summary, whose reports
// must match the stored ones byte for byte. The TSP batch has two complete
// problems (c.tsp is finished by one experiment only; notes.txt is no
// problem), experiments of 2 and 3 runs, an "NA" field, a results file whose
// header lacks a column, and runs better than the best known cost (negative
// gaps). The SAT batch has one experiment: no labels, and no best.txt needed.
#include <gtest/gtest.h>

#include <string>

#include "common/TempDir.h"
#include "common/TestSupport.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "summary/CSummariser.h"
#include "summary/HeadlineColumn.h"

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

CExperiment Experiment(double lambda, std::uint32_t runs) {
  CExperiment experiment;
  experiment.m_dLambda = lambda;
  experiment.m_nNumRuns = runs;
  return experiment;
}

// `doc` set to a copy of the batch `name` in `directory`; the batch's
// results/P-E.txt is experiment E's results file of problem P.
void CopyBatch(CMirelockDoc& doc, const std::string& name, ProblemType type, std::vector<CExperiment> experiments,
               const std::string& directory) {
  doc.m_nProblemType = type;
  doc.m_strProblemsDir = directory + "problems/";
  doc.m_strResultsDir = directory + "results/";
  doc.m_strFullResultsFile = directory + "full.csv";
  doc.m_strSummaryFile = directory + "summary.csv";
  doc.m_experiments = std::move(experiments);
  doc.m_bRunStarted = false;
  fs::copy(test::TestData("summary/" + name + "/problems"), doc.m_strProblemsDir);
  fs::create_directories(doc.m_strResultsDir);
  for (const auto& entry : fs::directory_iterator(test::TestData("summary/" + name + "/results"))) {
    const std::string stem = entry.path().stem().string();
    const std::size_t dash = stem.rfind('-');
    const CExperiment& experiment = doc.m_experiments.at(std::stoul(stem.substr(dash + 1)));
    fs::copy_file(entry.path(), doc.m_strResultsDir + GetResultsFilename(type, stem.substr(0, dash), experiment));
  }
}

void TspBatch(CMirelockDoc& doc, const std::string& directory) {
  CopyBatch(doc, "tsp", kProblemTSP, {Experiment(1, 2), Experiment(2, 3)}, directory);
}

TEST(Summariser, ReportsMatchTheStoredBytes) {
  struct Case {
    const char* expected;  // tests/data/summary/expected/EXPECTED.{full,summary}.csv
    const char* bestTxt;   // replaces the batch's best.txt; "" removes it
    std::vector<std::string> messages;
  };
  // The batch's c.tsp lacks its file for the second experiment; the summary says so.
  const std::string leftOut = "Problems left out, without a complete results file for every experiment:\n  c.tsp: "
                              "no results file " + GetResultsFilename(kProblemTSP, "c.tsp", Experiment(2, 3));
  const Case cases[] = {
      {"tsp", nullptr, {leftOut}},
      {"tsp-b-unknown", "a 100\n",
       {leftOut, "No usable best known cost in best.txt for b.tsp; their cost columns are written as NA"}},
      {"tsp-no-best", "", {leftOut, "Failed to read in best known/optimal costs in best.txt"}},
      {"sat", nullptr, {}},
  };
  TempDir scratch;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    const std::string directory = scratch.Sub(c.expected);
    CMirelockDoc doc;
    if (std::string(c.expected) == "sat")
      CopyBatch(doc, "sat", kProblemSAT, {Experiment(1, 1)}, directory);
    else
      TspBatch(doc, directory);
    if (c.bestTxt) {
      fs::remove(doc.m_strProblemsDir + "best.txt");
      if (*c.bestTxt) WriteFile(doc.m_strProblemsDir + "best.txt", c.bestTxt);
    }

    RecordingMessages messages;
    CSummariser summariser(doc, messages);
    ASSERT_TRUE(summariser.Summarise());
    EXPECT_EQ(messages.Messages(), c.messages);
    for (const char* report : {"full", "summary"}) {
      std::string text = ReadFile(report == std::string("full") ? doc.m_strFullResultsFile : doc.m_strSummaryFile);
      const std::size_t at = text.find(doc.m_strProblemsDir);
      if (at != std::string::npos) text.replace(at, doc.m_strProblemsDir.size(), "PROBLEMS/");
      EXPECT_EQ(text, ReadFile(test::TestData("summary/expected/") + c.expected + "." + report + ".csv")) << report;
    }
    if (doc.m_nProblemType == kProblemTSP) {
      EXPECT_EQ(HeadlineColumn(summariser.Table(), kProblemTSP), 1u);
      // The headline means (values from R): a problem without a best known
      // cost is left out and named instead of blanking the figure.
      const HeadlineMean first = HeadlineMeanOf(summariser.Table(), summariser.Statistics(), 0, 1);
      const HeadlineMean second = HeadlineMeanOf(summariser.Table(), summariser.Statistics(), 1, 1);
      const std::string name = c.expected;
      if (name == "tsp") {
        EXPECT_EQ(first.mean, -2.5);
        EXPECT_NEAR(second.mean.value_or(0), 9.1666666666666679, 1e-12);
        EXPECT_TRUE(first.leftOut.empty() && second.leftOut.empty());
      } else if (name == "tsp-b-unknown") {
        EXPECT_EQ(first.mean, -7.5);
        EXPECT_EQ(second.mean, 10);
        EXPECT_EQ(first.leftOut, std::vector<std::string>{"b.tsp"});
      } else {
        EXPECT_FALSE(first.mean);
        EXPECT_EQ(first.leftOut, (std::vector<std::string>{"a.tsp", "b.tsp"}));
      }
    }
  }
}

TEST(Summariser, ProblemSelectionAndFailures) {
  TempDir scratch;
  CMirelockDoc doc;
  TspBatch(doc, scratch.Sub("batch"));
  RecordingMessages messages;
  // A started batch counts only the problems it has solved itself.
  doc.m_bRunStarted = true;
  doc.m_solvedProblems = {"b.tsp", "c.tsp"};
  {
    CSummariser summariser(doc, messages);
    ASSERT_TRUE(summariser.Summarise());
    EXPECT_EQ(summariser.Table().Problems(), std::vector<std::string>{"b.tsp"});
  }

  // Nothing solved by the current batch, or no experiments: the message, and
  // the old reports stay as they were.
  WriteFile(doc.m_strFullResultsFile, "old full");
  WriteFile(doc.m_strSummaryFile, "old summary");
  doc.m_solvedProblems = {"c.tsp"};
  EXPECT_FALSE(CSummariser(doc, messages).Summarise());
  EXPECT_EQ(messages.Messages().back(), "No problems completed for all experiments, please solve some first.");
  doc.m_bRunStarted = false;
  const auto experiments = std::exchange(doc.m_experiments, {});
  EXPECT_FALSE(CSummariser(doc, messages).Summarise());
  EXPECT_EQ(messages.Messages().back(), "Please input some experiments to summarise");
  EXPECT_EQ(ReadFile(doc.m_strFullResultsFile), "old full");
  EXPECT_EQ(ReadFile(doc.m_strSummaryFile), "old summary");

  // A report that cannot be opened is named; the other one is still written.
  doc.m_experiments = experiments;
  doc.m_strFullResultsFile = scratch.Path("missing-directory/full.csv");
  {
    CSummariser summariser(doc, messages);
    ASSERT_TRUE(summariser.Summarise());
    EXPECT_FALSE(summariser.FullResultsWritten());
    EXPECT_TRUE(summariser.SummaryWritten());
  }
  EXPECT_EQ(messages.Messages().back(), "Failed to open " + doc.m_strFullResultsFile + ": No such file or directory");
  EXPECT_NE(ReadFile(doc.m_strSummaryFile).find("a.tsp,1,2,,,"), std::string::npos);
}

}  // namespace
}  // namespace mirelock
