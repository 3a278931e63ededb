#include "tsp/TSPInstance.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "solver/SolverTestSupport.h"
#include "tsp/DistanceFunctions.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

constexpr std::int32_t kUnset = 2147483647;

TSPInstance ReadText(const std::string& text) {
  TSPInstance instance;
  std::istringstream in(text);
  instance.Read(in);
  return instance;
}

TEST(TSPDistances, EveryFunctionAsTSPLIBDefinesIt) {
  const CityCoord origin{1, 0, 0};
  EXPECT_EQ(EuclideanDistance(origin, {2, 3, 4}), 5);
  EXPECT_EQ(CeilingEuclideanDistance(origin, {2, 3, 4}), 5);
  EXPECT_EQ(EuclideanDistance(origin, {2, 1, 1}), 1);
  EXPECT_EQ(CeilingEuclideanDistance(origin, {2, 1, 1}), 2);
  EXPECT_EQ(PseudoEuclideanDistance(origin, {2, 10, 0}), 4);  // r = 3.162, t = 3 < r
  EXPECT_EQ(PseudoEuclideanDistance(origin, {2, 0, 0}), 0);
  // GEO gives 1 for a city with itself, the diagonal that the search never reads.
  EXPECT_EQ(GeographicalDistance({1, 38.24, 20.42}, {1, 38.24, 20.42}), 1);
  EXPECT_EQ(FindDistanceFunction("MAN_2D"), nullptr);
  EXPECT_EQ(FindDistanceFunction("GEO"), &GeographicalDistance);
}

TEST(TSPInstance, HeaderSpellingsCommentsAndFileOrder) {
  // Colon attached, separate, or attached to the value; NAME:x loses x and
  // takes the next word; COMMENT keeps its leading blank; no NODE_COORD_TYPE.
  const TSPInstance instance = ReadText(
      "NAME:lost\nnext word discarded\nCOMMENT : abc\nTYPE :TSP\nDIMENSION: 3\n"
      "EDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n3 0 0\n1 3 4\n2 6 8\nEOF\n");
  EXPECT_EQ(instance.Header().name, "next");
  EXPECT_EQ(instance.Header().comment, " abc");
  EXPECT_EQ(instance.Header().type, "TSP");
  EXPECT_EQ(instance.Size(), 3u);
  EXPECT_EQ(instance.Header().nodeCoordType, "TWOD_COORDS");
  EXPECT_EQ(instance.Header().sectionKeyword, "NODE_COORD_SECTION");
  ASSERT_EQ(instance.Coordinates().size(), 3u);
  EXPECT_EQ(instance.Coordinates()[0].number, 3);  // city 0 is the one numbered 3
  EXPECT_EQ(instance.Distances()(0, 1), 5);
  EXPECT_EQ(instance.Distances()(0, 2), 10);
  EXPECT_EQ(instance.Distances()(2, 1), 5);
  EXPECT_EQ(instance.Distances()(1, 1), 0);

  EXPECT_EQ(
      ReadText("DIMENSION : 5\nEDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n1 0 0\n2 0 0\n3 0 0\n4 0 0\n"
               "5 0 0\n6 1 1\n")
          .Size(),
      5u);  // records beyond DIMENSION are ignored
}

TEST(TSPInstance, TheFourExplicitLayouts) {
  // Symmetric 4-city matrix d(0,1)=1 d(0,2)=2 d(0,3)=3 d(1,2)=4 d(1,3)=5 d(2,3)=6, diagonal 9 where listed.
  const std::string head =
      "NAME : m\nTYPE : TSP\nDIMENSION : 4\nEDGE_WEIGHT_TYPE : ANYTHING\nEDGE_WEIGHT_FORMAT : ";
  const TSPInstance upperRow = ReadText(head + "UPPER_ROW\nEDGE_WEIGHT_SECTION\n1 2 3\n4 5 6\nEOF\n");
  const TSPInstance upperDiag = ReadText(head + "UPPER_DIAG_ROW\nEDGE_WEIGHT_SECTION\n9 1 2 3 9 4 5 9 6 9\n");
  const TSPInstance lowerDiag =
      ReadText(head + "LOWER_DIAG_ROW\nEDGE_WEIGHT_SECTION\n9\n1 9\n2 4\n9 3 5 6 9\n");
  const TSPInstance full = ReadText(
      head + "FULL_MATRIX\nEDGE_WEIGHT_SECTION\n9 1 2 3\n1 9 4 5\n2 4 9 6\n3 5 6 9 DISPLAY_DATA_SECTION\n");
  const int expected[4][4] = {{9, 1, 2, 3}, {1, 9, 4, 5}, {2, 4, 9, 6}, {3, 5, 6, 9}};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      SCOPED_TRACE(std::to_string(i) + "," + std::to_string(j));
      EXPECT_EQ(upperRow.Distances()(i, j), i == j ? kUnset : expected[i][j]);
      EXPECT_EQ(upperDiag.Distances()(i, j), expected[i][j]);
      EXPECT_EQ(lowerDiag.Distances()(i, j), expected[i][j]);
      EXPECT_EQ(full.Distances()(i, j), expected[i][j]);
    }
  }
  // FULL_MATRIX keeps an asymmetric matrix as read.
  const TSPInstance asymmetric =
      ReadText(head + "FULL_MATRIX\nEDGE_WEIGHT_SECTION\n0 1 2 3 7 0 4 5 2 4 0 6 3 5 6 0\n");
  EXPECT_EQ(asymmetric.Distances()(0, 1), 1);
  EXPECT_EQ(asymmetric.Distances()(1, 0), 7);
}

TEST(TSPInstance, BenchmarkLayoutsRead) {
  for (const char* name : {"si175.tsp", "gr17.tsp", "bays29.tsp", "brazil58.tsp", "d198.tsp", "att48.tsp"}) {
    SCOPED_TRACE(name);
    TSPInstance instance;
    std::ifstream in(test::TestData(std::string("tsp/") + name));
    ASSERT_TRUE(in.is_open());
    instance.Read(in);
    EXPECT_GT(instance.Size(), 0u);
    EXPECT_EQ(instance.Distances().Size(), instance.Size());
    EXPECT_EQ(instance.Distances()(1, 0), instance.Distances()(0, 1));
  }
}

// Every file of the parse folder is named after its defect. Reading accepts
// too few cities (a file may hold them), the search then refuses them.
TEST(TSPInstance, MalformedFilesGiveTheirError) {
  test::ExpectReadOutcomes("tsp/parse", [](const std::string& path) {
    TSPSolver solver;
    std::ifstream in(path);
    std::string outcome = "solved";
    testing::internal::CaptureStdout();
    try {
      solver.GetProblem().Read(in);
      solver.Solve();
    } catch (const FatalError& error) {
      outcome = test::Outcome(error);
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    return printed.empty() ? outcome : "printed " + printed + outcome;
  });
}

}  // namespace
}  // namespace mirelock
