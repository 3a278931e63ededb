#pragma once
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "tsp/PositionMatrix.h"

namespace mirelock {

// The least 2-opt value of every row i of the neighbourhood (the moves (i, j)
// for i < j <= RowEnd(i)), kept from one evaluation to the next for one
// position matrix.
//
// The value of (i, j) reads the matrix at (i, j + 1) and (i - 1, j) and the tour
// edges (j, j + 1) and (i - 1, i). A reversal of positions a..b changes the
// whole rows a..b + 1 but, in every row before a, only the values of columns
// a - 1..b; the rows after b + 1 keep all their values. Most reversals are
// short, so each row keeps the minima of blocks of kBlock columns and only the
// blocks a change reaches are computed again: a move costs about n times the
// segment length instead of n^2 / 2.
class TwoOptRowMinima {
 public:
  static constexpr std::uint32_t kBlock = 16;

  // The last j of row i: j - i <= n - 3 leaves out (1, n - 1).
  static std::uint32_t RowEnd(std::uint32_t n, std::uint32_t i) { return std::min(n - 1, i + n - 3); }
  // The value of move (i, j): current is row i of the matrix, previous row
  // i - 1, edges[k] the element (k, k + 1) and removedFirst the edge (i - 1, i).
  // Arithmetic wraps modulo 2^32, as 32-bit values do.
  static std::int32_t MoveValue(const std::uint32_t* current, const std::uint32_t* previous,
                                const std::uint32_t* edges, std::uint32_t removedFirst, std::size_t j) {
    return static_cast<std::int32_t>(current[j + 1] - edges[j] - removedFirst + previous[j]);
  }

  // Forgets every minimum: the next update computes them all.
  void Start(std::uint32_t size);
  // The matrix reversed positions i..j.
  void Reversed(std::uint32_t i, std::uint32_t j);
  // The matrix element (p, q) changed (q = 0 stands for its copy in column n).
  void ElementChanged(std::uint32_t p, std::uint32_t q);
  // Brings the minima and the edge array up to date with the matrix.
  void Update(const PositionMatrix& matrix);

  std::int32_t RowMinimum(std::uint32_t i) const { return rowMinima_[i]; }
  // The least value of row i among columns b * kBlock..b * kBlock + kBlock - 1.
  std::int32_t BlockMinimum(std::uint32_t i, std::uint32_t b) const {
    return blockMinima_[static_cast<std::size_t>(b) * size_ + i];
  }
  // edges[k] is the matrix element (k, k + 1).
  const std::uint32_t* Edges() const { return edges_.data(); }

 private:
  using Span = std::pair<std::uint32_t, std::uint32_t>;  // inclusive bounds
  static constexpr std::size_t kMaxSpans = 8;            // past that, everything is computed again

  void Mark(std::vector<Span>& spans, std::uint32_t first, std::uint32_t last);
  // Inlined into Update, so that they share its vector versions.
  inline __attribute__((always_inline)) void ComputeRow(const PositionMatrix& matrix, std::uint32_t i);
  // Computes the blocks of row i that hold columns first..last.
  inline __attribute__((always_inline)) void ComputeColumns(const PositionMatrix& matrix, std::uint32_t i,
                                                            std::uint32_t first, std::uint32_t last);

  std::uint32_t size_ = 0;
  bool allStale_ = true;
  std::vector<Span> staleRows_;     // rows whose every value may have changed
  std::vector<Span> staleColumns_;  // columns j whose values may have changed in every row
  // The least value of block b of row i at b * size + i: a span of columns
  // touches a few blocks of many rows, which then lie side by side.
  std::vector<std::int32_t> blockMinima_;
  std::vector<std::uint64_t> rowStamps_;  // stamp_ when the row was computed whole in this update
  std::uint64_t stamp_ = 0;
  std::vector<std::int32_t> rowMinima_;
  std::vector<std::uint32_t> edges_;
};

}  // namespace mirelock
