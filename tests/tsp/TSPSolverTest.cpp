#include "tsp/TSPSolver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "common/TestSupport.h"
#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "platform/PauseGate.h"
#include "platform/Random.h"

namespace mirelock {
namespace {

void ReadText(TSPSolver& solver, const std::string& text) {
  std::istringstream in(text);
  solver.GetProblem().Read(in);
}

void ReadFile(TSPSolver& solver, const std::string& path) {
  std::ifstream in(path);
  ASSERT_TRUE(in.is_open()) << path;
  solver.GetProblem().Read(in);
}

// n cities at pseudo-random integer coordinates, EUC_2D.
std::string RandomCoordinates(int n, std::uint32_t seed) {
  SeedRandom(seed);
  std::ostringstream text;
  text << "NAME : random\nTYPE : TSP\nDIMENSION : " << n
       << "\nEDGE_WEIGHT_TYPE : EUC_2D\nNODE_COORD_SECTION\n";
  for (int k = 1; k <= n; ++k) text << k << " " << Random() % 1000 << " " << Random() % 1000 << "\n";
  return text.str() + "EOF\n";
}

// Explicit LOWER_DIAG_ROW instance with d(i, j) = c + w_i + w_j: every tour costs n * c + 2 * sum(w).
std::string AdditiveInstance(const std::vector<int>& weights, int c) {
  std::ostringstream text;
  text << "NAME : flat\nTYPE : TSP\nDIMENSION : " << weights.size()
       << "\nEDGE_WEIGHT_TYPE : EXPLICIT\nEDGE_WEIGHT_FORMAT : LOWER_DIAG_ROW\nEDGE_WEIGHT_SECTION\n";
  for (std::size_t i = 0; i < weights.size(); ++i) {
    for (std::size_t j = 0; j <= i; ++j) text << (i == j ? 0 : c + weights[i] + weights[j]) << " ";
  }
  return text.str() + "\nEOF\n";
}

struct Listed {
  std::vector<TSPMove> moves;
  std::int32_t value = TwoOptEvaluator::kNoValue;
};

// The lists by the plain definition: every move, its deltas from the matrix elements.
void BruteForce(const std::vector<std::int32_t>& tour, const IntMatrix& d, const IntMatrix& augmented,
                std::int64_t threshold, Listed* best, Listed* aspiration) {
  const auto n = static_cast<std::int32_t>(tour.size());
  auto delta = [&](const IntMatrix& m, std::int32_t i, std::int32_t j) {
    const std::int64_t a = tour[i - 1], b = tour[i], c = tour[j], e = tour[(j + 1) % n];
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(m(b, e)) - static_cast<std::uint32_t>(m(c, e)) -
        static_cast<std::uint32_t>(m(a, b)) + static_cast<std::uint32_t>(m(a, c)));
  };
  for (std::int32_t i = 1; i < n; ++i) {
    for (std::int32_t j = i + 1; j < n && j - i <= n - 3; ++j) {
      const std::int32_t cost = delta(d, i, j);
      if (cost < threshold) {
        if (cost < aspiration->value) aspiration->moves.clear(), aspiration->value = cost;
        if (cost == aspiration->value) aspiration->moves.emplace_back(i, j, n * i + j);
      }
      const std::int32_t value = delta(augmented, i, j);
      if (value < best->value) best->moves.clear(), best->value = value;
      if (value == best->value) best->moves.emplace_back(i, j, n * i + j);
    }
  }
}

void ExpectSameMoves(const std::vector<TSPMove>& actual, const std::vector<TSPMove>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k) {
    EXPECT_EQ(actual[k].i, expected[k].i);
    EXPECT_EQ(actual[k].j, expected[k].j);
    EXPECT_EQ(actual[k].key, expected[k].key);
  }
}

