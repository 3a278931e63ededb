#include "tsp/TwoOptEvaluator.h"

#include <algorithm>

namespace mirelock {

void TwoOptEvaluator::Resize(std::uint32_t size) {
  size_ = size;
  for (auto* buffer : {&extendedTour_, &edgeAugmented_, &edgeCost_, &previousAugmented_, &currentAugmented_,
                       &previousCost_, &currentCost_}) {
    buffer->assign(size + 1, 0);
  }
}

__attribute__((target_clones("avx2", "default"))) void TwoOptEvaluator::GatherRow(
    const std::int32_t* matrixRow, std::uint32_t first, std::uint32_t last, std::uint32_t* into) const {
  const std::uint32_t* __restrict tour = extendedTour_.data() + first;
  std::uint32_t* __restrict out = into + first;
  const std::size_t count = last + 1 - first;
  for (std::size_t k = 0; k < count; ++k) out[k] = static_cast<std::uint32_t>(matrixRow[tour[k]]);
}

// With a = tour[i-1], b = tour[i], c = tour[j], d = tour[j+1]: the delta of
// (i, j) is M[b][d] - M[c][d] - M[a][b] + M[a][c]. M[b][d] is the gathered row
// of b at j + 1, M[a][c] the gathered row of a (the previous i) at j, and the
// other two are tour edges. The row's values are not stored: only the rare
// row that holds the least value is computed a second time, to list its moves.
namespace {

inline std::int32_t Delta(const std::uint32_t* current, const std::uint32_t* previous,
                          const std::uint32_t* edges, std::uint32_t removedFirst, std::size_t k) {
  return static_cast<std::int32_t>(current[k + 1] - edges[k] - removedFirst + previous[k]);
}

}  // namespace

__attribute__((target_clones("avx2", "default"))) std::int32_t TwoOptEvaluator::AugmentedRow(
    std::uint32_t i, std::uint32_t jLast) {
  const std::uint32_t* __restrict current = currentAugmented_.data() + i + 1;
  const std::uint32_t* __restrict previous = previousAugmented_.data() + i + 1;
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
  return least;
}

__attribute__((target_clones("avx2", "default"))) void TwoOptEvaluator::AspirationRow(
    std::uint32_t i, std::uint32_t jLast, bool allQualify, std::int32_t threshold) {
  const std::uint32_t* __restrict current = currentCost_.data() + i + 1;
  const std::uint32_t* __restrict previous = previousCost_.data() + i + 1;
  const std::uint32_t* __restrict edges = edgeCost_.data() + i + 1;
  const std::uint32_t removedFirst = edgeCost_[i - 1];
  const std::size_t count = jLast - i;
  // A qualifying delta lies below the threshold, itself at most kNoValue, so
  // the masked least is kNoValue exactly when no move of the row qualifies.
  std::int32_t least = kNoValue;
  if (allQualify) {
    for (std::size_t k = 0; k < count; ++k) {
      least = std::min(least, Delta(current, previous, edges, removedFirst, k));
    }
    if (count == 0) return;
  } else {
    for (std::size_t k = 0; k < count; ++k) {
      const std::int32_t value = Delta(current, previous, edges, removedFirst, k);
      least = std::min(least, value < threshold ? value : kNoValue);
    }
    if (least == kNoValue) return;
  }
  if (least < aspirationValue_) {
    aspirationMoves_.clear();
    aspirationValue_ = least;
  }
  if (least != aspirationValue_) return;
  const auto n = static_cast<std::int32_t>(size_);
  for (std::size_t k = 0; k < count; ++k) {
    const std::int32_t value = Delta(current, previous, edges, removedFirst, k);
    if (value == least && (allQualify || value < threshold)) {
      const auto j = static_cast<std::int32_t>(i + 1 + k);
      aspirationMoves_.emplace_back(static_cast<std::int32_t>(i), j, n * static_cast<std::int32_t>(i) + j);
    }
  }
}

void TwoOptEvaluator::Evaluate(const std::vector<std::int32_t>& tour, const IntMatrix& distances,
                               const IntMatrix& augmented, bool withAspiration, std::int64_t costThreshold) {
  const std::uint32_t n = size_;
  bestMoves_.clear();
  bestMoveValue_ = kNoValue;
  aspirationMoves_.clear();
  aspirationValue_ = kNoValue;
  if (n < 4) return;

  std::uint32_t* extended = extendedTour_.data();
  for (std::uint32_t k = 0; k < n; ++k) extended[k] = static_cast<std::uint32_t>(tour[k]);
  extended[n] = extended[0];
  for (std::uint32_t k = 0; k < n; ++k) {
    edgeAugmented_[k] = static_cast<std::uint32_t>(augmented(extended[k], extended[k + 1]));
  }

  // A move qualifies for aspiration when cost + delta < best cost, that is delta < threshold.
  withAspiration = withAspiration && costThreshold > std::numeric_limits<std::int32_t>::min();
  const bool allQualify = costThreshold > std::numeric_limits<std::int32_t>::max();
  const auto threshold = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(costThreshold, std::numeric_limits<std::int32_t>::min(), kNoValue));
  if (withAspiration) {
    for (std::uint32_t k = 0; k < n; ++k) {
      edgeCost_[k] = static_cast<std::uint32_t>(distances(extended[k], extended[k + 1]));
    }
    GatherRow(distances.Row(extended[0]), 2, n, previousCost_.data());
  }
  GatherRow(augmented.Row(extended[0]), 2, n, previousAugmented_.data());

  for (std::uint32_t i = 1; i + 1 < n; ++i) {
    // j - i <= n - 3 leaves out (1, n - 1).
    const std::uint32_t jLast = std::min(n - 1, i + n - 3);
    GatherRow(augmented.Row(extended[i]), i + 2, jLast + 1, currentAugmented_.data());
    AugmentedRow(i, jLast);
    std::swap(previousAugmented_, currentAugmented_);

    if (withAspiration) {
      GatherRow(distances.Row(extended[i]), i + 2, jLast + 1, currentCost_.data());
      AspirationRow(i, jLast, allQualify, threshold);
      std::swap(previousCost_, currentCost_);
    }
  }
}

}  // namespace mirelock
