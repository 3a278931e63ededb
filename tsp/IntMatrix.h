#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirelock {

// Square matrix of signed 32-bit integers. The elements live in one row-major
// block rather than a vector per row, so a row is one contiguous run of memory
// and the search's inner loops read it without chasing a pointer per row.
class IntMatrix {
 public:
  IntMatrix() = default;
  IntMatrix(std::size_t size, std::int32_t fill) { Assign(size, fill); }
  virtual ~IntMatrix() = default;

  void Assign(std::size_t size, std::int32_t fill) {
    size_ = size;
    elements_.assign(size * size, fill);
  }

  std::size_t Size() const { return size_; }

  std::int32_t& operator()(std::size_t row, std::size_t column) { return elements_[row * size_ + column]; }
  std::int32_t operator()(std::size_t row, std::size_t column) const {
    return elements_[row * size_ + column];
  }

  std::int32_t* Row(std::size_t row) { return elements_.data() + row * size_; }
  const std::int32_t* Row(std::size_t row) const { return elements_.data() + row * size_; }

 private:
  std::size_t size_ = 0;
  std::vector<std::int32_t> elements_;
};

}  // namespace mirelock
