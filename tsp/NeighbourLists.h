#pragma once
#include <cstdint>
#include <vector>

#include "tsp/CityDistances.h"

namespace mirelock {

// The K nearest cities of every city: the K others of least distance, ties
// broken by the smaller city number, nearest first. Planar instances are
// searched through a grid of cells around each city, O(n K) work for evenly
// spread cities; GEO and explicit-matrix instances by a scan of all pairs.
class NeighbourLists {
 public:
  // K must lie in 1 .. n - 1.
  void Build(const CityDistances& distances, std::uint32_t k);

  std::uint32_t K() const { return k_; }
  const std::int32_t* Of(std::int32_t city) const { return cities_.data() + static_cast<std::size_t>(city) * k_; }
  // The distance of each list entry, in the same order.
  const std::int32_t* DistancesOf(std::int32_t city) const {
    return distances_.data() + static_cast<std::size_t>(city) * k_;
  }

 private:
  void BuildByGrid(const CityDistances& distances);
  void BuildByScan(const CityDistances& distances);

  std::uint32_t k_ = 0;
  std::vector<std::int32_t> cities_;
  std::vector<std::int32_t> distances_;
};

}  // namespace mirelock