TEST(TwoOptEvaluator, FourCitiesHaveTwoMovesAndListsMatchTheDefinition) {
  IntMatrix flat(4, 1);
  TwoOptEvaluator evaluator;
  evaluator.Start({0, 1, 2, 3}, flat, flat, true);
  evaluator.Evaluate(1);
  ExpectSameMoves(evaluator.BestMoves(), {TSPMove(1, 2, 6), TSPMove(2, 3, 11)});
  EXPECT_EQ(evaluator.BestMoveValue(), 0);
  ExpectSameMoves(evaluator.AspirationMoves(), {TSPMove(1, 2, 6), TSPMove(2, 3, 11)});

  // Random asymmetric matrices with small values (many ties), random tours and thresholds.
  SeedRandom(99);
  for (int round = 0; round < 300; ++round) {
    const std::uint32_t n = 4 + Random() % 37;
    IntMatrix d(n, 0);
    IntMatrix augmented(n, 0);
    for (std::uint32_t a = 0; a < n; ++a) {
      for (std::uint32_t b = 0; b < n; ++b) {
        d(a, b) = Random() % 7;
        augmented(a, b) = d(a, b) * 100 + Random() % 3 * 40;
      }
    }
    if (round % 10 == 0) augmented(1, 2) = 2147483000;  // wrapping arithmetic, as 32-bit values do
    std::vector<std::int32_t> tour(n);
    for (std::uint32_t k = 0; k < n; ++k) tour[k] = static_cast<std::int32_t>(k);
    for (std::uint32_t k = 1; k < n; ++k) std::swap(tour[k], tour[Random() % (k + 1)]);
    const std::int64_t thresholds[] = {-3, 0, 2, 4294967296LL, -4294967296LL};
    evaluator.Start(tour, d, augmented, true);
    // The tour-order matrices follow reversals and penalties as the city matrices would.
    for (int step = 0; step < 6; ++step) {
      const std::int64_t threshold = thresholds[(round + step) % 5];
      evaluator.Evaluate(threshold);
      Listed best, aspiration;
      BruteForce(tour, d, augmented, threshold, &best, &aspiration);
      SCOPED_TRACE("round " + std::to_string(round) + " step " + std::to_string(step) + " n " +
                   std::to_string(n));
      EXPECT_EQ(evaluator.BestMoveValue(), best.value);
      ExpectSameMoves(evaluator.BestMoves(), best.moves);
      EXPECT_EQ(evaluator.AspirationValue(), aspiration.value);
      ExpectSameMoves(evaluator.AspirationMoves(), aspiration.moves);
      if (HasFailure()) return;

      const std::uint32_t i = 1 + Random() % (n - 2);
      const std::uint32_t j = i + 1 + Random() % (n - i - 1);
      std::reverse(tour.begin() + i, tour.begin() + j + 1);
      evaluator.Reverse(i, j);
      const std::uint32_t p = Random() % n;
      const std::uint32_t q = (p + 1) % n;
      augmented(tour[p], tour[q]) += 17;
      augmented(tour[q], tour[p]) += 17;
      evaluator.AddPenalty(p, q, 17);
    }
  }
}

TEST(TSPSolver, StateAgreesWithARecountAfterManyMovesAndPenalties) {
  const int limits[] = {1, 60, 3000, 20000};
  for (int limit : limits) {
    SCOPED_TRACE("repair limit " + std::to_string(limit));
    TSPSolver solver;
    ReadText(solver, RandomCoordinates(37, 3));
    TSPParameters& parameters = solver.Parameters();
    parameters.SetMaxRepairs(limit);
    parameters.SetAspiration(true);
    parameters.SetRandomMoves(0.05);
    parameters.SetSidewaysMoves(3);
    parameters.SetRandomEscapeMoveProbability(0.3);
    parameters.SetLambda(0.3);
    parameters.SetSeed(11);
    solver.Solve();
    // Escape moves after a penalisation are not limited, so a run may overshoot its limit.
    EXPECT_GE(solver.Stats().Repairs(), static_cast<std::uint32_t>(limit));

    const std::vector<std::int32_t>& tour = solver.Tour();
    EXPECT_EQ(solver.Cost(), solver.TourCost(tour));
    EXPECT_EQ(solver.GetBestCost(), solver.TourCost(solver.GetBestTour()));
    EXPECT_LE(solver.GetBestCost(), solver.Cost());
    const IntMatrix& d = solver.Instance().Distances();
    const auto n = static_cast<std::int32_t>(tour.size());
    std::int64_t penalties = solver.Penalty(tour[0], tour[n - 1]);
    for (std::int32_t k = 0; k + 1 < n; ++k) penalties += solver.Penalty(tour[k], tour[k + 1]);
    EXPECT_EQ(solver.AugmentedCost(),
              penalties + static_cast<std::int64_t>(solver.CostMultiplier()) * solver.Cost());

    // Penalties come in units of the integer lambda; the augmented matrix is rebuilt from them.
    IntMatrix augmented(n, 0);
    std::int64_t penalised = 0;
    for (std::int32_t a = 0; a < n; ++a) {
      for (std::int32_t b = 0; b < n; ++b) {
        if (a != b && limit > 1) {
          EXPECT_EQ(solver.Penalty(a, b) % solver.IntegerLambda(), 0);
        }
        penalised += solver.Penalty(a, b) > 0;
        augmented(a, b) = solver.CostMultiplier() * d(a, b) + solver.Penalty(a, b);
      }
    }
    if (limit >= 3000) {
      EXPECT_GT(penalised, 0);
      EXPECT_EQ(solver.CostMultiplier(), 100);
    }
    Listed best, aspiration;
    BruteForce(tour, d, augmented, 0, &best, &aspiration);
    EXPECT_EQ(solver.Neighbourhood().BestMoveValue(), best.value);
    ExpectSameMoves(solver.Neighbourhood().BestMoves(), best.moves);
    for (const TSPMove& move : best.moves) EXPECT_EQ(solver.AugmentedDelta(move), best.value);
  }
}

