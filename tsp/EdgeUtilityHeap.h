#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

namespace mirelock {

// The tour's edges by GLS utility, greatest on top, so that a penalisation
// finds the edges of greatest utility without scanning the whole tour. An
// entry records the penalty its utility was computed with; entries of edges
// that left the tour or were penalised since are stale and are dropped when
// they reach the top. The owner pushes every edge a move adds and every edge
// it penalises, so each tour edge always has one current entry.
class EdgeUtilityHeap {
 public:
  struct Entry {
    double utility;
    std::int32_t a;
    std::int32_t b;
    std::int32_t penalty;
  };

  void Clear() { entries_.clear(); }
  bool Empty() const { return entries_.empty(); }
  std::size_t Size() const { return entries_.size(); }
  const Entry& Top() const { return entries_.front(); }
  void Push(const Entry& entry) {
    entries_.push_back(entry);
    std::push_heap(entries_.begin(), entries_.end(), Less);
  }
  void Pop() {
    std::pop_heap(entries_.begin(), entries_.end(), Less);
    entries_.pop_back();
  }
  // Replaces the contents at once, in linear time.
  void Assign(std::vector<Entry>&& entries) {
    entries_ = std::move(entries);
    std::make_heap(entries_.begin(), entries_.end(), Less);
  }

 private:
  static bool Less(const Entry& x, const Entry& y) { return x.utility < y.utility; }
  std::vector<Entry> entries_;
};

}  // namespace mirelock
