#include "tsp/PositionOccupancy.h"

namespace mirelock {

void PositionOccupancy::Start(const std::vector<std::int32_t>& tour) {
  size_ = static_cast<std::uint32_t>(tour.size());
  moves_ = 0;
  counts_.assign(static_cast<std::size_t>(size_) * size_, 0);
  lastChange_.assign(size_, 0);
  currentCity_ = tour;
}

void PositionOccupancy::CloseStay(std::uint32_t position) {
  counts_[static_cast<std::size_t>(position) * size_ + static_cast<std::uint32_t>(currentCity_[position])] +=
      moves_ - lastChange_[position];
}

void PositionOccupancy::RecordMove(const std::vector<std::int32_t>& tour, std::uint32_t first,
                                   std::uint32_t last) {
  for (std::uint32_t k = first; k <= last; ++k) CloseStay(k);
  ++moves_;
  for (std::uint32_t k = first; k <= last; ++k) {
    lastChange_[k] = moves_;
    currentCity_[k] = tour[k];
  }
}

void PositionOccupancy::CloseStays() {
  for (std::uint32_t k = 0; k < size_; ++k) {
    CloseStay(k);
    lastChange_[k] = moves_;
  }
}

}  // namespace mirelock
