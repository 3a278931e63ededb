#include "experiments/DefaultPaths.h"

#include <filesystem>
#include <system_error>

namespace mirelock {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> ExecutableDirectory() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return std::nullopt;
  return exe.parent_path();
}

bool IsDirectory(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// Whether `path` lies inside `tree` (both absolute).
bool IsInside(const fs::path& path, const fs::path& tree) {
  const fs::path p = path.lexically_normal();
  const fs::path t = tree.lexically_normal();
  auto [treeEnd, pathIt] = std::mismatch(t.begin(), t.end(), p.begin(), p.end());
  return treeEnd == t.end() || (std::next(treeEnd) == t.end() && treeEnd->empty());
}

}  // namespace

std::optional<std::string> WorkingDirectory() {
  std::error_code error;
  const fs::path cwd = fs::current_path(error);
  if (error || cwd.empty()) return std::nullopt;
  std::string text = cwd.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string WithTrailingSlash(std::string directory) {
  if (directory.empty() || directory.back() != '/') directory += '/';
  return directory;
}

std::string DefaultProblemsDirectory(const std::string& workingDirectory) {
  if (const auto exeDir = ExecutableDirectory()) {
    const fs::path installed = exeDir->parent_path() / "share" / "mirelock" / "examples" / "qap";
    if (IsDirectory(installed)) return WithTrailingSlash(installed.lexically_normal().string());
#if defined(MIRELOCK_BUILD_TREE) && defined(MIRELOCK_SOURCE_TREE)
    const fs::path bundled = fs::path(MIRELOCK_SOURCE_TREE) / "examples" / "qap";
    if (IsInside(*exeDir, MIRELOCK_BUILD_TREE) && IsDirectory(bundled)) {
      return WithTrailingSlash(bundled.lexically_normal().string());
    }
#endif
  }
  return WithTrailingSlash(workingDirectory) + "problems/";
}

}  // namespace mirelock
