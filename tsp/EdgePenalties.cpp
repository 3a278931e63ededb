#include "tsp/EdgePenalties.h"

namespace mirelock {

void EdgePenalties::Reset(std::uint32_t cities) {
  // Keeps each list's capacity across runs: a run penalises much the same edges.
  if (lists_.size() != cities) lists_.assign(cities, {});
  for (std::vector<Entry>& list : lists_) list.clear();
  edges_ = 0;
}

void EdgePenalties::Add(std::int32_t a, std::int32_t b, std::int32_t amount) {
  if (Of(a, b) == 0) ++edges_;
  AddTo(a, b, amount);
  AddTo(b, a, amount);
}

void EdgePenalties::AddTo(std::int32_t from, std::int32_t to, std::int32_t amount) {
  for (Entry& entry : lists_[static_cast<std::size_t>(from)]) {
    if (entry.other == to) {
      entry.penalty = static_cast<std::int32_t>(static_cast<std::uint32_t>(entry.penalty) +
                                                static_cast<std::uint32_t>(amount));
      return;
    }
  }
  lists_[static_cast<std::size_t>(from)].push_back({to, amount});
}

}  // namespace mirelock
