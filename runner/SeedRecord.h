#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mirelock {

// The file in a results directory that lists, one a line, every seed setting
// a batch has written pairs there with ("seed mode fixed, seed 21", "seed
// mode time", "seed mode none"). The results files themselves do not all
// hold the seed (QAP's do not), and their layout stays as it is.
inline constexpr const char* kSeedRecordName = "mirelock-seeds";

// The line of a seed mode and fixed seed.
std::string SeedSettingLine(std::uint32_t seedMode, std::uint32_t fixedSeed);

// Adds `setting` to the record of `resultsDirectory` unless it is there, and
// returns the other settings the record holds: pairs already made with
// another seed, which a batch with `setting` would mix with its own.
std::vector<std::string> RecordSeedSetting(const std::string& resultsDirectory, const std::string& setting);

}  // namespace mirelock
