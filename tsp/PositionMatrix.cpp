#include "tsp/PositionMatrix.h"

#include "tsp/VectorClones.h"

#include <algorithm>

namespace mirelock {

void PositionMatrix::Build(const IntMatrix& cities, const std::vector<std::int32_t>& tour) {
  size_ = static_cast<std::uint32_t>(tour.size());
  stride_ = (static_cast<std::size_t>(size_) + 1 + 15) / 16 * 16;  // rows start on 64-byte boundaries
  elements_.assign(stride_ * size_ + 16, 0);
  rows_.resize(size_);
  // Align the first row on 64 bytes within the block.
  const auto address = reinterpret_cast<std::uintptr_t>(elements_.data());
  const std::size_t skip = ((64 - address % 64) % 64) / sizeof(std::uint32_t);
  for (std::uint32_t p = 0; p < size_; ++p) {
    std::uint32_t* row = elements_.data() + skip + p * stride_;
    rows_[p] = row;
    const std::int32_t* cityRow = cities.Row(static_cast<std::size_t>(tour[p]));
    for (std::uint32_t q = 0; q < size_; ++q) row[q] = static_cast<std::uint32_t>(cityRow[tour[q]]);
    row[size_] = row[0];
  }
}

MIRELOCK_VECTOR_CLONES void PositionMatrix::Reverse(std::uint32_t i, std::uint32_t j) {
  for (std::uint32_t p = 0; p < size_; ++p) {
    std::uint32_t* __restrict row = rows_[p];
    std::reverse(row + i, row + j + 1);
  }
  std::reverse(rows_.begin() + i, rows_.begin() + j + 1);
}

void PositionMatrix::Add(std::uint32_t p, std::uint32_t q, std::int32_t value) {
  rows_[p][q] += static_cast<std::uint32_t>(value);
  if (q == 0) rows_[p][size_] += static_cast<std::uint32_t>(value);
}

void PositionMatrix::AddSymmetric(std::uint32_t p, std::uint32_t q, std::int32_t value) {
  Add(p, q, value);
  if (p != q) Add(q, p, value);
}

}  // namespace mirelock
