#include "tsp/TSPInstance.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "solver/SolverTestSupport.h"
#include "tsp/DistanceFunctions.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

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

// Header spellings (colon attached, separate or attached to the value; NAME:x
// loses x and takes the next word; COMMENT keeps its leading blank), cities in
// file order, and the four explicit layouts, each file against its line of
// the folder's table: the header fields that were read, then the matrix.
TEST(TSPInstance, EachFileOfTheReadFolderGivesItsHeaderAndMatrix) {
  test::ExpectReadOutcomes("tsp/read", [](const std::string& path) {
    TSPInstance instance;
    std::ifstream in(path);
    instance.Read(in);
    const TSPHeader& h = instance.Header();
    std::ostringstream out;
    out << h.name << "|" << h.comment << "|" << h.type << "|" << h.nodeCoordType << "|" << h.sectionKeyword << "|";
    for (std::uint32_t i = 0; i < instance.Size(); ++i)
      for (std::uint32_t j = 0; j < instance.Size(); ++j) out << (j == 0 ? " " : ",") << instance.Distances()(i, j);
    return out.str();
  });
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
