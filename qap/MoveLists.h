#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// The candidate swaps sorted by the sign of their augmented delta into three
// lists, each a flat array; every swap knows its list and its slot, so moving
// a swap between lists costs O(1). A swap is identified by r * n + s.
class MoveLists {
 public:
  enum MoveType : std::uint8_t { kNone = 0, kImproving = 1, kSideways = 2, kWorsening = 3 };

  // Forgets every swap; `slots` is n * n.
  void Reset(std::size_t slots);
  // Appends a swap that is in no list yet.
  void Add(std::uint32_t swap, MoveType type) {
    type_[swap] = type;
    slot_[swap] = static_cast<std::uint32_t>(lists_[type].size());
    lists_[type].push_back(swap);
  }
  // Removes the swap from its list (the last entry takes its slot) and appends it to `to`.
  void MoveTo(std::uint32_t swap, MoveType to) {
    std::vector<std::uint32_t>& from = lists_[type_[swap]];
    const std::uint32_t slot = slot_[swap];
    const std::uint32_t last = from.back();
    from[slot] = last;
    slot_[last] = slot;
    from.pop_back();
    Add(swap, to);
  }
  MoveType TypeOf(std::uint32_t swap) const { return static_cast<MoveType>(type_[swap]); }
  const std::vector<std::uint32_t>& List(MoveType type) const { return lists_[type]; }
  std::uint32_t SlotOf(std::uint32_t swap) const { return slot_[swap]; }
  // The list type of every swap, indexed like the swaps.
  const std::uint8_t* Types() const { return type_.data(); }

  static MoveType TypeOfAugmentedDelta(std::int64_t h) {
    return h < 0 ? kImproving : (h == 0 ? kSideways : kWorsening);
  }

 private:
  std::vector<std::uint8_t> type_;
  std::vector<std::uint32_t> slot_;
  std::vector<std::uint32_t> lists_[4];
};

}  // namespace mirelock