std::vector<std::int32_t> ShuffledTour(std::uint32_t seed, std::int32_t n) {
  SeedRandom(seed);
  std::vector<std::int32_t> tour(n);
  for (std::int32_t k = 0; k < n; ++k) tour[k] = k;
  for (std::int32_t k = 1; k < n; ++k) std::swap(tour[k], tour[Random() % (k + 1)]);
  return tour;
}

TEST(TSPSolver, SeedTimesRunNumberAndRunsWithoutMoves) {
  TSPSolver solver;
  ReadText(solver, RandomCoordinates(12, 4));
  solver.Parameters().SetMaxRepairs(0);
  solver.Parameters().SetNumRuns(3);
  solver.Parameters().SetSeed(5);
  for (std::uint32_t run = 1; run <= 3; ++run) {
    solver.Solve();  // no move: the initial tour is the best, and the end-of-run check holds
    EXPECT_EQ(solver.Tour(), ShuffledTour(5 * run, 12));
    EXPECT_EQ(solver.GetBestTour(), solver.Tour());
    EXPECT_EQ(solver.GetBestCost(), solver.TourCost(solver.Tour()));
  }
  std::ostringstream row;
  UseDefaultNumberFormat(row);
  solver.GetStats().WriteRow(row);
  EXPECT_NE(row.str().find("\t0\t0\t1\t0\t0\t1\t"), std::string::npos) << row.str();  // entropy of no move

  // The do-not-seed value leaves the generator alone.
  TSPSolver unseeded;
  ReadText(unseeded, RandomCoordinates(12, 4));
  unseeded.Parameters().SetMaxRepairs(0);
  unseeded.Parameters().SetSeed(4294967295u);
  SeedRandom(77);
  unseeded.Solve();
  EXPECT_EQ(unseeded.Tour(), ShuffledTour(77, 12));
}

TEST(TSPSolver, CostMultiplierAndIntegerLambda) {
  // Five cities whose tours all cost 214747 (multiplier 100) or 214748 (multiplier 1).
  struct Case {
    int c, sumOfWeights, multiplier, integerLambda;
  } cases[] = {{1, 107371, 100, 4294940}, {2, 107369, 1, 42950}};
  for (const Case& each : cases) {
    TSPSolver solver;
    ReadText(solver, AdditiveInstance({each.sumOfWeights - 4, 1, 1, 1, 1}, each.c));
    solver.Parameters().SetMaxRepairs(2);
    solver.Parameters().SetSidewaysMoves(0);
    solver.Solve();
    EXPECT_EQ(solver.TourCost(solver.Tour()), 5 * each.c + 2 * each.sumOfWeights);
    EXPECT_EQ(solver.CostMultiplier(), each.multiplier);
    EXPECT_EQ(solver.IntegerLambda(), each.integerLambda);
    EXPECT_GE(solver.Stats().LocalMinima(), 1u);
  }

  TSPSolver tiny;
  ReadText(tiny, AdditiveInstance({1, 1, 1, 1, 1}, 1));
  tiny.Parameters().SetLambda(1e-9);
  try {
    tiny.Solve();
    ADD_FAILURE() << "no error";
  } catch (const FatalError& error) {
    EXPECT_EQ(
        error.Text(),
        "Sorry: unable to solve problem as costs/penalties/lambda not possible to calculate using integer "
        "arithmetic\nTry lambda in range 0.1 to 10\n");
    EXPECT_EQ(error.Stream(), OutputStream::Out);
    EXPECT_EQ(error.ExitStatus(), 1);
  }
}

TEST(TSPSolver, TooFewCitiesAreRefusedBeforeTheSearch) {
  const std::pair<const char*, const char*> cases[] = {
      {"no-dimension", "Problem with size 0\nProblem file must be incorrect\n"},
      {"three-cities",
       "Problem with size 3: a tour needs at least 4 cities for 2-opt moves\n"
       "Problem file must be incorrect\n"}};
  for (const auto& [file, text] : cases) {
    TSPSolver solver;
    ReadFile(solver, test::TestData(std::string("tsp/parse/") + file + ".tsp"));
    try {
      solver.Solve();
      ADD_FAILURE() << file;
    } catch (const FatalError& error) {
      EXPECT_EQ(error.Text(), text);
      EXPECT_EQ(error.Stream(), OutputStream::Err);
      EXPECT_EQ(error.ExitStatus(), 1);
    }
  }
}

