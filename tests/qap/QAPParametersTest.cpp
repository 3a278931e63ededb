#include "qap/QAPParameters.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/NumberFormat.h"

namespace mirelock {
namespace {

std::string Options(QAPParameters& p) {
  std::ostringstream out;
  UseDefaultNumberFormat(out);
  p.WriteOptions(out);
  return out.str();
}

TEST(QAPParameters, OptionTextOfTheRunnersSettings) {
  QAPParameters p;
  p.SetMaxRepairsPerN(10);
  p.SetNumRuns(3);
  p.SetLambda(1);
  p.SetRandomMoves(0);
  p.SetAspiration(true);
  p.SetHistory(false);
  p.SetSidewaysMoves(2);
  p.SetSeed(21);
  EXPECT_EQ(Options(p),
            "-maxnrepairs 10 +labelfeatures -lambdacoeff 1 -maxlambdacoeff 100 -lambda avefeaturecost "
            "-usemovelists -pick BestAspiration +maxconsecsideways 2 ");
  p.SetProblemSize(12);
  EXPECT_EQ(p.maxRepairs, 120u);
  p.SetProblemSize(12);  // the per-N conversion happens once
  EXPECT_EQ(p.maxRepairs, 120u);
  EXPECT_NE(Options(p).find("-maxnrepairs 10 "), std::string::npos);

}

TEST(QAPParameters, RepairLimits) {
  QAPParameters absolute;
  absolute.SetMaxRepairs(5000);
  EXPECT_EQ(Options(absolute).rfind("-maxrepairs 5000 ", 0), 0u);
  absolute.SetProblemSize(30);
  EXPECT_EQ(absolute.maxRepairs, 5000u);

  QAPParameters unset;
  unset.SetProblemSize(25);
  EXPECT_EQ(unset.maxRepairs, 100000u);
  EXPECT_EQ(Options(unset).rfind("-maxrepairs 100000 ", 0), 0u);
}

TEST(QAPParameters, AspirationAndHistoryChooseThePick) {
  struct Case {
    bool aspiration, history;
    const char* pick;
  };
  for (const Case& c :
       {Case{false, false, "-pick Best "}, Case{false, true, "-pick Hist "},
        Case{true, false, "-pick BestAspiration "}, Case{true, true, "-pick HistAspiration "}}) {
    QAPParameters p;
    p.SetAspiration(c.aspiration);
    p.SetHistory(c.history);
    EXPECT_NE(Options(p).find(c.pick), std::string::npos) << c.pick;
  }
  QAPParameters unknown;
  unknown.pickType = 42;
  unknown.lambdaInit = 99;
  const std::string text = Options(unknown);
  EXPECT_NE(text.find("-lambda UNKNOWN_LAMBDA_INITIALISATION -usemovelists"), std::string::npos) << text;
  EXPECT_NE(text.find("-pick UNKNOWN_PICK_HEURISTIC +maxconsecsideways"), std::string::npos) << text;
}

}  // namespace
}  // namespace mirelock
