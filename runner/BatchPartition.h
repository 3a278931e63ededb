#pragma once
#include <cstddef>
#include <string>

namespace mirelock {

// How a batch run divides its work. A batch is the list of (problem,
// experiment) pairs in natural order: problems as discovery lists them, and
// for each problem the experiments in list order; pair i is problem i / E with
// experiment i % E. One process takes the pairs whose index is `shardIndex`
// modulo `shardCount`, so that N processes given 0/N ... (N-1)/N, possibly on
// different machines sharing the results directory, cover the batch exactly
// once. Inside a process, `jobs` workers take those pairs from one queue.
struct BatchPartition {
  unsigned jobs = 1;
  unsigned shardIndex = 0;
  unsigned shardCount = 1;

  bool IsValid() const { return jobs >= 1 && shardCount >= 1 && shardIndex < shardCount; }
  bool OwnsPair(std::size_t pairIndex) const { return pairIndex % shardCount == shardIndex; }
};

// Largest number of workers or shards accepted: far above any machine, low
// enough that a typing slip does not start thousands of threads.
inline constexpr unsigned kMaxJobs = 1024;
inline constexpr unsigned kMaxShards = 1000000;

// "K/N" with 0 <= K < N; throws std::invalid_argument with a message that
// says what is wrong.
void ParseShard(const std::string& text, BatchPartition& partition);
// A worker count from 1 to kMaxJobs; throws std::invalid_argument.
unsigned ParseJobs(const std::string& text);

}  // namespace mirelock
