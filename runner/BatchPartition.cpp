#include "runner/BatchPartition.h"

#include <cctype>
#include <stdexcept>

namespace mirelock {

namespace {

// Digits only (no sign, no blanks), at most `limit`; false otherwise.
bool ParseCount(const std::string& text, unsigned long limit, unsigned& value) {
  if (text.empty() || text.size() > 9) return false;
  unsigned long result = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    result = result * 10 + static_cast<unsigned long>(c - '0');
  }
  if (result > limit) return false;
  value = static_cast<unsigned>(result);
  return true;
}

}  // namespace

void ParseShard(const std::string& text, BatchPartition& partition) {
  const auto slash = text.find('/');
  unsigned index = 0;
  unsigned count = 0;
  if (slash == std::string::npos || !ParseCount(text.substr(0, slash), kMaxShards, index) ||
      !ParseCount(text.substr(slash + 1), kMaxShards, count))
    throw std::invalid_argument("--shard " + text + ": expected K/N, two whole numbers such as 0/4");
  if (count == 0)
    throw std::invalid_argument("--shard " + text + ": the number of shards N must be at least 1");
  if (index >= count)
    throw std::invalid_argument("--shard " + text + ": the shard K must be below N (shards are 0 to " +
                                std::to_string(count - 1) + ")");
  partition.shardIndex = index;
  partition.shardCount = count;
}

unsigned ParseJobs(const std::string& text) {
  unsigned jobs = 0;
  if (!ParseCount(text, kMaxJobs, jobs) || jobs == 0)
    throw std::invalid_argument("--jobs " + text + ": expected a number of workers from 1 to " +
                                std::to_string(kMaxJobs));
  return jobs;
}

}  // namespace mirelock
