#include <gtest/gtest.h>

#include <string>

#include "common/TempDir.h"
#include "platform/UserMessages.h"
#include "summary/CostConversion.h"
#include "summary/ExperimentDescription.h"
#include "summary/ResultsFileReader.h"
#include "summary/SummaryStatistics.h"

namespace mirelock {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(ResultsFileReader, FieldsFollowTheHeaderWords) {
  TempDir scratch;
  RecordingMessages messages;
  ResultsTable table({"p.dat"}, {4, 1});
  ResultsFileReader reader(table, messages);

  // Options text with blanks and numbers ends the row; "NA" and a short row leave cells missing.
  WriteFile(scratch.Path("one.txt"),
            "Problem_name\tBest_cost\tCPU_secs\tOptions\n"
            "p.dat\t10\t0.5\t-l 1 -r 7 +a\n"
            "p.dat\tNA\t1e-3\t-l 1\n"
            "p.dat\t12\n"
            "p.dat\t-4\tx1\t-l 1\n"
            "p.dat\t99\t99\t-l 1\n");
  reader.Read(scratch.Path("one.txt"), 0, 0);
  ASSERT_EQ(table.ColumnCount(), 2u);
  EXPECT_EQ(table.Get(0, 0, 0, 0), 10);
  EXPECT_EQ(table.Get(0, 0, 0, 1), 0.5);
  EXPECT_FALSE(table.Get(0, 0, 1, 0));
  EXPECT_EQ(table.Get(0, 0, 1, 1), 0.001);
  EXPECT_EQ(table.Get(0, 0, 2, 0), 12);
  EXPECT_FALSE(table.Get(0, 0, 2, 1));
  EXPECT_EQ(table.Get(0, 0, 3, 0), -4);
  EXPECT_FALSE(table.Get(0, 0, 3, 1));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0],
            "Results file " + scratch.Path("one.txt") +
                ", line 5: field \"x1\" under CPU_secs is not a number; such fields are "
                "written as NA");

  // Columns keep their first-met order; a new one goes after them.
  WriteFile(scratch.Path("two.txt"),
            "Problem_name\tCPU_secs\tExtra\tBest_cost\tOptions\np.dat\t2\t3\t4\tx\n");
  reader.Read(scratch.Path("two.txt"), 0, 1);
  ASSERT_EQ(table.ColumnCount(), 3u);
  EXPECT_EQ(table.ColumnName(2), "Extra");
  EXPECT_EQ(table.Get(0, 1, 0, 0), 4);
  EXPECT_EQ(table.Get(0, 1, 0, 1), 2);
  EXPECT_EQ(table.Get(0, 1, 0, 2), 3);
  EXPECT_FALSE(table.Get(0, 0, 0, 2));  // the first file lacks Extra

  // An unreadable file leaves every cell of its pair missing, with a message.
  ResultsTable other({"p.dat"}, {1});
  ResultsFileReader(other, messages).Read(scratch.Path("absent.txt"), 0, 0);
  EXPECT_EQ(messages.Messages().back(),
            "Failed to open results file " + scratch.Path("absent.txt") +
                ": No such file or directory; its values are written as NA");
}

TEST(CostConversion, CostColumnsBecomeGapsToTheBestKnownCost) {
  struct Column {
    const char* name;
    const char* renamed;
    double value, gap;  // gap: of a.dat
  };
  const std::pair<ProblemType, std::vector<Column>> types[] = {
      // a.dat's best known cost is 40.
      {kProblemQAP,
       {{"Best_cost", "Best_%gap_to_best_known_cost", 50, 25},        // (50 - 40) / 40 * 100
        {"Stddev_cost", "Stddev_%gap_to_best_known_cost", 50, 125},  // a spread: 50 / 40 * 100
        {"Ave_LocalMinima_COST", "Ave_LocalMinima_%gap_to_best_known_cost", 50, 25},
        {"#Repairs", "#Repairs", 50, 50}}},
      // a.dat's best leaves weight 40 unsatisfied and satisfies 400 of 440; errors are relative to the 400.
      {kProblemMaxSAT,
       {{"Best_Found_Solution_Max_Cost", "Best_Found_Solution_Max_(%relative_error)", 350, 12.5},
        {"Ave_Visited_Solution_Cost", "Ave_Visited_Solution_(%relative_error)", 50, 2.5},  // 50 unsatisfied
        {"StdDev_Visited_Solution_Cost", "StdDev_Visited_Solution_(%relative_error)", 50, 12.5},
        {"Sol_Found", "Sol_Found", 0, 0}}},
  };
  BestKnownCosts costs;
  costs.first = {{"a.dat", 40}, {"zero.dat", 0}};
  costs.second = {{"a.dat", 400}, {"zero.dat", 0}};
  costs.third = {{"a.dat", 440}, {"zero.dat", 0}};
  for (const auto& [type, columns] : types) {
    ResultsTable table({"a.dat", "zero.dat", "unknown.dat"}, {1});
    for (std::size_t c = 0; c < columns.size(); ++c) {
      table.AddColumn(columns[c].name);
      for (std::size_t p = 0; p < 3; ++p) table.Set(p, 0, 0, c, columns[c].value);
    }
    CostConversion conversion(type, costs);
    conversion.Convert(table);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      SCOPED_TRACE(columns[c].name);
      EXPECT_EQ(table.ColumnName(c), columns[c].renamed);
      EXPECT_EQ(table.OriginalColumnName(c), columns[c].name);
      EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, c), columns[c].gap);
      // A best known cost of 0, or none, gives no gap rather than inf or nan.
      const bool isCost = columns[c].renamed != std::string(columns[c].name);
      for (std::size_t p : {1, 2}) EXPECT_EQ(table.Get(p, 0, 0, c).has_value(), !isCost);
    }
    EXPECT_EQ(conversion.ProblemsWithoutBest(), (std::vector<std::string>{"zero.dat", "unknown.dat"}));
  }
}

// Means, population deviations and negative maxima are pinned by the stored reports.
TEST(SummaryStatistics, AnExperimentOfNoRunsHasNoStatistics) {
  ResultsTable table({"p"}, {3, 0});
  table.AddColumn("gap");
  for (std::uint32_t r = 0; r < 3; ++r) table.Set(0, 0, r, 0, -1.0 - r);
  const SummaryStatistics statistics(table);
  EXPECT_DOUBLE_EQ(*statistics.PerProblem(0, 0, 0)[kMax], -1);
  EXPECT_FALSE(statistics.PerProblem(0, 1, 0)[kStddev]);  // rather than 0/0
  EXPECT_FALSE(statistics.OverallMean(1, 0));
  EXPECT_FALSE(statistics.PerExperiment(1, 0)[kMean]);
}

// Fixed texts and one-setting labels are pinned by the stored reports.
TEST(ExperimentDescription, LabelsHoldEverySettingThatVaries) {
  CExperiment one;
  CExperiment two;
  two.m_dLambda = 2;
  two.m_bHistory = true;
  two.m_nPenaltyDecayEvery = 200;
  EXPECT_EQ(ExperimentDescription::Of({one, two}).labels,
            (std::vector<std::string>{"Lambda=1 History=Off Penalty decay=Off",
                                      "Lambda=2 History=On Penalty decay=0.8 every 200 local minima"}));
  // Experiments whose texts all agree get no labels.
  CExperiment otherFactor;
  otherFactor.m_dPenaltyDecayFactor = 0.5;
  EXPECT_TRUE(ExperimentDescription::Of({one, otherFactor}).labels.empty());
}

}  // namespace
}  // namespace mirelock
