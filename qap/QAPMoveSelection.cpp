// Choosing a swap: the pick heuristics, aspiration and random moves.
#include <algorithm>

#include "platform/Random.h"
#include "qap/QAPSearch.h"

namespace mirelock {

template <typename Cost>
Swap QAPSearch<Cost>::Pick(const std::vector<std::uint32_t>& list, int pickType) {
  const std::size_t n = n_;
  auto swapAt = [n](std::uint32_t index) {
    return Swap{static_cast<int>(index / n), static_cast<int>(index % n)};
  };
  if (pickType == QAPParameters::kPickRand) {
    if (list.empty()) return Swap{};
    return swapAt(list[static_cast<std::size_t>(Random()) % list.size()]);
  }
  kept_.clear();
  if (pickType == QAPParameters::kPickHist || pickType == QAPParameters::kPickHistAspiration) {
    // Prefer the swap one of whose new assignments has been absent longest.
    std::int32_t oldest = 2147483647;
    for (std::uint32_t index : list) {
      const Swap swap = swapAt(index);
      const std::int32_t age =
          std::min(recency_[Index(swap.s, perm_[swap.r])], recency_[Index(swap.r, perm_[swap.s])]);
      if (age < oldest) {
        oldest = age;
        kept_.clear();
        kept_.push_back(index);
      } else if (age == oldest) {
        kept_.push_back(index);
      }
    }
    if (kept_.empty()) return Swap{};
  } else {
    const Wide start = kUnsetCost;
    Wide smallest = start;
    for (std::uint32_t index : list) {
      const Wide h = Augmented(index);
      if (h < smallest) {
        smallest = h;
        kept_.clear();
        kept_.push_back(index);
      } else if (h == smallest) {
        kept_.push_back(index);
      }
    }
    if (smallest == start) return Swap{};
  }
  return Pick(kept_, QAPParameters::kPickRand);
}

template <typename Cost>
bool QAPSearch<Cost>::FindAspirationMove(Swap& aspMove) {
  if (!parameters_.IsAspirationPick()) return false;
  // A swap aspires when it would give a cost below the best: delta <= best - cost - 1.
  Wide threshold;
  if (__builtin_sub_overflow(Wide{bestCost_}, Wide{cost_}, &threshold) ||
      __builtin_sub_overflow(threshold, Wide{1}, &threshold))
    threshold =
        Wide{bestCost_} > Wide{cost_} ? std::numeric_limits<Wide>::max() : std::numeric_limits<Wide>::min();

  // The smallest delta over the candidates, then, only when it aspires,
  // every candidate that has it in scan order.
  const std::size_t n = n_;
  const std::size_t firstColumnOffset =
      type_ == QAPProblem::kBlock ? static_cast<std::size_t>(blockSize_) : 0;
  const std::size_t rows = type_ == QAPProblem::kBlock ? static_cast<std::size_t>(blockSize_) : n;
  // The smallest delta is kept up to date by every move.
  const Cost smallest = deltaMin_;
  if (rows == 0 || Wide{smallest} > threshold) return false;
  aspirationKept_.clear();
  for (std::size_t r = 0; r < rows; ++r) {
    const Cost* row = delta_.data() + r * n;
    for (std::size_t s = std::max(r + 1, firstColumnOffset); s < n; ++s)
      if (row[s] == smallest) aspirationKept_.push_back(static_cast<std::uint32_t>(r * n + s));
  }
  if (aspirationKept_.empty()) return false;
  aspMove = Pick(aspirationKept_, QAPParameters::kPickRand);
  const std::size_t index = Index(aspMove.r, aspMove.s);
  if (delta_[index] < 0 && Augmented(index) > 0) stats_.AddOverridingAspiringMove();
  return true;
}

template <typename Cost>
bool QAPSearch<Cost>::RandomMovesPossible() const {
  if (type_ == QAPProblem::kBlock) return blockSize_ > 0 && blockSize_ < static_cast<int>(n_);
  return n_ >= 3;
}

template <typename Cost>
Swap QAPSearch<Cost>::RandomSwap() {
  const int n = static_cast<int>(n_);
  int r = Random() % n;
  int s;
  if (type_ == QAPProblem::kBlock) {
    s = r < blockSize_ ? blockSize_ + Random() % (n - blockSize_) : Random() % blockSize_;
  } else {
    s = (r + 1 + Random() % (n - 2)) % n;
  }
  if (r > s) std::swap(r, s);
  return Swap{r, s};
}

template class QAPSearch<std::int32_t>;
template class QAPSearch<std::int64_t>;

}  // namespace mirelock
