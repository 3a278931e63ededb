#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tsp/IntMatrix.h"

namespace mirelock {

// A city matrix seen through the tour: element (p, q) is M[tour[p]][tour[q]],
// with one more column, n, repeating column 0 (position 0 never moves, since
// moves reverse positions 1 and up). Rows are reached through pointers, so a
// 2-opt reversal of positions i..j swaps row pointers and reverses i..j inside
// every row: contiguous work that vectorises, instead of gathering a city row
// into tour order for every i of every evaluation.
class PositionMatrix {
 public:
  void Build(const IntMatrix& cities, const std::vector<std::int32_t>& tour);
  void Reverse(std::uint32_t i, std::uint32_t j);
  // Adds a value to the symmetric pair of elements of positions p and q.
  void AddSymmetric(std::uint32_t p, std::uint32_t q, std::int32_t value);

  std::uint32_t Size() const { return size_; }
  const std::uint32_t* Row(std::uint32_t p) const { return rows_[p]; }
  std::int32_t operator()(std::uint32_t p, std::uint32_t q) const {
    return static_cast<std::int32_t>(rows_[p][q]);
  }

 private:
  void Add(std::uint32_t p, std::uint32_t q, std::int32_t value);

  std::uint32_t size_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint32_t> elements_;
  std::vector<std::uint32_t*> rows_;
};

}  // namespace mirelock
