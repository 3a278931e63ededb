#pragma once
#include <cstdint>
#include <utility>
#include <vector>

namespace mirelock {

// The penalties of the edges penalised so far, without an n x n table: each
// city keeps a short list of (other city, penalty) for its penalised edges.
// GLS penalises a few edges per local minimum, so the lists stay short and a
// look-up scans a handful of contiguous entries.
class EdgePenalties {
 public:
  void Reset(std::uint32_t cities);

  std::int32_t Of(std::int32_t a, std::int32_t b) const {
    for (const Entry& entry : lists_[static_cast<std::size_t>(a)])
      if (entry.other == b) return entry.penalty;
    return 0;
  }
  void Add(std::int32_t a, std::int32_t b, std::int32_t amount);
  // Penalised edges so far (each counted once).
  std::size_t EdgeCount() const { return edges_; }

 private:
  struct Entry {
    std::int32_t other;
    std::int32_t penalty;
  };
  void AddTo(std::int32_t from, std::int32_t to, std::int32_t amount);

  std::vector<std::vector<Entry>> lists_;
  std::size_t edges_ = 0;
};

}  // namespace mirelock
