#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "SummaryTestFiles.h"
#include "platform/UserMessages.h"
#include "summary/CostConversion.h"
#include "summary/ExperimentDescription.h"
#include "summary/ResultsFileReader.h"
#include "summary/SummaryStatistics.h"

namespace mirelock {
namespace {

using test::ScratchDirectory;
using test::WriteFile;

TEST(ResultsFileReader, FieldsFollowTheHeaderWords) {
  ScratchDirectory scratch;
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
            "Failed to open results file " + scratch.Path("absent.txt") + "; its values are written as NA");
}

TEST(CostConversion, QapAndTspGapsAndNames) {
  ResultsTable table({"a.dat", "zero.dat", "unknown.dat"}, {1});
  const std::size_t best = table.AddColumn("Best_cost");
  const std::size_t spread = table.AddColumn("Stddev_cost");
  const std::size_t minima = table.AddColumn("Ave_LocalMinima_COST");
  const std::size_t repairs = table.AddColumn("#Repairs");
  for (std::size_t p = 0; p < 3; ++p)
    for (std::size_t c = 0; c < 4; ++c) table.Set(p, 0, 0, c, 50);
  BestKnownCosts costs;
  costs.first = {{"a.dat", 40}, {"zero.dat", 0}};
  CostConversion conversion(kProblemQAP, costs);
  conversion.Convert(table);

  EXPECT_EQ(table.ColumnName(best), "Best_%gap_to_best_known_cost");
  EXPECT_EQ(table.ColumnName(spread), "Stddev_%gap_to_best_known_cost");
  EXPECT_EQ(table.ColumnName(minima), "Ave_LocalMinima_%gap_to_best_known_cost");
  EXPECT_EQ(table.ColumnName(repairs), "#Repairs");
  EXPECT_EQ(table.OriginalColumnName(best), "Best_cost");
  EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, best), 25);     // (50 - 40) / 40 * 100
  EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, spread), 125);  // 50 / 40 * 100
  EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, minima), 25);
  EXPECT_EQ(table.Get(0, 0, 0, repairs), 50);
  // A best known cost of 0, or none, gives no gap rather than inf or nan.
  for (std::size_t p : {1, 2}) {
    EXPECT_FALSE(table.Get(p, 0, 0, best));
    EXPECT_FALSE(table.Get(p, 0, 0, spread));
    EXPECT_EQ(table.Get(p, 0, 0, repairs), 50);
  }
  EXPECT_EQ(conversion.ProblemsWithoutBest(), (std::vector<std::string>{"zero.dat", "unknown.dat"}));
}

TEST(CostConversion, MaxSatUsesSecondAndThirdNumbers) {
  ResultsTable table({"jnh2-rw.sat"}, {1});
  const std::size_t satisfied = table.AddColumn("Best_Found_Solution_Max_Cost");
  const std::size_t found = table.AddColumn("Sol_Found");
  const std::size_t average = table.AddColumn("Ave_Visited_Solution_Cost");
  const std::size_t spread = table.AddColumn("StdDev_Visited_Solution_Cost");
  table.Set(0, 0, 0, satisfied, 430500);
  table.Set(0, 0, 0, found, 0);
  table.Set(0, 0, 0, average, 20);
  table.Set(0, 0, 0, spread, 3);
  BestKnownCosts costs;
  costs.first = {{"jnh2-rw.sat", 14}};
  costs.second = {{"jnh2-rw.sat", 430566}};
  costs.third = {{"jnh2-rw.sat", 430580}};
  CostConversion(kProblemMaxSAT, costs).Convert(table);

  EXPECT_EQ(table.ColumnName(satisfied), "Best_Found_Solution_Max_(%relative_error)");
  EXPECT_EQ(table.ColumnName(average), "Ave_Visited_Solution_(%relative_error)");
  EXPECT_EQ(table.ColumnName(spread), "StdDev_Visited_Solution_(%relative_error)");
  EXPECT_EQ(table.ColumnName(found), "Sol_Found");
  EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, satisfied), 66.0 / 430566 * 100);
  EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, average), 6.0 / 430566 * 100);  // 20 unsatisfied against 14 at best
  EXPECT_DOUBLE_EQ(*table.Get(0, 0, 0, spread), 3.0 / 430566 * 100);
  EXPECT_EQ(table.Get(0, 0, 0, found), 0);
}

TEST(SummaryStatistics, PopulationDeviationAndNegativeMaximum) {
  ResultsTable table({"p"}, {3, 0});
  table.AddColumn("gap");
  for (std::uint32_t r = 0; r < 3; ++r) table.Set(0, 0, r, 0, -1.0 - r);  // -1, -2, -3
  const SummaryStatistics statistics(table);
  const auto& four = statistics.PerProblem(0, 0, 0);
  EXPECT_DOUBLE_EQ(*four[kMean], -2);
  EXPECT_DOUBLE_EQ(*four[kStddev], std::sqrt(2.0 / 3));
  EXPECT_EQ(four[kMin], -3);
  EXPECT_EQ(four[kMax], -1);
  // An experiment of no runs has no statistics rather than 0/0.
  EXPECT_FALSE(statistics.PerProblem(0, 1, 0)[kStddev]);
  EXPECT_FALSE(statistics.OverallMean(1, 0));
  EXPECT_FALSE(statistics.PerExperiment(1, 0)[kMean]);
}

TEST(ExperimentDescription, FixedTextAndLabels) {
  CExperiment one;
  CExperiment two;
  two.m_dLambda = 2;
  ExperimentDescription description = ExperimentDescription::Of({one, two});
  EXPECT_EQ(description.labels, (std::vector<std::string>{"Lambda=1", "Lambda=2"}));
  EXPECT_EQ(description.fixedText,
            " Aspiration=Off Sideways=2 Pr(random move)=Off History=Off Penalty decay=Off Max repairs=1000*N "
            "Num runs=10");

  two.m_bHistory = true;
  two.m_nPenaltyDecayEvery = 200;
  description = ExperimentDescription::Of({one, two});
  EXPECT_EQ(description.labels,
            (std::vector<std::string>{"Lambda=1 History=Off Penalty decay=Off",
                                      "Lambda=2 History=On Penalty decay=0.8 every 200 local minima"}));

  // One experiment, or experiments whose texts all agree: no labels.
  description = ExperimentDescription::Of({one});
  EXPECT_TRUE(description.labels.empty());
  EXPECT_EQ(description.fixedText.substr(0, 18), " Lambda=1 Aspirati");
  CExperiment otherFactor;
  otherFactor.m_dPenaltyDecayFactor = 0.5;
  EXPECT_TRUE(ExperimentDescription::Of({one, otherFactor}).labels.empty());
}

}  // namespace
}  // namespace mirelock
