#include "tsp/TwoOptEvaluator.h"

#include <algorithm>

namespace mirelock {

void TwoOptEvaluator::Start(const std::vector<std::int32_t>& tour, const IntMatrix& distances,
                            const IntMatrix& augmented, bool withAspiration) {
  size_ = static_cast<std::uint32_t>(tour.size());
  withAspiration_ = withAspiration;
  augmented_.Build(augmented, tour);
  augmentedMinima_.Start(size_);
  if (withAspiration) {
    distances_.Build(distances, tour);
    distanceMinima_.Start(size_);
  }
}

void TwoOptEvaluator::Reverse(std::uint32_t i, std::uint32_t j) {
  augmented_.Reverse(i, j);
  augmentedMinima_.Reversed(i, j);
  if (withAspiration_) {
    distances_.Reverse(i, j);
    distanceMinima_.Reversed(i, j);
  }
}

void TwoOptEvaluator::AddPenalty(std::uint32_t p, std::uint32_t q, std::int32_t value) {
  augmented_.AddSymmetric(p, q, value);
  augmentedMinima_.ElementChanged(p, q);
  augmentedMinima_.ElementChanged(q, p);
}

// With a = tour[i-1], b = tour[i], c = tour[j], d = tour[j+1]: the delta of
// (i, j) is M[b][d] - M[c][d] - M[a][b] + M[a][c]. In tour order M[b][d] is
// row i at column j + 1, M[a][c] row i - 1 at column j, and the other two are
// tour edges. The values are not stored: only the rare blocks whose least
// value is the least of all are computed a second time, to list their moves.
void TwoOptEvaluator::ListMoves(const PositionMatrix& matrix, const TwoOptRowMinima& minima,
                                std::int32_t least, std::vector<TSPMove>& moves) const {
  const auto n = static_cast<std::int32_t>(size_);
  const std::uint32_t* edges = minima.Edges();
  for (std::uint32_t i = 1; i + 1 < size_; ++i) {
    if (minima.RowMinimum(i) != least) continue;
    const std::uint32_t* current = matrix.Row(i);
    const std::uint32_t* previous = matrix.Row(i - 1);
    const std::uint32_t removedFirst = edges[i - 1];
    const std::uint32_t jLast = TwoOptRowMinima::RowEnd(size_, i);
    for (std::uint32_t b = (i + 1) / TwoOptRowMinima::kBlock; b <= jLast / TwoOptRowMinima::kBlock; ++b) {
      if (minima.BlockMinimum(i, b) != least) continue;
      const std::uint32_t from = std::max(b * TwoOptRowMinima::kBlock, i + 1);
      const std::uint32_t to = std::min(b * TwoOptRowMinima::kBlock + TwoOptRowMinima::kBlock - 1, jLast);
      for (std::uint32_t j = from; j <= to; ++j) {
        if (TwoOptRowMinima::MoveValue(current, previous, edges, removedFirst, j) == least)
          moves.emplace_back(static_cast<std::int32_t>(i), static_cast<std::int32_t>(j),
                             n * static_cast<std::int32_t>(i) + static_cast<std::int32_t>(j));
      }
    }
  }
}

namespace {

std::int32_t LeastOfRows(const TwoOptRowMinima& minima, std::uint32_t n) {
  std::int32_t least = TwoOptEvaluator::kNoValue;
  for (std::uint32_t i = 1; i + 1 < n; ++i) least = std::min(least, minima.RowMinimum(i));
  return least;
}

}  // namespace

void TwoOptEvaluator::Evaluate(std::int64_t costThreshold) {
  const std::uint32_t n = size_;
  bestMoves_.clear();
  bestMoveValue_ = kNoValue;
  aspirationMoves_.clear();
  aspirationValue_ = kNoValue;
  if (n < 4) return;

  augmentedMinima_.Update(augmented_);
  bestMoveValue_ = LeastOfRows(augmentedMinima_, n);
  ListMoves(augmented_, augmentedMinima_, bestMoveValue_, bestMoves_);

  // A move qualifies for aspiration when cost + delta < best cost, that is delta < threshold.
  if (!withAspiration_ || costThreshold <= std::numeric_limits<std::int32_t>::min()) return;
  const bool allQualify = costThreshold > std::numeric_limits<std::int32_t>::max();
  const auto threshold = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(costThreshold, std::numeric_limits<std::int32_t>::min(), kNoValue));
  distanceMinima_.Update(distances_);
  // The least value is below the threshold exactly when some value is, and it
  // is then also the least qualifying one.
  const std::int32_t least = LeastOfRows(distanceMinima_, n);
  if (!(allQualify || least < threshold)) return;
  aspirationValue_ = least;
  ListMoves(distances_, distanceMinima_, least, aspirationMoves_);
}

}  // namespace mirelock
