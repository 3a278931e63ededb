#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mirelock {

// A set of variables with constant-time insert and erase: insert appends,
// erase moves the last element into the hole. The order of the elements is
// part of the search's behaviour (ties go to the first), so it follows
// exactly from the sequence of inserts and erases.
class IndexedVariableList {
 public:
  explicit IndexedVariableList(std::string name = "") : name_(std::move(name)) {}

  void Resize(std::size_t variableCount) {
    items_.clear();
    items_.reserve(variableCount);
    position_.assign(variableCount, -1);
  }
  void Clear() {
    for (std::uint32_t v : items_) position_[v] = -1;
    items_.clear();
  }
  void Insert(std::uint32_t v) {
    position_[v] = static_cast<std::int32_t>(items_.size());
    items_.push_back(v);
  }
  void Erase(std::uint32_t v) {
    const std::int32_t hole = position_[v];
    const std::uint32_t last = items_.back();
    items_[static_cast<std::size_t>(hole)] = last;
    position_[last] = hole;
    items_.pop_back();
    position_[v] = -1;
  }
  bool Contains(std::uint32_t v) const { return position_[v] >= 0; }
  std::int32_t PositionOf(std::uint32_t v) const { return position_[v]; }
  bool Empty() const { return items_.empty(); }
  std::size_t Size() const { return items_.size(); }
  std::uint32_t operator[](std::size_t i) const { return items_[i]; }
  const std::uint32_t* begin() const { return items_.data(); }
  const std::uint32_t* end() const { return items_.data() + items_.size(); }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::vector<std::uint32_t> items_;
  std::vector<std::int32_t> position_;
};

}  // namespace mirelock
