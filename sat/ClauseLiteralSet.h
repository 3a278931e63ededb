#pragma once
#include <unordered_set>
#include <vector>

namespace mirelock {

// The signed literal values read so far in one clause, for the duplicate and
// complementary tests of the readers. Short clauses are scanned; long ones
// switch to a hash set so that a hostile clause of a million literals does
// not take quadratic time.
class ClauseLiteralSet {
 public:
  void Clear() {
    values_.clear();
    hashed_.clear();
  }
  bool Contains(long long value) const {
    if (!hashed_.empty()) return hashed_.count(value) != 0;
    for (long long seen : values_)
      if (seen == value) return true;
    return false;
  }
  void Insert(long long value) {
    values_.push_back(value);
    if (!hashed_.empty()) {
      hashed_.insert(value);
    } else if (values_.size() > kScanLimit) {
      hashed_.insert(values_.begin(), values_.end());
    }
  }

 private:
  static constexpr std::size_t kScanLimit = 64;
  std::vector<long long> values_;
  std::unordered_set<long long> hashed_;
};

}  // namespace mirelock
