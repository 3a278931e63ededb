#include "tsp/TwoOptEvaluator.h"

#include "tsp/VectorClones.h"

#include <algorithm>

namespace mirelock {

void TwoOptEvaluator::Start(const std::vector<std::int32_t>& tour, const IntMatrix& distances,
                            const IntMatrix& augmented, bool withAspiration) {
  size_ = static_cast<std::uint32_t>(tour.size());
  withAspiration_ = withAspiration;
  augmented_.Build(augmented, tour);
  if (withAspiration) distances_.Build(distances, tour);
  edgeAugmented_.assign(size_ + 1, 0);
  edgeCost_.assign(size_ + 1, 0);
}

void TwoOptEvaluator::Reverse(std::uint32_t i, std::uint32_t j) {
  augmented_.Reverse(i, j);
  if (withAspiration_) distances_.Reverse(i, j);
}

void TwoOptEvaluator::AddPenalty(std::uint32_t p, std::uint32_t q, std::int32_t value) {
  augmented_.AddSymmetric(p, q, value);
}

// With a = tour[i-1], b = tour[i], c = tour[j], d = tour[j+1]: the delta of
// (i, j) is M[b][d] - M[c][d] - M[a][b] + M[a][c]. In tour order M[b][d] is
// row i at column j + 1, M[a][c] row i - 1 at column j, and the other two are
// tour edges. The row's values are not stored: only the rare
// row that holds the least value is computed a second time, to list its moves.
namespace {

inline std::int32_t Delta(const std::uint32_t* current, const std::uint32_t* previous,
                          const std::uint32_t* edges, std::uint32_t removedFirst, std::size_t k) {
  return static_cast<std::int32_t>(current[k + 1] - edges[k] - removedFirst + previous[k]);
}

}  // namespace

MIRELOCK_VECTOR_CLONES void TwoOptEvaluator::AugmentedRow(std::uint32_t i, std::uint32_t jLast) {
  const std::uint32_t* __restrict current = augmented_.Row(i) + i + 1;
  const std::uint32_t* __restrict previous = augmented_.Row(i - 1) + i + 1;
  const std::uint32_t* __restrict edges = edgeAugmented_.data() + i + 1;
  const std::uint32_t removedFirst = edgeAugmented_[i - 1];
  const std::size_t count = jLast - i;
  std::int32_t least = kNoValue;
  for (std::size_t k = 0; k < count; ++k)
    least = std::min(least, Delta(current, previous, edges, removedFirst, k));

  if (least < bestMoveValue_) {
    bestMoves_.clear();
    bestMoveValue_ = least;
  }
  if (least == bestMoveValue_) {
    const auto n = static_cast<std::int32_t>(size_);
    for (std::size_t k = 0; k < count; ++k) {
      if (Delta(current, previous, edges, removedFirst, k) == least) {
        const auto j = static_cast<std::int32_t>(i + 1 + k);
        bestMoves_.emplace_back(static_cast<std::int32_t>(i), j, n * static_cast<std::int32_t>(i) + j);
      }
    }
  }
}

MIRELOCK_VECTOR_CLONES void TwoOptEvaluator::AspirationRow(std::uint32_t i, std::uint32_t jLast,
                                                           bool allQualify, std::int32_t threshold) {
  const std::uint32_t* __restrict current = distances_.Row(i) + i + 1;
  const std::uint32_t* __restrict previous = distances_.Row(i - 1) + i + 1;
  const std::uint32_t* __restrict edges = edgeCost_.data() + i + 1;
  const std::uint32_t removedFirst = edgeCost_[i - 1];
  const std::size_t count = jLast - i;
  // The least delta of the row is below the threshold exactly when some delta
  // is, and it is then also the least qualifying one: no masking is needed.
  std::int32_t least = kNoValue;
  for (std::size_t k = 0; k < count; ++k)
    least = std::min(least, Delta(current, previous, edges, removedFirst, k));
  if (count == 0 || !(allQualify || least < threshold)) return;
  if (least < aspirationValue_) {
    aspirationMoves_.clear();
    aspirationValue_ = least;
  }
  if (least != aspirationValue_) return;
  const auto n = static_cast<std::int32_t>(size_);
  for (std::size_t k = 0; k < count; ++k) {
    const std::int32_t value = Delta(current, previous, edges, removedFirst, k);
    if (value == least) {
      const auto j = static_cast<std::int32_t>(i + 1 + k);
      aspirationMoves_.emplace_back(static_cast<std::int32_t>(i), j, n * static_cast<std::int32_t>(i) + j);
    }
  }
}

void TwoOptEvaluator::Evaluate(std::int64_t costThreshold) {
  const std::uint32_t n = size_;
  bestMoves_.clear();
  bestMoveValue_ = kNoValue;
  aspirationMoves_.clear();
  aspirationValue_ = kNoValue;
  if (n < 4) return;

  for (std::uint32_t k = 0; k < n; ++k) edgeAugmented_[k] = augmented_.Row(k)[k + 1];
  // A move qualifies for aspiration when cost + delta < best cost, that is delta < threshold.
  const bool withAspiration = withAspiration_ && costThreshold > std::numeric_limits<std::int32_t>::min();
  const bool allQualify = costThreshold > std::numeric_limits<std::int32_t>::max();
  const auto threshold = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(costThreshold, std::numeric_limits<std::int32_t>::min(), kNoValue));
  if (withAspiration) {
    for (std::uint32_t k = 0; k < n; ++k) edgeCost_[k] = distances_.Row(k)[k + 1];
  }

  for (std::uint32_t i = 1; i + 1 < n; ++i) {
    // j - i <= n - 3 leaves out (1, n - 1).
    const std::uint32_t jLast = std::min(n - 1, i + n - 3);
    AugmentedRow(i, jLast);
    if (withAspiration) AspirationRow(i, jLast, allQualify, threshold);
  }
}

}  // namespace mirelock
