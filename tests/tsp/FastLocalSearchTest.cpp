// The parts of the fast local search: neighbour lists against a scan of all
// pairs, the array tour against plain reversals, the kept cost against a
// recount after many moves, and the refusals of bad settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <sstream>

#include "platform/FatalError.h"
#include "platform/Random.h"
#include "solver/SolverTestSupport.h"
#include "tsp/ArrayTour.h"
#include "tsp/CityDistances.h"
#include "tsp/FastLocalSearch.h"
#include "tsp/NeighbourLists.h"
#include "tsp/TSPSolver.h"

namespace mirelock {
namespace {

// A coordinate instance of n cities drawn by the generator: spread over a
// square, piled on a few points (ties), or on a line.
std::string RandomInstance(const std::string& type, int n, int layout, double side) {
  std::ostringstream text;
  text.precision(17);
  text << "NAME : r\nTYPE : TSP\nDIMENSION : " << n << "\nEDGE_WEIGHT_TYPE : " << type << "\nNODE_COORD_SECTION\n";
  for (int c = 0; c < n; ++c) {
    double x = Random() * side / 32767, y = Random() * side / 32767;
    if (layout == 1) x = std::floor(x / side * 4) * side / 4, y = std::floor(y / side * 3) * side / 3;
    if (layout == 2) y = 7;
    if (type == "GEO") x = x / side * 80 - 40, y = y / side * 170 - 85;
    text << c + 1 << ' ' << x << ' ' << y << '\n';
  }
  return text.str() + "EOF\n";
}

TEST(NeighbourLists, MatchAScanOfAllPairs) {
  SeedRandom(77);
  for (const char* type : {"EUC_2D", "CEIL_2D", "ATT", "GEO"}) {
    for (int layout = 0; layout < 3; ++layout) {
      for (double side : {10.0, 1000.0, 3e6}) {
        const int n = 2 + Random() % 300;
        TSPInstance instance;
        std::istringstream in(RandomInstance(type, n, layout, side));
        instance.Read(in);
        const CityDistances distances(instance);
        for (std::uint32_t k : {1u, 7u, static_cast<std::uint32_t>(n - 1)}) {
          if (k >= static_cast<std::uint32_t>(n)) continue;
          SCOPED_TRACE(std::string(type) + " layout " + std::to_string(layout) + " n " + std::to_string(n) +
                       " K " + std::to_string(k));
          NeighbourLists lists;
          lists.Build(distances, k);
          for (int a = 0; a < n; ++a) {
            std::vector<std::pair<std::int32_t, int>> all;
            for (int c = 0; c < n; ++c)
              if (c != a) all.emplace_back(instance.Distances()(a, c), c);
            std::sort(all.begin(), all.end());
            for (std::uint32_t i = 0; i < k; ++i) {
              ASSERT_EQ(lists.Of(a)[i], all[i].second) << "city " << a << " entry " << i;
              ASSERT_EQ(lists.DistancesOf(a)[i], all[i].first);
            }
          }
        }
      }
    }
  }
}

TEST(ArrayTour, TwoOptMovesMatchPlainReversalsAndKeepThePositions) {
  SeedRandom(5);
  for (int n : {4, 5, 6, 101}) {
    std::vector<std::int32_t> cities(n);
    std::iota(cities.begin(), cities.end(), 0);
    ArrayTour tour;
    tour.Assign(cities);
    for (int step = 0; step < 3000; ++step) {
      const int a = Random() % n;
      int c = Random() % n;
      if (c == a || tour.Next(c) == a || tour.Next(a) == c) continue;
      // Plain: the cycle after reconnecting, as the successor of every city.
      std::vector<std::int32_t> order(cities);
      const auto at = [&](std::int32_t city) { return std::find(order.begin(), order.end(), city) - order.begin(); };
      std::rotate(order.begin(), order.begin() + at(tour.Next(a)), order.end());  // starts at b
      std::reverse(order.begin(), order.begin() + at(c) + 1);                     // b .. c reversed
      const std::uint32_t moved = tour.TwoOptMove(a, c);
      ASSERT_LE(2 * moved, static_cast<std::uint32_t>(n) + 1);
      for (int k = 0; k < n; ++k) {
        const std::int32_t x = order[k], y = order[(k + 1) % n];
        // The same cycle, in either orientation.
        ASSERT_TRUE(tour.Next(x) == y || tour.Previous(x) == y);
      }
      cities = tour.Cities();
      for (int p = 0; p < n; ++p) ASSERT_EQ(tour.PositionOf(cities[p]), static_cast<std::uint32_t>(p));
    }
  }
}

// Many moves of every kind (descents, random, escape, aspiration) on a large
// enough instance: the tour stays a permutation and the kept cost a recount.
TEST(FastLocalSearch, TourStaysAPermutationAndItsCostARecount) {
  SeedRandom(31);
  TSPSolver solver;
  std::istringstream in(RandomInstance("EUC_2D", 700, 0, 100000));
  solver.GetProblem().Read(in);
  TSPParameters& p = solver.Parameters();
  p.SetNeighbourhood(8);
  p.SetRandomMoves(0.02);
  p.SetRandomEscapeMoveProbability(0.3);
  p.SetSidewaysMoves(3);
  p.SetAspiration(true);
  p.SetSeed(3);
  for (std::uint32_t repairs : {1u, 10u, 1000u, 60000u}) {
    p.SetMaxRepairs(repairs);
    solver.Solve();
    const FastLocalSearch& fast = *solver.Fast();
    std::vector<std::int32_t> sorted = fast.Tour().Cities();
    std::sort(sorted.begin(), sorted.end());
    for (std::int32_t c = 0; c < 700; ++c) ASSERT_EQ(sorted[c], c);
    EXPECT_EQ(fast.Cost(), fast.Distances().TourCost(fast.Tour().Cities())) << repairs;
    EXPECT_EQ(fast.BestCost(), fast.Distances().TourCost(solver.GetBestTour())) << repairs;
    EXPECT_EQ(solver.Stats().Repairs(), repairs);
    EXPECT_LE(fast.BestCost(), fast.Cost());
  }
  EXPECT_GT(solver.Stats().LocalMinima(), 100u);
  EXPECT_GT(solver.Stats().AspirationMoves(), 0u);
}

// A solver given a second instance reads it whole (its cities used to be appended to the first's, so
// the first file's cities were searched) and makes its fast search anew (the first one's neighbour
// lists would otherwise serve the second): its run equals a fresh solver's run of the same number.
TEST(FastLocalSearch, ASecondInstanceGetsItsOwnSearch) {
  SeedRandom(5);
  const std::string first = RandomInstance("EUC_2D", 300, 0, 10000);
  const std::string second = RandomInstance("EUC_2D", 200, 0, 10000);
  TSPSolver reused, fresh;
  for (TSPSolver* solver : {&reused, &fresh}) {
    solver->Parameters().SetNeighbourhood(6);
    solver->Parameters().SetMaxRepairs(5000);
    solver->Parameters().SetSeed(9);
  }
  std::istringstream in1(first), in2(second), in3(second);
  reused.GetProblem().Read(in1);
  reused.Solve();
  reused.GetProblem().Read(in2);
  reused.Solve();
  fresh.GetProblem().Read(in3);
  fresh.Solve();
  fresh.Solve();
  EXPECT_EQ(reused.Instance().Coordinates().size(), 200u);
  EXPECT_EQ(reused.GetBestTour(), fresh.GetBestTour());
  EXPECT_EQ(reused.Fast()->BestCost(), fresh.Fast()->BestCost());
  EXPECT_EQ(reused.Fast()->BestCost(), reused.Fast()->Distances().TourCost(reused.GetBestTour()));
}

// Tour costs beyond 2^31: the statistics keep them whole, the 32-bit
// interface reads the largest 32-bit cost.
TEST(FastLocalSearch, CostsBeyondThirtyTwoBits) {
  SeedRandom(8);
  TSPSolver solver;
  std::istringstream in(RandomInstance("EUC_2D", 300, 0, 1e8));
  solver.GetProblem().Read(in);
  solver.Parameters().SetNeighbourhood(5);
  solver.Parameters().SetMaxRepairs(50);
  solver.Solve();
  const FastLocalSearch& fast = *solver.Fast();
  EXPECT_GT(solver.Stats().VisitedCosts().Maximum(), 4294967296u);
  EXPECT_EQ(solver.Stats().VisitedCosts().Maximum(), static_cast<std::uint64_t>(solver.Stats().VisitedCosts().Maximum()));
  EXPECT_EQ(fast.Cost(), fast.Distances().TourCost(fast.Tour().Cities()));
  EXPECT_EQ(solver.GetBestCost(), 2147483647);
}

std::string Outcome(const std::string& text, unsigned neighbours) {
  TSPSolver solver;
  std::istringstream in(text);
  try {
    solver.GetProblem().Read(in);
    solver.Parameters().SetNeighbourhood(neighbours);
    solver.Parameters().SetMaxRepairs(10);
    solver.Solve();
  } catch (const FatalError& error) {
    return test::Outcome(error);
  }
  return "solved";
}

TEST(FastLocalSearch, BadSettingsAndSizesAreRefusedBeforeAllocating) {
  SeedRandom(1);
  const std::string eight = RandomInstance("EUC_2D", 8, 0, 100);
  EXPECT_EQ(Outcome(eight, 7), "solved");
  EXPECT_EQ(Outcome(eight, 8),
            "stderr 1: Error: TSP file r: fast local search over 8 nearest neighbours needs 1 to n - 1 neighbours, "
            "and the problem has 8 cities\n");
  // 30,000 cities: the full scan would need 18 GB and is refused before the
  // matrix exists; the fast search solves it in a few megabytes.
  const std::string large = RandomInstance("CEIL_2D", 30000, 0, 1e6);
  EXPECT_EQ(Outcome(large, 0),
            "stderr 1: Error: TSP file r: the full-scan 2-opt search of 30000 cities would need 18000 MB for its 5 "
            "n x n tables (at most 20000 cities); use the fast neighbourhood (--neighbourhood fast) for this "
            "instance\n");
  EXPECT_EQ(Outcome(large, 10), "solved");
  // Coordinates whose distances leave 32 bits.
  EXPECT_EQ(Outcome("NAME : far\nDIMENSION : 4\nEDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n1 0 0\n2 0 1\n"
                    "3 3e9 1\n4 1 0\n",
                    2),
            "stderr 1: Error: TSP file far: the coordinates span a distance that does not fit in a 32-bit integer\n");
}

}  // namespace
}  // namespace mirelock
