#include "qap/MoveLists.h"

namespace mirelock {

void MoveLists::Reset(std::size_t slots) {
  type_.assign(slots, kNone);
  slot_.assign(slots, 0);
  // Capacity for every swap, so that no move ever allocates.
  for (auto& list : lists_) {
    list.clear();
    list.reserve(slots / 2 + 1);
  }
}

}  // namespace mirelock
