#include <gtest/gtest.h>

#include <string>

#include "SummaryTestFiles.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "summary/CSummariser.h"
#include "summary/HeadlineColumn.h"

namespace mirelock {
namespace {

using test::ReadFile;
using test::ScratchDirectory;
using test::WriteFile;

CExperiment Experiment(double lambda, std::uint32_t runs) {
  CExperiment experiment;
  experiment.m_dLambda = lambda;
  experiment.m_nNumRuns = runs;
  return experiment;
}

// Two TSP problems (and a third left incomplete), two experiments of 2 and 3
// runs, one "NA" field, one file whose header lacks a column, and runs better
// than the best known cost (negative gaps).
class HandBuiltTspResults : public ::testing::Test {
 protected:
  void SetUp() override {
    doc_.m_nProblemType = kProblemTSP;
    doc_.m_strProblemsDir = scratch_.Directory("problems");
    doc_.m_strResultsDir = scratch_.Directory("results");
    doc_.m_strFullResultsFile = scratch_.Path("full.csv");
    doc_.m_strSummaryFile = scratch_.Path("summary.csv");
    doc_.m_experiments = {Experiment(1, 2), Experiment(2, 3)};
    doc_.m_bRunStarted = false;
    doc_.m_solvedProblems.clear();

    for (const char* problem : {"a.tsp", "b.tsp", "c.tsp", "notes.txt"})
      WriteFile(doc_.m_strProblemsDir + problem, "NAME : x\n");
    WriteFile(doc_.m_strProblemsDir + "best.txt", "a 100\nb [190 200]\na 999\n");

    const std::string header =
        "Problem_name\tCPU_Seconds\tMin_Best_Found_Solution_Cost\tStdDev_Best_Found_Solution_Cost\tOptions\n";
    Results("a.tsp", 0, header + "a.tsp\t0.5\t90\t2\t-l 1 +a\na.tsp\t1.5\t95\tNA\t-l 1 +a\n");
    Results("a.tsp", 1, header + "a.tsp\t1\t100\t0\t-l 2\na.tsp\t2\t120\t4\t-l 2\na.tsp\t3\t110\t2\t-l 2\n");
    Results("b.tsp", 0,
            "Problem_name\tCPU_Seconds\tMin_Best_Found_Solution_Cost\tOptions\n"
            "b.tsp\t0.25\t200\t-l 1\nb.tsp\t0.75\t210\t-l 1\n");
    Results("b.tsp", 1, header + "b.tsp\t2\t220\t1\t-l 2\nb.tsp\t4\t200\t0\t-l 2\nb.tsp\t6\t230\t2\t-l 2\n");
    // Only one experiment has finished c.tsp, so it takes no part.
    Results("c.tsp", 0, header + "c.tsp\t1\t1\t1\tx\nc.tsp\t1\t1\t1\tx\n");
  }

  void Results(const std::string& problem, std::size_t experiment, const std::string& text) {
    WriteFile(doc_.m_strResultsDir + GetResultsFilename(kProblemTSP, problem, doc_.m_experiments[experiment]),
              text);
  }

