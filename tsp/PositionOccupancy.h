#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// For every tour position, how many moves each city stood there during a run.
// A position's count is only brought up to date when its city changes (or at
// the end of the run), so a move costs time in the positions it changed only.
class PositionOccupancy {
 public:
  // Starts a run at the given tour: all counts zero, every stay open from move 0.
  void Start(const std::vector<std::int32_t>& tour);
  // After a move that changed positions first..last of the tour.
  void RecordMove(const std::vector<std::int32_t>& tour, std::uint32_t first, std::uint32_t last);
  // Adds the open stays to the counts; call once, when the run ends.
  void CloseStays();

  std::uint32_t Moves() const { return moves_; }
  std::uint32_t Size() const { return size_; }
  std::uint32_t Count(std::uint32_t position, std::uint32_t city) const {
    return counts_[static_cast<std::size_t>(position) * size_ + city];
  }

 private:
  void CloseStay(std::uint32_t position);

  std::uint32_t size_ = 0;
  std::uint32_t moves_ = 0;
  std::vector<std::uint32_t> counts_;      // size_ rows of size_ counts
  std::vector<std::uint32_t> lastChange_;  // move at which each position last changed
  std::vector<std::int32_t> currentCity_;
};

}  // namespace mirelock
