#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// A tour as an array of cities with the position of every city, so that the
// successor and predecessor of a city are found in constant time. A 2-opt
// move reverses the shorter of the two paths it reconnects; the tour as a
// cycle is the same either way, only its orientation and rotation differ.
class ArrayTour {
 public:
  void Assign(const std::vector<std::int32_t>& cities);

  std::uint32_t Size() const { return n_; }
  const std::vector<std::int32_t>& Cities() const { return cities_; }
  std::int32_t At(std::uint32_t position) const { return cities_[position]; }
  std::uint32_t PositionOf(std::int32_t city) const { return positions_[static_cast<std::size_t>(city)]; }
  std::int32_t Next(std::int32_t city) const {
    const std::uint32_t p = PositionOf(city) + 1;
    return cities_[p == n_ ? 0 : p];
  }
  std::int32_t Previous(std::int32_t city) const {
    const std::uint32_t p = PositionOf(city);
    return cities_[p == 0 ? n_ - 1 : p - 1];
  }

  // The 2-opt move that removes the edges (a, Next(a)) and (c, Next(c)) and
  // adds (a, c) and (Next(a), Next(c)): the path Next(a) .. c is reversed, or
  // the path Next(c) .. a when that one is shorter (ties: the first). Returns
  // the number of cities that moved.
  std::uint32_t TwoOptMove(std::int32_t a, std::int32_t c);

 private:
  // Reverses the `length` cities from position `first` on, wrapping around the end.
  void ReversePath(std::uint32_t first, std::uint32_t length);

  std::uint32_t n_ = 0;
  std::vector<std::int32_t> cities_;
  std::vector<std::uint32_t> positions_;
};

}  // namespace mirelock
