#include "qap/VisitedSet.h"

#include <algorithm>

namespace mirelock {

namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

constexpr std::size_t kInitialCapacity = 1024;

}  // namespace

void FingerprintKeys::Build(unsigned n) {
  if (n == n_ && !keys_.empty()) return;
  n_ = n;
  keys_.resize(static_cast<std::size_t>(n) * n);
  std::uint64_t state = 0x6d69726c6f636bull;
  for (Fingerprint& key : keys_) {
    key.low = SplitMix64(state);
    key.high = SplitMix64(state);
  }
}

Fingerprint FingerprintKeys::Of(const std::vector<int>& perm) const {
  Fingerprint f;
  for (unsigned i = 0; i < perm.size(); ++i) f.Toggle(Key(i, perm[i]));
  return f;
}

void VisitedSet::Clear() {
  if (keys_.empty()) {
    keys_.resize(kInitialCapacity);
    counts_.assign(kInitialCapacity, 0);
  } else {
    std::fill(counts_.begin(), counts_.end(), 0);
  }
  size_ = 0;
}

std::uint32_t VisitedSet::Visit(const Fingerprint& fingerprint) {
  if (keys_.empty()) Clear();
  const std::size_t mask = keys_.size() - 1;
  std::size_t slot = static_cast<std::size_t>(fingerprint.low) & mask;
  while (counts_[slot] != 0) {
    if (keys_[slot] == fingerprint) return ++counts_[slot];
    slot = (slot + 1) & mask;
  }
  keys_[slot] = fingerprint;
  counts_[slot] = 1;
  if (++size_ * 2 > keys_.size()) Grow();
  return 1;
}

void VisitedSet::Grow() {
  std::vector<Fingerprint> oldKeys(keys_.size() * 2);
  std::vector<std::uint32_t> oldCounts(counts_.size() * 2, 0);
  oldKeys.swap(keys_);
  oldCounts.swap(counts_);
  const std::size_t mask = keys_.size() - 1;
  for (std::size_t i = 0; i < oldKeys.size(); ++i) {
    if (oldCounts[i] == 0) continue;
    std::size_t slot = static_cast<std::size_t>(oldKeys[i].low) & mask;
    while (counts_[slot] != 0) slot = (slot + 1) & mask;
    keys_[slot] = oldKeys[i];
    counts_[slot] = oldCounts[i];
  }
}

}  // namespace mirelock
