#include "tsp/TwoOptEvaluator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace mirelock {
namespace {

struct Listed {
  std::int32_t value = TwoOptEvaluator::kNoValue;
  std::vector<std::tuple<int, int, int>> moves;
  bool operator==(const Listed&) const = default;
};

Listed FromEvaluator(const std::vector<TSPMove>& moves, std::int32_t value) {
  Listed listed{value, {}};
  for (const TSPMove& m : moves) listed.moves.emplace_back(m.i, m.j, m.key);
  return listed;
}

// Every 2-opt value recomputed from the city matrices: the least augmented
// value with its moves, and the least cost value below the threshold with its.
std::pair<Listed, Listed> Recount(const std::vector<std::int32_t>& tour, const IntMatrix& distances,
                                  const IntMatrix& augmented, std::int64_t threshold) {
  const int n = static_cast<int>(tour.size());
  const auto delta = [&](const IntMatrix& m, int i, int j) {
    const int a = tour[i - 1], b = tour[i], c = tour[j], d = tour[(j + 1) % n];
    return m(b, d) - m(c, d) - m(a, b) + m(a, c);
  };
  Listed best, aspiring;
  for (int i = 1; i < n; ++i) {
    for (int j = i + 1; j < n && j - i <= n - 3; ++j) {
      const std::int32_t value = delta(augmented, i, j), cost = delta(distances, i, j);
      if (value < best.value) best.moves.clear(), best.value = value;
      if (value == best.value) best.moves.emplace_back(i, j, n * i + j);
      if (cost >= threshold) continue;
      if (cost < aspiring.value) aspiring.moves.clear(), aspiring.value = cost;
      if (cost == aspiring.value) aspiring.moves.emplace_back(i, j, n * i + j);
    }
  }
  return {best, aspiring};
}

// The evaluator keeps its row minima from one evaluation to the next and
// recomputes only what reversals and penalties touched. Long random sequences
// of both, several between evaluations at times, on tours of a few to several
// blocks of columns, with small distances for many ties, must list exactly
// the moves a full recount lists, in the same order.
TEST(TwoOptEvaluator, ListsAfterManyReversalsAndPenaltiesMatchARecount) {
  std::mt19937 random(20261207);
  const auto draw = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  for (const int n : {4, 5, 16, 17, 33, 70}) {
    SCOPED_TRACE("n = " + std::to_string(n));
    // One matrix is not symmetric: the evaluator must not rely on it.
    IntMatrix distances(static_cast<std::size_t>(n), 0);
    for (int a = 0; a < n; ++a) {
      for (int b = 0; b < a; ++b) distances(a, b) = distances(b, a) = draw(0, 9);
      if (n == 33) {
        for (int b = 0; b < a; ++b) distances(b, a) = draw(0, 9);
      }
    }
    IntMatrix augmented = distances;
    std::vector<std::int32_t> tour(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) tour[k] = k;
    std::shuffle(tour.begin() + 1, tour.end(), random);
    TwoOptEvaluator evaluator;
    evaluator.Start(tour, distances, augmented, true);
    for (int step = 0; step < 600; ++step) {
      // Up to 12 changes at once, past the evaluator's list of stale spans.
      const int changes = draw(0, 5) == 0 ? draw(2, 12) : 1;
      for (int c = 0; c < changes; ++c) {
        if (draw(0, 3) == 0) {
          // A penalty on a tour edge, the closing one included, or now and then on any pair.
          int p = draw(0, n - 1), q = (p + 1) % n;
          if (draw(0, 4) == 0) q = draw(0, n - 1);
          const int value = draw(1, 3);
          augmented(tour[p], tour[q]) += value;
          if (p != q) augmented(tour[q], tour[p]) += value;
          evaluator.AddPenalty(static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(q), value);
        } else {
          // Mostly short segments, as the search makes them.
          const int i = draw(1, n - 2);
          const int j = draw(0, 2) == 0 ? draw(i + 1, n - 1) : std::min(n - 1, i + draw(1, 3));
          std::reverse(tour.begin() + i, tour.begin() + j + 1);
          evaluator.Reverse(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j));
        }
      }
      const std::int64_t thresholds[] = {std::int64_t{1} << 40, draw(-12, 3),
                                         std::numeric_limits<std::int32_t>::min()};
      const std::int64_t threshold = thresholds[draw(0, 2)];
      evaluator.Evaluate(threshold);
      const auto [best, aspiring] = Recount(tour, distances, augmented, threshold);
      ASSERT_EQ(FromEvaluator(evaluator.BestMoves(), evaluator.BestMoveValue()), best) << "step " << step;
      ASSERT_EQ(FromEvaluator(evaluator.AspirationMoves(), evaluator.AspirationValue()), aspiring)
          << "step " << step << ", threshold " << threshold;
    }
  }
}

}  // namespace
}  // namespace mirelock
