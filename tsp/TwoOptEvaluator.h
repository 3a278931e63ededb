#pragma once
#include <cstdint>
#include <limits>
#include <vector>

#include "tsp/IntMatrix.h"
#include "tsp/TSPMove.h"

namespace mirelock {

// Evaluates the whole 2-opt neighbourhood of a tour: every move (i, j) with
// 1 <= i < j <= n-1, except (1, n-1), which would only reverse the whole tour.
// It keeps the moves of least augmented delta (the best-move list) and,
// optionally, the moves of least cost delta among those whose cost delta lies
// below a threshold (the aspiration list). Lists are in (i, j) order.
//
// The augmented matrix holds multiplier * distance + penalty for every pair of
// cities, so one table gives the augmented delta. For each i the matrix row of
// city tour[i] is gathered into tour order once; the loop over j then reads
// four contiguous arrays and vectorises. Arithmetic wraps modulo 2^32, as the
// 32-bit move values do.
class TwoOptEvaluator {
 public:
  static constexpr std::int32_t kNoValue = std::numeric_limits<std::int32_t>::max();

  void Resize(std::uint32_t size);

  // costThreshold: a move qualifies for the aspiration list when its cost delta
  // is below it (best cost - current cost). Without aspiration the list stays empty.
  void Evaluate(const std::vector<std::int32_t>& tour, const IntMatrix& distances, const IntMatrix& augmented,
                bool withAspiration, std::int64_t costThreshold);

  const std::vector<TSPMove>& BestMoves() const { return bestMoves_; }
  std::int32_t BestMoveValue() const { return bestMoveValue_; }
  const std::vector<TSPMove>& AspirationMoves() const { return aspirationMoves_; }
  std::int32_t AspirationValue() const { return aspirationValue_; }

 private:
  void GatherRow(const std::int32_t* matrixRow, std::uint32_t first, std::uint32_t last,
                 std::uint32_t* into) const;
  // Lists the row's moves of least augmented delta; returns that delta.
  std::int32_t AugmentedRow(std::uint32_t i, std::uint32_t jLast);
  void AspirationRow(std::uint32_t i, std::uint32_t jLast, bool allQualify, std::int32_t threshold);

  std::uint32_t size_ = 0;
  std::vector<std::uint32_t>
      extendedTour_;  // the tour and its first city again, so that j + 1 needs no modulo
  std::vector<std::uint32_t> edgeAugmented_;
  std::vector<std::uint32_t> edgeCost_;
  std::vector<std::uint32_t> previousAugmented_;
  std::vector<std::uint32_t> currentAugmented_;
  std::vector<std::uint32_t> previousCost_;
  std::vector<std::uint32_t> currentCost_;
  std::vector<TSPMove> bestMoves_;
  std::int32_t bestMoveValue_ = kNoValue;
  std::vector<TSPMove> aspirationMoves_;
  std::int32_t aspirationValue_ = kNoValue;
};

}  // namespace mirelock
