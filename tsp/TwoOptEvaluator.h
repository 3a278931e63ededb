#pragma once
#include <cstdint>
#include <limits>
#include <vector>

#include "tsp/IntMatrix.h"
#include "tsp/PositionMatrix.h"
#include "tsp/TSPMove.h"
#include "tsp/TwoOptRowMinima.h"

namespace mirelock {

// Evaluates the whole 2-opt neighbourhood of a tour: every move (i, j) with
// 1 <= i < j <= n-1, except (1, n-1), which would only reverse the whole tour.
// It keeps the moves of least augmented delta (the best-move list) and,
// optionally, the moves of least cost delta among those whose cost delta lies
// below a threshold (the aspiration list). Lists are in (i, j) order.
//
// The augmented matrix holds multiplier * distance + penalty for every pair of
// cities, so one table gives the augmented delta. Both matrices are kept in
// tour order (PositionMatrix), so that the loop over j reads contiguous arrays
// and vectorises, and each keeps the least value of every row of moves from
// one evaluation to the next (TwoOptRowMinima), computing again only what a
// reversal or a penalty changed. Arithmetic wraps modulo 2^32, as 32-bit
// values do.
class TwoOptEvaluator {
 public:
  static constexpr std::int32_t kNoValue = std::numeric_limits<std::int32_t>::max();

  // Takes the tour and the two city matrices; the distances are kept only with aspiration.
  void Start(const std::vector<std::int32_t>& tour, const IntMatrix& distances, const IntMatrix& augmented,
             bool withAspiration);
  // Follows the tour's 2-opt reversal of positions i..j.
  void Reverse(std::uint32_t i, std::uint32_t j);
  // Follows a penalty added to the edge between the cities at positions p and q.
  void AddPenalty(std::uint32_t p, std::uint32_t q, std::int32_t value);

  // costThreshold: a move qualifies for the aspiration list when its cost delta
  // is below it (best cost - current cost). Without aspiration the list stays empty.
  void Evaluate(std::int64_t costThreshold);

  const std::vector<TSPMove>& BestMoves() const { return bestMoves_; }
  std::int32_t BestMoveValue() const { return bestMoveValue_; }
  const std::vector<TSPMove>& AspirationMoves() const { return aspirationMoves_; }
  std::int32_t AspirationValue() const { return aspirationValue_; }

 private:
  // Lists, in (i, j) order, the moves whose value is the least of the rows'.
  void ListMoves(const PositionMatrix& matrix, const TwoOptRowMinima& minima, std::int32_t least,
                 std::vector<TSPMove>& moves) const;

  std::uint32_t size_ = 0;
  bool withAspiration_ = false;
  PositionMatrix augmented_;
  PositionMatrix distances_;
  TwoOptRowMinima augmentedMinima_;
  TwoOptRowMinima distanceMinima_;
  std::vector<TSPMove> bestMoves_;
  std::int32_t bestMoveValue_ = kNoValue;
  std::vector<TSPMove> aspirationMoves_;
  std::int32_t aspirationValue_ = kNoValue;
};

}  // namespace mirelock
