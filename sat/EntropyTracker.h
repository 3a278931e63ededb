#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

// How evenly each variable's time was spread over its two values during a
// run, in bits: 0 for a variable that never changed, 1 for one that spent
// equal time at both values. Time is counted in recorded repairs.
class EntropyTracker {
 public:
  struct Summary {
    double average = 0.0;
    double deviation = 0.0;
    double minimum = 1.0;
    double maximum = 0.0;
  };

  void Start(const std::uint8_t* values, std::size_t count);
  // Variable `variable` changes value at repair `now`.
  void RecordChange(std::uint32_t variable, std::uint64_t now) {
    Counts& counts = counts_[variable];
    counts.atValue[counts.current] += now - counts.lastChange;
    counts.lastChange = now;
    counts.current ^= 1;
  }
  // The summary after `repairs` recorded repairs; the initial values when there were none.
  Summary Summarise(std::uint64_t repairs) const;

 private:
  struct Counts {
    std::uint64_t atValue[2] = {0, 0};
    std::uint64_t lastChange = 0;
    std::uint8_t current = 0;
  };
  std::vector<Counts> counts_;
};

}  // namespace mirelock