  ScratchDirectory scratch_;
  CMirelockDoc doc_;
  RecordingMessages messages_;
};

TEST_F(HandBuiltTspResults, ReportsMatchCellForCell) {
  CSummariser summariser(doc_, messages_);
  ASSERT_TRUE(summariser.Summarise());
  EXPECT_TRUE(messages_.Messages().empty());

  const std::string title =
      "GLS experiment with  Aspiration=Off Sideways=2 Pr(random move)=Off History=Off Penalty decay=Off "
      "Max repairs=1000*N\n"
      "Problems from directory: " +
      doc_.m_strProblemsDir + "\n";
  const std::string labels = "Lambda=1 Num runs=2,Lambda=2 Num runs=3,";
  const std::string gap = "Min_Best_Found_Solution_%gap_to_best_known_cost";
  const std::string spread = "StdDev_Best_Found_Solution_%gap_to_best_known_cost";

  const std::string full = title +
                           "CPU_Seconds\n"
                           "Problem," +
                           labels +
                           "\n"
                           "a.tsp,0.5,1,\n"
                           "a.tsp,1.5,2,\n"
                           "a.tsp,NA,3,\n"
                           "b.tsp,0.25,2,\n"
                           "b.tsp,0.75,4,\n"
                           "b.tsp,NA,6,\n"
                           "Average,0.75,3,\n\n" +
                           gap +
                           "\n"
                           "Problem," +
                           labels +
                           "\n"
                           "a.tsp,-10,0,\n"
                           "a.tsp,-5,20,\n"
                           "a.tsp,NA,10,\n"
                           "b.tsp,0,10,\n"
                           "b.tsp,5,0,\n"
                           "b.tsp,NA,15,\n"
                           "Average,-2.5,9.16667,\n\n" +
                           spread +
                           "\n"
                           "Problem," +
                           labels +
                           "\n"
                           "a.tsp,2,0,\n"
                           "a.tsp,NA,4,\n"
                           "a.tsp,NA,2,\n"
                           "b.tsp,NA,0.5,\n"
                           "b.tsp,NA,0,\n"
                           "b.tsp,NA,1,\n"
                           "Average,NA,1.25,\n\n";
  EXPECT_EQ(ReadFile(doc_.m_strFullResultsFile), full);

  const std::string problemHeader = "Problem," + labels + ",,";
  const std::string summary =
      title + "\nShort Summary per monitor:\n" + "Mean(Monitor)," + labels + ",,Stddev(Monitor)," + labels +
      ",,Min(Monitor)," + labels + ",,Max(Monitor)," + labels +
      ",,\n"
      "CPU_Seconds,0.75,3,,,CPU_Seconds,0.375,1.22474,,,CPU_Seconds,0.375,1.5,,,CPU_Seconds,1.125,4.5,,,\n" +
      gap + ",-2.5,9.16667,,," + gap + ",2.5,7.20053,,," + gap + ",-5,0,,," + gap + ",0,17.5,,,\n" + spread +
      ",NA,1.25,,," + spread + ",NA,1.02062,,," + spread + ",NA,0,,," + spread + ",NA,2.5,,,\n" +
      "\nMore detailed summary with monitor averages per problem:\n"
      "Mean(CPU_Seconds),,,,,Stddev(CPU_Seconds),,,,,Min(CPU_Seconds),,,,,Max(CPU_Seconds),,,,,\n" +
      problemHeader + problemHeader + problemHeader + problemHeader + "\n" +
      "a.tsp,1,2,,,a.tsp,0.5,0.816497,,,a.tsp,0.5,1,,,a.tsp,1.5,3,,,\n"
      "b.tsp,0.5,4,,,b.tsp,0.25,1.63299,,,b.tsp,0.25,2,,,b.tsp,0.75,6,,,\n"
      "Average,0.75,3,,,Average,0.375,1.22474,,,Average,0.375,1.5,,,Average,1.125,4.5,,,\n\n" +
      "Mean(" + gap + "),,,,,Stddev(" + gap + "),,,,,Min(" + gap + "),,,,,Max(" + gap + "),,,,,\n" +
      problemHeader + problemHeader + problemHeader + problemHeader + "\n" +
      "a.tsp,-7.5,10,,,a.tsp,2.5,8.16497,,,a.tsp,-10,0,,,a.tsp,-5,20,,,\n"
      "b.tsp,2.5,8.33333,,,b.tsp,2.5,6.2361,,,b.tsp,0,0,,,b.tsp,5,15,,,\n"
      "Average,-2.5,9.16667,,,Average,2.5,7.20053,,,Average,-5,0,,,Average,0,17.5,,,\n\n" +
      "Mean(" + spread + "),,,,,Stddev(" + spread + "),,,,,Min(" + spread + "),,,,,Max(" + spread +
      "),,,,,\n" + problemHeader + problemHeader + problemHeader + problemHeader + "\n" +
      "a.tsp,NA,2,,,a.tsp,NA,1.63299,,,a.tsp,NA,0,,,a.tsp,NA,4,,,\n"
      "b.tsp,NA,0.5,,,b.tsp,NA,0.408248,,,b.tsp,NA,0,,,b.tsp,NA,1,,,\n"
      "Average,NA,1.25,,,Average,NA,1.02062,,,Average,NA,0,,,Average,NA,2.5,,,\n\n";
  EXPECT_EQ(ReadFile(doc_.m_strSummaryFile), summary);
  EXPECT_EQ(HeadlineColumn(summariser.Table(), kProblemTSP), 1u);
}

TEST_F(HandBuiltTspResults, ProblemSelectionAndFailures) {
  // A started batch counts only the problems it has solved itself.
  doc_.m_bRunStarted = true;
  doc_.m_solvedProblems = {"b.tsp", "c.tsp"};
  {
    CSummariser summariser(doc_, messages_);
    ASSERT_TRUE(summariser.Summarise());
    EXPECT_EQ(summariser.Table().Problems(), std::vector<std::string>{"b.tsp"});
  }

  // Nothing solved by the current batch: the message, and the old reports stay as they were.
  WriteFile(doc_.m_strFullResultsFile, "old full");
  WriteFile(doc_.m_strSummaryFile, "old summary");
  doc_.m_solvedProblems = {"c.tsp"};
  {
    CSummariser summariser(doc_, messages_);
    EXPECT_FALSE(summariser.Summarise());
  }
  EXPECT_EQ(messages_.Messages().back(),
            "No problems completed for all experiments, please solve some first.");
  EXPECT_EQ(ReadFile(doc_.m_strFullResultsFile), "old full");
  EXPECT_EQ(ReadFile(doc_.m_strSummaryFile), "old summary");

  // A report that cannot be opened is named; the other one is still written.
  doc_.m_bRunStarted = false;
  doc_.m_strFullResultsFile = scratch_.Path("missing-directory/full.csv");
  {
    CSummariser summariser(doc_, messages_);
    ASSERT_TRUE(summariser.Summarise());
    EXPECT_FALSE(summariser.FullResultsWritten());
    EXPECT_TRUE(summariser.SummaryWritten());
  }
  EXPECT_EQ(messages_.Messages().back(), "Failed to open " + doc_.m_strFullResultsFile);
  EXPECT_NE(ReadFile(doc_.m_strSummaryFile).find("a.tsp,1,2,,,"), std::string::npos);
}

TEST_F(HandBuiltTspResults, ProblemsWithoutBestKnownCostGiveNA) {
  // b is absent from best.txt: its gaps, and every average that includes them, are "NA".
  WriteFile(doc_.m_strProblemsDir + "best.txt", "a 100\n");
  CSummariser summariser(doc_, messages_);
  ASSERT_TRUE(summariser.Summarise());
  ASSERT_EQ(messages_.Messages().size(), 1u);
  EXPECT_EQ(messages_.Messages()[0],
            "No usable best known cost in best.txt for b.tsp; their cost columns are written as NA");
  const std::string full = ReadFile(doc_.m_strFullResultsFile);
  EXPECT_NE(full.find("a.tsp,-10,0,\na.tsp,-5,20,\na.tsp,NA,10,\nb.tsp,NA,NA,\n"), std::string::npos);
  EXPECT_NE(full.find("Average,0.75,3,\n\n"), std::string::npos);  // CPU time is no cost
  EXPECT_NE(full.find("Average,NA,NA,\n\n"), std::string::npos);
  EXPECT_EQ(full.find("inf"), std::string::npos);
  EXPECT_EQ(full.find("nan"), std::string::npos);

  // No best.txt at all: the message, and still no division by zero.
  std::filesystem::remove(doc_.m_strProblemsDir + "best.txt");
  RecordingMessages messages;
  CSummariser withoutBest(doc_, messages);
  ASSERT_TRUE(withoutBest.Summarise());
  EXPECT_EQ(messages.Messages().at(0), "Failed to read in best known/optimal costs in best.txt");
  const std::string summary = ReadFile(doc_.m_strSummaryFile);
  EXPECT_EQ(summary.find("inf"), std::string::npos);
  EXPECT_EQ(summary.find("nan"), std::string::npos);
}

// One experiment: no labels, but value lines still hold one cell per experiment.
// A SAT summary converts nothing and needs no best.txt.
TEST(SummariserSingleExperiment, SatReportsWithoutLabels) {
  ScratchDirectory scratch;
  CMirelockDoc doc;
  doc.m_nProblemType = kProblemSAT;
  doc.m_strProblemsDir = scratch.Directory("problems");
  doc.m_strResultsDir = scratch.Directory("results");
  doc.m_strFullResultsFile = scratch.Path("full.csv");
  doc.m_strSummaryFile = scratch.Path("summary.csv");
  doc.m_experiments = {Experiment(1, 1)};
  doc.m_bRunStarted = false;
  WriteFile(doc.m_strProblemsDir + "x.cnf", "p cnf 1 1\n1 0\n");
  WriteFile(doc.m_strResultsDir + GetResultsFilename(kProblemSAT, "x.cnf", doc.m_experiments[0]),
            "Problem_name\tSol_Found\tMin_Best_Found_Solution_Cost\tOptions\nx.cnf\t1\t0\t-l 1\n");

  RecordingMessages messages;
  CSummariser summariser(doc, messages);
  ASSERT_TRUE(summariser.Summarise());
  EXPECT_TRUE(messages.Messages().empty());
  const std::string title =
      "GLS experiment with  Lambda=1 Aspiration=Off Sideways=2 Pr(random move)=Off History=Off Penalty "
      "decay=Off "
      "Max repairs=1000*N Num runs=1\nProblems from directory: " +
      doc.m_strProblemsDir + "\n";
  EXPECT_EQ(ReadFile(doc.m_strFullResultsFile),
            title +
                "Sol_Found\nProblem,\nx.cnf,1,\nAverage,1,\n\n"
                "Min_Best_Found_Solution_Cost\nProblem,\nx.cnf,0,\nAverage,0,\n\n");
  EXPECT_EQ(ReadFile(doc.m_strSummaryFile),
            title +
                "\nShort Summary per monitor:\n"
                "Mean(Monitor),,,Stddev(Monitor),,,Min(Monitor),,,Max(Monitor),,,\n"
                "Sol_Found,1,,,Sol_Found,0,,,Sol_Found,1,,,Sol_Found,1,,,\n"
                "Min_Best_Found_Solution_Cost,0,,,Min_Best_Found_Solution_Cost,0,,,"
                "Min_Best_Found_Solution_Cost,0,,,Min_Best_Found_Solution_Cost,0,,,\n"
                "\nMore detailed summary with monitor averages per problem:\n"
                "Mean(Sol_Found),,,Stddev(Sol_Found),,,Min(Sol_Found),,,Max(Sol_Found),,,\n"
                "Problem,,,Problem,,,Problem,,,Problem,,,\n"
                "x.cnf,1,,,x.cnf,0,,,x.cnf,1,,,x.cnf,1,,,\n"
                "Average,1,,,Average,0,,,Average,1,,,Average,1,,,\n\n"
                "Mean(Min_Best_Found_Solution_Cost),,,Stddev(Min_Best_Found_Solution_Cost),,,"
                "Min(Min_Best_Found_Solution_Cost),,,Max(Min_Best_Found_Solution_Cost),,,\n"
                "Problem,,,Problem,,,Problem,,,Problem,,,\n"
                "x.cnf,0,,,x.cnf,0,,,x.cnf,0,,,x.cnf,0,,,\n"
                "Average,0,,,Average,0,,,Average,0,,,Average,0,,,\n\n");
}

}  // namespace
}  // namespace mirelock
