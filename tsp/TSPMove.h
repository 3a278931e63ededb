#pragma once
#include <cstdint>

namespace mirelock {

// A 2-opt move: reverse the tour between positions i and j (i < j) inclusive.
// The key is n * i + j for a move taken from the evaluated neighbourhood and -1
// for a random move.
class TSPMove {
 public:
  static constexpr std::int32_t kRandomKey = -1;

  TSPMove() = default;
  TSPMove(std::int32_t i, std::int32_t j, std::int32_t key) : i(i), j(j), key(key) {}
  virtual ~TSPMove() = default;

  bool SamePositions(const TSPMove& other) const { return i == other.i && j == other.j; }

  std::int32_t i = 0;
  std::int32_t j = 0;
  std::int32_t key = kRandomKey;
};

}  // namespace mirelock
