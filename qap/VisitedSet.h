#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// A 128-bit fingerprint of a permutation: the XOR of one random key per
// (position, item) assignment, so a swap updates it in O(1).
struct Fingerprint {
  std::uint64_t low = 0, high = 0;
  bool operator==(const Fingerprint&) const = default;
  void Toggle(const Fingerprint& key) {
    low ^= key.low;
    high ^= key.high;
  }
};

// Keys for every (position, item) pair of an n-item problem, from a fixed
// generator of their own so that they never disturb the search's draws.
class FingerprintKeys {
 public:
  void Build(unsigned n);
  const Fingerprint& Key(unsigned position, int item) const {
    return keys_[static_cast<std::size_t>(position) * n_ + static_cast<unsigned>(item)];
  }
  Fingerprint Of(const std::vector<int>& perm) const;

 private:
  unsigned n_ = 0;
  std::vector<Fingerprint> keys_;
};

// The permutations visited in a run, by fingerprint, with their visit counts:
// open addressing over flat arrays, growing by doubling.
class VisitedSet {
 public:
  void Clear();
  // Counts one visit; returns the count after it (1 for a first visit).
  std::uint32_t Visit(const Fingerprint& fingerprint);
  std::size_t Size() const { return size_; }

 private:
  void Grow();

  std::vector<Fingerprint> keys_;
  std::vector<std::uint32_t> counts_;  // 0 marks an empty slot
  std::size_t size_ = 0;
};

}  // namespace mirelock
