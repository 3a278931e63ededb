#pragma once
#include <cstddef>
#include <cstdint>

// The inner loops of a QAP move, over contiguous rows so that they vectorise:
// the constant-time update of one row of swap deltas fused with the list type
// of every updated swap, and the full delta of one swap as a dot product of
// rows. Rows of the distance matrix come permuted (row i, column k holds
// B[p(i)][p(k)]), so no loop gathers through the permutation.
//
// Cost is the integer type of costs and deltas; Aug the type in which the
// augmented delta costScale * delta + lambda * penaltyDelta is formed (32 bits
// wherever the search has shown that it cannot overflow them). The list type
// written is 1 for a negative augmented delta, 2 for zero and 3 for positive;
// the update returns the smallest updated delta, for the aspiration test.
namespace mirelock::qapkernels {

template <typename Cost, typename Aug>
struct RowUpdate {
  Cost* delta;                     // the row's deltas, updated in place
  const std::int32_t* penaltyDelta;  // the row's penalty deltas
  std::uint8_t* type;              // receives the new list types
  Aug costScale, lambda;
};

// delta[v] += 2 (xu - x[v]) (yu - y[v]) for v in [begin, end).
std::int32_t UpdateSymmetric(const RowUpdate<std::int32_t, std::int32_t>& row, const std::int32_t* x, const std::int32_t* y,
                     std::int32_t xu, std::int32_t yu, std::size_t begin, std::size_t end);
std::int32_t UpdateSymmetric(const RowUpdate<std::int32_t, std::int64_t>& row, const std::int32_t* x, const std::int32_t* y,
                     std::int32_t xu, std::int32_t yu, std::size_t begin, std::size_t end);
std::int64_t UpdateSymmetric(const RowUpdate<std::int64_t, std::int64_t>& row, const std::int64_t* x, const std::int64_t* y,
                     std::int64_t xu, std::int64_t yu, std::size_t begin, std::size_t end);

// delta[v] += (xu - x[v]) (yu - y[v]) + (x2u - x2[v]) (y2u - y2[v]).
template <typename Cost>
struct GeneralTerms {
  const Cost *x, *y, *x2, *y2;
  Cost xu, yu, x2u, y2u;
};
std::int32_t UpdateGeneral(const RowUpdate<std::int32_t, std::int32_t>& row, const GeneralTerms<std::int32_t>& t,
                   std::size_t begin, std::size_t end);
std::int32_t UpdateGeneral(const RowUpdate<std::int32_t, std::int64_t>& row, const GeneralTerms<std::int32_t>& t,
                   std::size_t begin, std::size_t end);
std::int64_t UpdateGeneral(const RowUpdate<std::int64_t, std::int64_t>& row, const GeneralTerms<std::int64_t>& t,
                   std::size_t begin, std::size_t end);

// delta[v] += 2 (z[v] - zu).
std::int32_t UpdateBlock(const RowUpdate<std::int32_t, std::int32_t>& row, const std::int32_t* z, std::int32_t zu,
                 std::size_t begin, std::size_t end);
std::int32_t UpdateBlock(const RowUpdate<std::int32_t, std::int64_t>& row, const std::int32_t* z, std::int32_t zu,
                 std::size_t begin, std::size_t end);
std::int64_t UpdateBlock(const RowUpdate<std::int64_t, std::int64_t>& row, const std::int64_t* z, std::int64_t zu,
                 std::size_t begin, std::size_t end);

// Sum over k < n of (a1[k] - a2[k]) (b1[k] - b2[k]), in Cost arithmetic.
std::int32_t DotOfDifferences(const std::int32_t* a1, const std::int32_t* a2, const std::int32_t* b1,
                              const std::int32_t* b2, std::size_t n, std::int32_t);
std::int64_t DotOfDifferences(const std::int32_t* a1, const std::int32_t* a2, const std::int32_t* b1,
                              const std::int32_t* b2, std::size_t n, std::int64_t);
// The same in 64 bits for entries below 2^30, whose differences fit 32 bits:
// the products are then single widening multiplications.
std::int64_t DotOfSmallDifferences(const std::int32_t* a1, const std::int32_t* a2, const std::int32_t* b1,
                                   const std::int32_t* b2, std::size_t n);
// Sum over k < n of (b1[k] - b2[k]).
std::int32_t SumOfDifferences(const std::int32_t* b1, const std::int32_t* b2, std::size_t n, std::int32_t);
std::int64_t SumOfDifferences(const std::int32_t* b1, const std::int32_t* b2, std::size_t n, std::int64_t);

}  // namespace mirelock::qapkernels
