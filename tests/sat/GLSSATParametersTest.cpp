#include "sat/GLSSATParameters.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mirelock {
namespace {

std::string Options(GLSSATParameters& parameters) {
  std::ostringstream out;
  parameters.WriteOptions(out);
  return out.str();
}

const char* const kDefaults =
    "+seed 101 +pickrecency +randomrestarts +maxrepairs 10000 +numruns 20 +GLS +lambda 1 "
    "+repairsbeforepenalise 2 -upwards +penaliseselective +amountcostutil +cheapstatsonly -keeprunning ";

TEST(GLSSATParameters, OptionTextOfDefaultsAndOfEachSetter) {
  GLSSATParameters parameters;
  EXPECT_EQ(Options(parameters), kDefaults);
  EXPECT_EQ(parameters.GetNumRuns(), 20u);

  parameters.SetPenaltyDecay(200, 0.8);
  EXPECT_EQ(Options(parameters),
            "+seed 101 +pickrecency +randomrestarts +maxrepairs 10000 +numruns 20 +GLS +lambda 1 "
            "+repairsbeforepenalise 2 -upwards +penaliseselective +amountcostutil +forgetting "
            "+forgetafterNlocalminima 200 +forgetdecay 0.8 +cheapstatsonly -keeprunning ");

  GLSSATParameters history;
  history.SetHistory(false);
  EXPECT_EQ(Options(history).substr(0, 20), "+seed 101 +pickbest ");
  history.SetHistory(true);
  EXPECT_EQ(Options(history), kDefaults);

  GLSSATParameters perN;
  perN.SetMaxRepairsPerN(50);
  EXPECT_NE(Options(perN).find("+maxnrepairs 50 +numruns"), std::string::npos);
  perN.SetMaxRepairs(4294967295u);  // -1: no limit, nothing written
  EXPECT_EQ(Options(perN).find("maxnrepairs"), std::string::npos);
  EXPECT_EQ(Options(perN).find("maxrepairs"), std::string::npos);

  GLSSATParameters random;
  random.SetRandomMoves(0.01);
  EXPECT_NE(Options(random).find("+amountcostutil +Prandmove 0.01 +cheapstatsonly"), std::string::npos);

  // Every common setter is accepted; the experiment's values reach the text.
  GLSSATParameters all;
  EXPECT_NO_THROW({
    all.SetAspiration(true);
    all.SetLambda(0.25);
    all.SetSidewaysMoves(20);
    all.SetNumRuns(10);
    all.SetSeed(21);
    all.SetMonitor("monitor.txt", 0);
  });
  EXPECT_EQ(all.monitorInterval, 1);
  all.SetMonitor("monitor.txt", 5);
  EXPECT_EQ(all.monitorInterval, 5);
  EXPECT_EQ(Options(all),
            "+seed 21 +pickrecency +randomrestarts +maxrepairs 10000 +numruns 10 +GLS +lambda 0.25 "
            "+repairsbeforepenalise 20 +aspiration -upwards +penaliseselective +amountcostutil "
            "+cheapstatsonly -keeprunning ");
}

}  // namespace
}  // namespace mirelock
