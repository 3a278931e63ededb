#include "runner/SeedRecord.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "experiments/CExperiment.h"
#include "platform/FilePaths.h"

namespace mirelock {

std::string SeedSettingLine(std::uint32_t seedMode, std::uint32_t fixedSeed) {
  switch (seedMode) {
    case kSeedFromTime:
      return "seed mode time";
    case kSeedFixed:
      return "seed mode fixed, seed " + std::to_string(fixedSeed);
    case kSeedNone:
      return "seed mode none";
    default:
      return "seed mode " + std::to_string(seedMode);
  }
}

std::vector<std::string> RecordSeedSetting(const std::string& resultsDirectory, const std::string& setting) {
  const std::string path = JoinPath(resultsDirectory, kSeedRecordName);
  std::vector<std::string> others;
  bool known = false;
  {
    std::ifstream in(path);
    // A record is a few short lines; a longer line is not one of ours and ends the reading.
    for (std::string line; others.size() < 100 && std::getline(in, line) && line.size() < 200;) {
      if (line == setting)
        known = true;
      else if (!line.empty() && std::find(others.begin(), others.end(), line) == others.end())
        others.push_back(line);
    }
  }
  if (!known) {
    // One short append: shards that start together each add a whole line.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd >= 0) {
      const std::string line = setting + "\n";
      [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
      ::close(fd);
    }
  }
  return others;
}

}  // namespace mirelock
