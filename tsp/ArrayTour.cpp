#include "tsp/ArrayTour.h"

#include <algorithm>

namespace mirelock {

void ArrayTour::Assign(const std::vector<std::int32_t>& cities) {
  n_ = static_cast<std::uint32_t>(cities.size());
  cities_ = cities;
  positions_.assign(n_, 0);
  for (std::uint32_t p = 0; p < n_; ++p) positions_[static_cast<std::size_t>(cities_[p])] = p;
}

std::uint32_t ArrayTour::TwoOptMove(std::int32_t a, std::int32_t c) {
  const std::uint32_t first = PositionOf(a) + 1 == n_ ? 0 : PositionOf(a) + 1;  // position of Next(a)
  const std::uint32_t last = PositionOf(c);
  const std::uint32_t inner = (last + n_ - first) % n_ + 1;  // cities Next(a) .. c
  if (2 * inner <= n_) {
    ReversePath(first, inner);
    return inner;
  }
  ReversePath(last + 1 == n_ ? 0 : last + 1, n_ - inner);  // Next(c) .. a
  return n_ - inner;
}

void ArrayTour::ReversePath(std::uint32_t first, std::uint32_t length) {
  if (first + length <= n_) {
    // No wrap, the common case: two simple loops (a reversal that the compiler
    // vectorises, then the positions) run faster than one that does both.
    std::int32_t* path = cities_.data() + first;
    std::reverse(path, path + length);
    std::uint32_t* positions = positions_.data();
    for (std::uint32_t p = first; p < first + length; ++p) positions[cities_[p]] = p;
    return;
  }
  std::uint32_t i = first;
  std::uint32_t j = first + length - 1;
  if (j >= n_) j -= n_;
  for (std::uint32_t step = 0; step < length / 2; ++step) {
    const std::int32_t ci = cities_[i];
    const std::int32_t cj = cities_[j];
    cities_[i] = cj;
    cities_[j] = ci;
    positions_[static_cast<std::size_t>(cj)] = i;
    positions_[static_cast<std::size_t>(ci)] = j;
    i = i + 1 == n_ ? 0 : i + 1;
    j = j == 0 ? n_ - 1 : j - 1;
  }
}

}  // namespace mirelock
