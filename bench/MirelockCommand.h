#pragma once
// What the programs that time the mirelock command share: running a shell
// command, quoting a path for it, and the flags `--bin PATH` (the mirelock
// program, by default ../cli/mirelock beside this program's folder) and
// numeric flags such as `--repeats R`. Flags come in pairs; the last wins.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

inline int Shell(const std::string& command) { return std::system(command.c_str()); }

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

inline const char* FlagValue(int argc, char** argv, const std::string& flag) {
  const char* value = nullptr;
  for (int i = 1; i + 1 < argc; i += 2)
    if (flag == argv[i]) value = argv[i + 1];
  return value;
}

// A count of at least 1.
inline int CountFlag(int argc, char** argv, const std::string& flag, int fallback) {
  const char* value = FlagValue(argc, argv, flag);
  return value != nullptr ? std::max(1, std::atoi(value)) : fallback;
}

inline std::filesystem::path MirelockBinary(int argc, char** argv) {
  if (const char* value = FlagValue(argc, argv, "--bin")) return value;
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "cli" / "mirelock";
}

}  // namespace bench
