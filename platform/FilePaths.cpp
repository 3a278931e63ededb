#include "platform/FilePaths.h"

#include <filesystem>
#include <system_error>

namespace mirelock {

namespace fs = std::filesystem;

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty() || directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

std::string DirectoryOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

std::string FollowSymlinks(const std::string& path) {
  // The same bound as the kernel's (ELOOP after 40 links).
  constexpr int kMaxLinks = 40;
  fs::path current(path);
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error)) || error) return current.string();
    const fs::path target = fs::read_symlink(current, error);
    if (error) return current.string();
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return path;
}

}  // namespace mirelock
