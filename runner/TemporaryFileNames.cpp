#include "runner/TemporaryFileNames.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>

namespace mirelock {

namespace {

const char kMarker[] = ".tmp-";

// The host's first label, cut short: results names are long already and a
// file name may not exceed 255 bytes.
std::string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "unknown-host";
  std::string host(name);
  host = host.substr(0, host.find('.'));
  return host.substr(0, 24);
}

// The writer's process id and host from a temporary file's suffix (the text
// after the final name and ".tmp-"); false when the suffix is not ours.
bool ParseOwner(const std::string& suffix, long& pid, std::string& host) {
  std::size_t digits = 0;
  while (digits < suffix.size() && suffix[digits] >= '0' && suffix[digits] <= '9') ++digits;
  const auto at = suffix.rfind('@');
  if (digits == 0 || digits > 9 || at == std::string::npos || digits >= suffix.size() ||
      suffix[digits] != '-')
    return false;
  pid = std::stol(suffix.substr(0, digits));
  host = suffix.substr(at + 1);
  return pid > 0;
}

bool ProcessIsGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

std::string TemporaryPathFor(const std::string& finalPath, const std::string& writerTag) {
  static const std::string host = HostName();
  return finalPath + kMarker + std::to_string(static_cast<long>(::getpid())) + "-" + writerTag + "@" + host;
}

namespace {

// Calls visit(path, pid, host) for every temporary file of finalPath with an owner in its name.
template <typename Visit>
void ForEachTemporary(const std::string& finalPath, Visit visit) {
  namespace fs = std::filesystem;
  const fs::path path(finalPath);
  const std::string prefix = path.filename().string() + kMarker;
  std::error_code error;
  fs::directory_iterator it(path.has_parent_path() ? path.parent_path() : fs::path("."), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    long pid = 0;
    std::string host;
    if (ParseOwner(name.substr(prefix.size()), pid, host)) visit(it->path(), pid, host);
  }
}

}  // namespace

int RemoveStaleTemporaries(const std::string& finalPath) {
  const std::string thisHost = HostName();
  const long thisProcess = static_cast<long>(::getpid());
  int removed = 0;
  ForEachTemporary(finalPath, [&](const std::filesystem::path& path, long pid, const std::string& host) {
    if (host != thisHost || pid == thisProcess || !ProcessIsGone(pid)) return;
    std::error_code ignored;
    if (std::filesystem::remove(path, ignored)) ++removed;
  });
  return removed;
}

bool IsBeingWritten(const std::string& finalPath) {
  const std::string thisHost = HostName();
  bool live = false;
  ForEachTemporary(finalPath, [&](const std::filesystem::path&, long pid, const std::string& host) {
    live = live || host != thisHost || !ProcessIsGone(pid);
  });
  return live;
}

}  // namespace mirelock
