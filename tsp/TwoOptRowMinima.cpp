#include "tsp/TwoOptRowMinima.h"

#include <cstring>
#include <limits>

#include "tsp/VectorClones.h"

namespace mirelock {

namespace {

constexpr std::int32_t kNoValue = std::numeric_limits<std::int32_t>::max();

// The least value of the moves (i, j), first <= j <= last, of one row.
inline std::int32_t ColumnsMinimum(const std::uint32_t* __restrict current,
                                   const std::uint32_t* __restrict previous,
                                   const std::uint32_t* __restrict edges, std::uint32_t removedFirst,
                                   std::size_t first, std::size_t last) {
  std::int32_t least = kNoValue;
  for (std::size_t k = first; k <= last; ++k)
    least = std::min(least, TwoOptRowMinima::MoveValue(current, previous, edges, removedFirst, k));
  return least;
}

// The same over a whole block, written with the compiler's vector types so
// that every version of Update gets straight-line vector code for it. These
// helpers are always inlined, so the warning that 32-byte vectors are passed
// differently with and without AVX does not concern them.
#pragma GCC diagnostic ignored "-Wpsabi"
using Lanes = std::uint32_t __attribute__((vector_size(32)));
using SignedLanes = std::int32_t __attribute__((vector_size(32)));
static_assert(TwoOptRowMinima::kBlock == 16, "a block is two vectors of eight lanes");

inline __attribute__((always_inline)) Lanes Load(const std::uint32_t* from) {
  Lanes lanes;
  std::memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

inline __attribute__((always_inline)) SignedLanes Min(SignedLanes a, SignedLanes b) { return a < b ? a : b; }

inline __attribute__((always_inline)) std::int32_t BlockValuesMinimum(const std::uint32_t* current,
                                                                      const std::uint32_t* previous,
                                                                      const std::uint32_t* edges,
                                                                      std::uint32_t removedFirst) {
  const Lanes removed = Lanes{} + removedFirst;
  const auto low = reinterpret_cast<SignedLanes>(Load(current + 1) - Load(edges) - removed + Load(previous));
  const auto high =
      reinterpret_cast<SignedLanes>(Load(current + 9) - Load(edges + 8) - removed + Load(previous + 8));
  SignedLanes least = Min(low, high);
  least = Min(least, __builtin_shuffle(least, SignedLanes{4, 5, 6, 7, 0, 1, 2, 3}));
  least = Min(least, __builtin_shuffle(least, SignedLanes{2, 3, 0, 1, 6, 7, 4, 5}));
  least = Min(least, __builtin_shuffle(least, SignedLanes{1, 0, 3, 2, 5, 4, 7, 6}));
  return least[0];
}

}  // namespace

void TwoOptRowMinima::Start(std::uint32_t size) {
  size_ = size;
  blockMinima_.assign(static_cast<std::size_t>(size) * ((size + kBlock - 1) / kBlock), kNoValue);
  rowStamps_.assign(size, 0);
  stamp_ = 0;
  rowMinima_.assign(size, kNoValue);
  edges_.assign(size + 1, 0);
  allStale_ = true;
  staleRows_.clear();
  staleColumns_.clear();
}

void TwoOptRowMinima::Mark(std::vector<Span>& spans, std::uint32_t first, std::uint32_t last) {
  if (allStale_) return;
  if (spans.size() == kMaxSpans) {
    allStale_ = true;
    return;
  }
  spans.emplace_back(first, last);
}

void TwoOptRowMinima::Reversed(std::uint32_t i, std::uint32_t j) {
  Mark(staleRows_, i, j + 1);
  Mark(staleColumns_, i - 1, j);
}

void TwoOptRowMinima::ElementChanged(std::uint32_t p, std::uint32_t q) {
  if (q == 0) q = size_;  // column 0 itself is never read, its copy in column n is
  // Below the diagonal, no value reads the element.
  if (q <= p) return;
  // Row p reads it in column q - 1, row p + 1 in column q.
  Mark(staleColumns_, q - 1, q);
  // An edge is also the removed edge of every value of row p + 1.
  if (q == p + 1) Mark(staleRows_, p + 1, p + 1);
}

void TwoOptRowMinima::ComputeRow(const PositionMatrix& matrix, std::uint32_t i) {
  const std::uint32_t* current = matrix.Row(i);
  const std::uint32_t* previous = matrix.Row(i - 1);
  const std::uint32_t* edges = edges_.data();
  const std::uint32_t removedFirst = edges_[i - 1];
  const std::uint32_t first = i + 1;
  const std::uint32_t last = RowEnd(size_, i);
  std::int32_t* blocks = blockMinima_.data() + i;
  const std::size_t stride = size_;
  const std::uint32_t firstBlock = first / kBlock;
  const std::uint32_t lastBlock = last / kBlock;
  if (firstBlock == lastBlock) {
    rowMinima_[i] = blocks[firstBlock * stride] =
        ColumnsMinimum(current, previous, edges, removedFirst, first, last);
    return;
  }
  std::int32_t least =
      ColumnsMinimum(current, previous, edges, removedFirst, first, firstBlock * kBlock + kBlock - 1);
  blocks[firstBlock * stride] = least;
  for (std::uint32_t b = firstBlock + 1; b < lastBlock; ++b) {
    const std::size_t start = static_cast<std::size_t>(b) * kBlock;
    const std::int32_t value =
        BlockValuesMinimum(current + start, previous + start, edges + start, removedFirst);
    blocks[b * stride] = value;
    least = std::min(least, value);
  }
  const std::int32_t tail = ColumnsMinimum(current, previous, edges, removedFirst, lastBlock * kBlock, last);
  blocks[lastBlock * stride] = tail;
  rowMinima_[i] = std::min(least, tail);
}

void TwoOptRowMinima::ComputeColumns(const PositionMatrix& matrix, std::uint32_t i, std::uint32_t first,
                                     std::uint32_t last) {
  const std::uint32_t rowFirst = i + 1;
  const std::uint32_t rowLast = RowEnd(size_, i);
  first = std::max(first, rowFirst);
  last = std::min(last, rowLast);
  if (first > last) return;
  const std::uint32_t* current = matrix.Row(i);
  const std::uint32_t* previous = matrix.Row(i - 1);
  const std::uint32_t removedFirst = edges_[i - 1];
  std::int32_t* blocks = blockMinima_.data() + i;
  const std::size_t stride = size_;
  // The row's least value only has to be looked for again among all its
  // blocks when a block that held it now holds more.
  const std::int32_t previousLeast = rowMinima_[i];
  std::int32_t least = previousLeast;
  bool lost = false;
  for (std::uint32_t b = first / kBlock; b <= last / kBlock; ++b) {
    const std::uint32_t from = std::max(b * kBlock, rowFirst);
    const std::uint32_t to = std::min(b * kBlock + kBlock - 1, rowLast);
    const std::int32_t value =
        from == b * kBlock && to == from + kBlock - 1
            ? BlockValuesMinimum(current + from, previous + from, edges_.data() + from, removedFirst)
            : ColumnsMinimum(current, previous, edges_.data(), removedFirst, from, to);
    lost |= blocks[b * stride] == previousLeast && value > previousLeast;
    blocks[b * stride] = value;
    least = std::min(least, value);
  }
  if (!lost) {
    rowMinima_[i] = least;
    return;
  }
  least = kNoValue;
  for (std::uint32_t b = rowFirst / kBlock; b <= rowLast / kBlock; ++b)
    least = std::min(least, blocks[b * stride]);
  rowMinima_[i] = least;
}

// The one entry point with vector versions: the work it calls is inlined into each.
MIRELOCK_VECTOR_CLONES void TwoOptRowMinima::Update(const PositionMatrix& matrix) {
  const std::uint32_t n = size_;
  if (n >= 4) {
    if (allStale_) {
      for (std::uint32_t k = 0; k < n; ++k) edges_[k] = matrix.Row(k)[k + 1];
      for (std::uint32_t i = 1; i + 1 < n; ++i) ComputeRow(matrix, i);
    } else {
      for (const auto& [first, last] : staleColumns_) {
        for (std::uint32_t k = first; k <= std::min(last, n - 1); ++k) edges_[k] = matrix.Row(k)[k + 1];
      }
      // Whole rows first; the column spans then skip them.
      ++stamp_;
      for (const auto& [first, last] : staleRows_) {
        for (std::uint32_t i = std::max(first, 1u); i <= std::min(last, n - 2); ++i) {
          ComputeRow(matrix, i);
          rowStamps_[i] = stamp_;
        }
      }
      // Row i holds columns i + 1 and up, so only rows before a span's last column hold any of it.
      for (const auto& [first, last] : staleColumns_) {
        for (std::uint32_t i = 1; i + 1 <= last && i <= n - 2; ++i) {
          if (rowStamps_[i] != stamp_) ComputeColumns(matrix, i, first, last);
        }
      }
    }
  }
  allStale_ = false;
  staleRows_.clear();
  staleColumns_.clear();
}

}  // namespace mirelock
