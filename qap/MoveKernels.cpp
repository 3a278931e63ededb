#include "qap/MoveKernels.h"

#include <algorithm>
#include <limits>

// Each kernel gets an AVX2 version beside the baseline one, chosen when the
// program loads (GCC function multiversioning), so the build stays portable.
// Sanitizer builds keep the baseline only: the loader calls the version
// resolver before the sanitizer runtime is set up, which crashes under TSan.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
#define MIRELOCK_QAP_VECTOR_CLONES
#else
#define MIRELOCK_QAP_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif

namespace mirelock::qapkernels {

namespace {

// Branch-free, so that the loop vectorises: 2 + sign(h) gives 1, 2 or 3.
template <typename Cost, typename Aug, typename Increment>
[[gnu::always_inline]] inline Cost Update(const RowUpdate<Cost, Aug>& row, std::size_t begin, std::size_t end,
                                          Increment increment) {
  Cost* delta = row.delta;
  const std::int32_t* penaltyDelta = row.penaltyDelta;
  std::uint8_t* type = row.type;
  const Aug costScale = row.costScale, lambda = row.lambda;
  Cost smallest = std::numeric_limits<Cost>::max();
  for (std::size_t v = begin; v < end; ++v) {
    const Cost updated = delta[v] + increment(v);
    delta[v] = updated;
    smallest = std::min(smallest, updated);
    const Aug h = costScale * static_cast<Aug>(updated) + lambda * static_cast<Aug>(penaltyDelta[v]);
    type[v] = static_cast<std::uint8_t>(2 + (h > 0) - (h < 0));
  }
  return smallest;
}

}  // namespace

#define MIRELOCK_SYMMETRIC(COST, AUG)                                                                       \
  MIRELOCK_QAP_VECTOR_CLONES COST UpdateSymmetric(const RowUpdate<COST, AUG>& row, const COST* x,         \
                                                  const COST* y, COST xu, COST yu, std::size_t begin,       \
                                                  std::size_t end) {                                        \
    return Update(row, begin, end, [=](std::size_t v) { return static_cast<COST>(2 * (xu - x[v]) * (yu - y[v])); }); \
  }
MIRELOCK_SYMMETRIC(std::int32_t, std::int32_t)
MIRELOCK_SYMMETRIC(std::int32_t, std::int64_t)
MIRELOCK_SYMMETRIC(std::int64_t, std::int64_t)

#define MIRELOCK_GENERAL(COST, AUG)                                                                     \
  MIRELOCK_QAP_VECTOR_CLONES COST UpdateGeneral(const RowUpdate<COST, AUG>& row,                      \
                                                const GeneralTerms<COST>& t, std::size_t begin,         \
                                                std::size_t end) {                                      \
    const COST *x = t.x, *y = t.y, *x2 = t.x2, *y2 = t.y2;                                              \
    const COST xu = t.xu, yu = t.yu, x2u = t.x2u, y2u = t.y2u;                                          \
    return Update(row, begin, end, [=](std::size_t v) {                                                        \
      return static_cast<COST>((xu - x[v]) * (yu - y[v]) + (x2u - x2[v]) * (y2u - y2[v]));              \
    });                                                                                                 \
  }
MIRELOCK_GENERAL(std::int32_t, std::int32_t)
MIRELOCK_GENERAL(std::int32_t, std::int64_t)
MIRELOCK_GENERAL(std::int64_t, std::int64_t)

#define MIRELOCK_BLOCK(COST, AUG)                                                                            \
  MIRELOCK_QAP_VECTOR_CLONES COST UpdateBlock(const RowUpdate<COST, AUG>& row, const COST* z, COST zu,       \
                                              std::size_t begin, std::size_t end) {                         \
    return Update(row, begin, end, [=](std::size_t v) { return static_cast<COST>(2 * (z[v] - zu)); });             \
  }
MIRELOCK_BLOCK(std::int32_t, std::int32_t)
MIRELOCK_BLOCK(std::int32_t, std::int64_t)
MIRELOCK_BLOCK(std::int64_t, std::int64_t)

#define MIRELOCK_DOT(COST)                                                                                  \
  MIRELOCK_QAP_VECTOR_CLONES COST DotOfDifferences(const std::int32_t* a1, const std::int32_t* a2,          \
                                                   const std::int32_t* b1, const std::int32_t* b2,          \
                                                   std::size_t n, COST) {                                   \
    COST sum = 0;                                                                                           \
    for (std::size_t k = 0; k < n; ++k)                                                                     \
      sum += (static_cast<COST>(a1[k]) - a2[k]) * (static_cast<COST>(b1[k]) - b2[k]);                       \
    return sum;                                                                                             \
  }                                                                                                         \
  MIRELOCK_QAP_VECTOR_CLONES COST SumOfDifferences(const std::int32_t* b1, const std::int32_t* b2,          \
                                                   std::size_t n, COST) {                                   \
    COST sum = 0;                                                                                           \
    for (std::size_t k = 0; k < n; ++k) sum += static_cast<COST>(b1[k]) - b2[k];                           \
    return sum;                                                                                             \
  }
MIRELOCK_QAP_VECTOR_CLONES std::int64_t DotOfSmallDifferences(const std::int32_t* a1, const std::int32_t* a2,
                                                               const std::int32_t* b1, const std::int32_t* b2,
                                                               std::size_t n) {
  std::int64_t sum = 0;
  for (std::size_t k = 0; k < n; ++k) sum += static_cast<std::int64_t>(a1[k] - a2[k]) * (b1[k] - b2[k]);
  return sum;
}

MIRELOCK_DOT(std::int32_t)
MIRELOCK_DOT(std::int64_t)

}  // namespace mirelock::qapkernels
