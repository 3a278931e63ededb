#include "solver/SolverParameters.h"

#include <gtest/gtest.h>

#include <functional>

#include "solver/ProblemType.h"

namespace mirelock {
namespace {

// A parameter object that implements only the mandatory slots.
class BareParameters : public SolverParameters {
 public:
  unsigned GetNumRuns() override { return 0; }
  void SetNumRuns(unsigned) override {}
  void SetMaxRepairsPerN(unsigned) override {}
  void SetMaxRepairs(unsigned) override {}
  void SetSeed(unsigned) override {}
  std::ostream& WriteOptions(std::ostream& out) override { return out; }
};

std::string Thrown(const std::function<void()>& call) {
  try {
    call();
  } catch (const UnsupportedFeature& e) {
    return e.what();
  }
  return "";
}

TEST(SolverParameters, DefaultsRefuseOnlyARequestForTheFeature) {
  BareParameters p;
  EXPECT_EQ(Thrown([&] { p.SetAspiration(true); }), "Aspiration");
  EXPECT_EQ(Thrown([&] { p.SetRandomMoves(0.01); }), "Random moves");
  EXPECT_EQ(Thrown([&] { p.SetHistory(true); }), "History");
  EXPECT_EQ(Thrown([&] { p.SetSidewaysMoves(2); }), "Sideways moves");
  EXPECT_EQ(Thrown([&] { p.SetSidewaysMoves(-1); }), "Sideways moves");
  EXPECT_EQ(Thrown([&] { p.SetPenaltyDecay(5, 0.5); }), "Penalty Decay");
  EXPECT_EQ(Thrown([&] { p.SetLambda(1.0); }), "Lambda");
  EXPECT_EQ(Thrown([&] { p.SetMonitor("", 0); }), "Monitor run");
  EXPECT_EQ(Thrown([&] { p.SetNeighbourhood(10); }), "Fast local search");
  EXPECT_EQ(Thrown([&] { p.SetNeighbourhood(0); }), "");

  EXPECT_EQ(Thrown([&] { p.SetAspiration(false); }), "");
  EXPECT_EQ(Thrown([&] { p.SetRandomMoves(0.0); }), "");
  EXPECT_EQ(Thrown([&] { p.SetHistory(false); }), "");
  EXPECT_EQ(Thrown([&] { p.SetSidewaysMoves(0); }), "");
  EXPECT_EQ(Thrown([&] { p.SetPenaltyDecay(0, 0.5); }), "");
  EXPECT_EQ(Thrown([&] { p.SetLambda(0.0); }), "");
}

TEST(ProblemType, TableAndExtensionMatching) {
  EXPECT_STREQ(ResultsNamePiece(kProblemMaxSAT), "MAXSAT_");
  EXPECT_STREQ(ProblemMenuName(kProblemMaxSAT), "MAX-SAT");
  EXPECT_EQ(ProblemTypeFromPath("dir.x/tai12a.DAT"), kProblemQAP);
  EXPECT_EQ(ProblemTypeFromPath("a.b.cnf"), kProblemSAT);
  EXPECT_EQ(ProblemTypeFromPath("dir.tsp/noext"), std::nullopt);
  EXPECT_EQ(ProblemTypeFromKeyword("maxsat"), kProblemMaxSAT);
  EXPECT_EQ(ProblemTypeFromKeyword("MAXSAT"), std::nullopt);
}

}  // namespace
}  // namespace mirelock
