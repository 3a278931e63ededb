#include "runner/ProblemDiscovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace mirelock {

std::vector<std::string> DiscoverProblems(const std::string& problemsDirectory, ProblemType type) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(problemsDirectory.empty() ? fs::path(".") : fs::path(problemsDirectory), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code statError;
    if (!it->is_regular_file(statError)) continue;
    const std::string name = it->path().filename().string();
    if (ProblemTypeFromPath(name) == type) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mirelock