TEST(TSPSolver, DefaultExperimentFindsKnownOptimaAndWritesItsOptions) {
  auto owned = std::make_unique<TSPSolver>();
  TSPSolver* solver = owned.get();
  ReadFile(*solver, test::TestData("tsp/eil51.tsp"));
  SolverParameters& parameters = solver->GetParameters();
  parameters.SetMaxRepairsPerN(1000);
  parameters.SetNumRuns(10);
  parameters.SetLambda(1.0);
  parameters.SetRandomMoves(0.0);
  parameters.SetAspiration(false);
  EXPECT_NO_THROW(parameters.SetMonitor("ignored.txt", 10));
  parameters.SetHistory(false);
  parameters.SetSidewaysMoves(2);
  parameters.SetSeed(21);
  solver->Solve();
  std::ostringstream options;
  UseDefaultNumberFormat(options);
  parameters.WriteOptions(options);
  EXPECT_EQ(options.str(),
            "-maxrepairs 51000 -numruns 10 -lambdacoeff 1 +maxconsecsideways 2 +cheapstatsonly ");
  EXPECT_LE(solver->GetBestCost(), 426 * 1.03);

  // GEO distances: ulysses16's published optimum is reached.
  TSPSolver geo;
  ReadFile(geo, test::TestData("tsp/ulysses16.tsp"));
  geo.Parameters().SetMaxRepairsPerN(1000);
  geo.Parameters().SetAspiration(false);
  geo.Parameters().SetSidewaysMoves(2);
  geo.Parameters().SetSeed(21);
  geo.Solve();
  EXPECT_EQ(geo.GetBestCost(), 6859);
}

TEST(TSPSolver, StopAndPauseFromAnotherThread) {
  TSPSolver solver;
  ReadText(solver, RandomCoordinates(60, 8));
  solver.Parameters().SetSeed(3);
  PauseGate gate;
  solver.SetPauseGate(&gate);
  gate.Close();
  std::thread worker([&] { solver.Solve(); });  // no repair limit: only the stop ends it
  ASSERT_TRUE(gate.WaitUntilParked());
  const std::uint32_t parkedAt = solver.Stats().Repairs();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(solver.Stats().Repairs(), parkedAt);
  solver.Stop();
  gate.Open();
  worker.join();
  EXPECT_TRUE(solver.IsStopped());
  EXPECT_EQ(solver.GetBestCost(), solver.TourCost(solver.GetBestTour()));
}

}  // namespace
}  // namespace mirelock

namespace mirelock {
namespace {

TEST(TSPSolver, SidewaysMovesOnAFlatInstance) {
  // Every tour costs the same, so before any penalty every move has value 0.
  struct Case {
    int sideways, limit;
    std::uint32_t localMinima;
  } cases[] = {{0, 1, 1}, {3, 3, 0}, {3, 4, 1}};
  for (const Case& each : cases) {
    SCOPED_TRACE("sideways " + std::to_string(each.sideways) + " limit " + std::to_string(each.limit));
    TSPSolver solver;
    ReadText(solver, AdditiveInstance({1, 1, 1, 1, 1, 1}, 1));
    solver.Parameters().SetSidewaysMoves(each.sideways);
    solver.Parameters().SetAspiration(false);
    solver.Parameters().SetMaxRepairs(each.limit);
    solver.Solve();
    EXPECT_EQ(solver.Stats().Repairs(), static_cast<std::uint32_t>(each.limit));
    EXPECT_EQ(solver.Stats().LocalMinima(), each.localMinima);
  }
}

TEST(TSPSolver, SameSeedSameRowsApartFromTime) {
  auto rows = [] {
    TSPSolver solver;
    ReadText(solver, RandomCoordinates(40, 6));
    TSPParameters& parameters = solver.Parameters();
    parameters.SetMaxRepairsPerN(100);
    parameters.SetNumRuns(3);
    parameters.SetAspiration(true);
    parameters.SetRandomMoves(0.05);
    parameters.SetSidewaysMoves(2);
    parameters.SetSeed(21);
    std::vector<std::string> lines;
    for (unsigned run = 0; run < parameters.GetNumRuns(); ++run) {
      solver.Solve();
      std::ostringstream row;
      UseDefaultNumberFormat(row);
      solver.GetStats().WriteRow(row);
      parameters.WriteOptions(row);
      lines.push_back(row.str().substr(row.str().find('\t')));  // without the CPU seconds
    }
    return lines;
  };
  const std::vector<std::string> first = rows();
  SeedRandom(12345);  // whatever the generator held before
  EXPECT_EQ(rows(), first);
  EXPECT_NE(first[0], first[1]);
  EXPECT_NE(first[0].find("+aspiration"), std::string::npos);
}

}  // namespace
}  // namespace mirelock
