#include "platform/TemporaryFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "platform/FilePaths.h"

namespace mirelock {

namespace {

const std::string kPrefix = ".mirelock-";
const std::string kOwnerSuffix = ".owner";
constexpr std::size_t kRandomLength = 6;  // the "XXXXXX" of mkstemp

std::string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "unknown-host";
  return name;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// Whether `name` is an owner record: prefix, six characters, suffix.
bool IsOwnerRecordName(const std::string& name) {
  return name.size() == kPrefix.size() + kRandomLength + kOwnerSuffix.size() &&
         name.compare(0, kPrefix.size(), kPrefix) == 0 &&
         name.compare(name.size() - kOwnerSuffix.size(), kOwnerSuffix.size(), kOwnerSuffix) == 0;
}

// The host, process id and final file name of a record; false for a record
// still being written or not ours. Records without a final name (a writer
// that did not give one) leave finalName empty.
bool ReadOwner(const std::filesystem::path& record, std::string& host, long& pid, std::string* finalName = nullptr) {
  std::ifstream in(record);
  std::string hostLine, pidLine;
  if (!std::getline(in, hostLine) || !std::getline(in, pidLine) || hostLine.empty()) return false;
  if (finalName && !std::getline(in, *finalName)) finalName->clear();
  if (pidLine.empty() || pidLine.size() > 9 || pidLine.find_first_not_of("0123456789") != std::string::npos)
    return false;
  host = hostLine;
  pid = std::stol(pidLine);
  return pid > 0;
}

bool ProcessIsGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

namespace {

// Six characters as mkstemp makes them, for names this file links in itself.
std::string RandomCharacters() {
  static const char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 generator(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()));
  std::string text(kRandomLength, 'X');
  for (char& c : text) c = kCharacters[generator() % (sizeof kCharacters - 1)];
  return text;
}

// Makes an owner record holding `owner` and returns its path; empty when the
// directory cannot be written. The record appears under its name already
// complete: written to an unnamed file, then linked in. A writer killed at
// any moment therefore never leaves an empty record, which no later process
// could attribute to a dead writer and so would never remove. Where the file
// system has no unnamed files (or /proc is absent), mkstemps and a write.
std::string CreateOwnerRecord(const std::string& directory, const std::string& owner) {
  const int unnamed = ::open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (unnamed >= 0) {
    std::string record;
    if (WriteAll(unnamed, owner)) {
      const std::string self = "/proc/self/fd/" + std::to_string(unnamed);
      for (int attempt = 0; attempt < 100 && record.empty(); ++attempt) {
        const std::string name = JoinPath(directory, kPrefix + RandomCharacters() + kOwnerSuffix);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
          record = name;
        } else if (errno != EEXIST) {
          break;
        }
      }
    }
    ::close(unnamed);
    if (!record.empty()) return record;
  }
  std::string record = JoinPath(directory, kPrefix + std::string(kRandomLength, 'X') + kOwnerSuffix);
  const int fd = ::mkstemps(record.data(), static_cast<int>(kOwnerSuffix.size()));
  if (fd < 0) return "";
  const bool written = WriteAll(fd, owner);
  ::close(fd);
  if (written) return record;
  ::unlink(record.c_str());
  return "";
}

}  // namespace

std::optional<TemporaryFile> CreateTemporaryFile(const std::string& directory, const std::string& finalName) {
  // The host name is kept, the process id read each time: a process forked
  // after its first temporary file must record its own id, or its stale files
  // would look owned by a parent that may still live.
  static const std::string thisHost = HostName();
  const std::string owner = thisHost + "\n" + std::to_string(static_cast<long>(::getpid())) + "\n" + finalName + "\n";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string record = CreateOwnerRecord(directory, owner);
    if (record.empty()) return std::nullopt;
    TemporaryFile file;
    file.ownerRecord = record;
    file.path = record.substr(0, record.size() - kOwnerSuffix.size());
    file.fd = ::open(file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file.fd >= 0) return file;
    const int openError = errno;
    ::unlink(record.c_str());
    if (openError != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

void ReleaseTemporaryFile(const TemporaryFile& file) {
  if (!file.ownerRecord.empty()) ::unlink(file.ownerRecord.c_str());
}

namespace {

struct OwnerRecord {
  std::filesystem::path path;
  std::string host;
  long pid = 0;
  std::string finalName;
};

// Calls visit(record) for every readable owner record in `directory` until
// visit returns true; answers whether it did.
template <typename Visit>
bool AnyOwnerRecord(const std::string& directory, Visit visit) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator it(directory.empty() ? fs::path(".") : fs::path(directory), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    if (!IsOwnerRecordName(it->path().filename().string())) continue;
    OwnerRecord record;
    record.path = it->path();
    if (ReadOwner(record.path, record.host, record.pid, &record.finalName) && visit(record)) return true;
  }
  return false;
}

}  // namespace

int RemoveStaleTemporaries(const std::string& directory) {
  namespace fs = std::filesystem;
  static const std::string thisHost = HostName();
  const long thisProcess = static_cast<long>(::getpid());
  int removed = 0;
  AnyOwnerRecord(directory, [&](const OwnerRecord& record) {
    if (record.host != thisHost || record.pid == thisProcess || !ProcessIsGone(record.pid)) return false;
    // The file before its record, so that no file is ever left without one.
    fs::path temporary = record.path;
    temporary.replace_extension();  // drops ".owner"
    std::error_code ignored;
    fs::remove(temporary, ignored);
    if (fs::remove(record.path, ignored)) ++removed;
    return false;
  });
  return removed;
}

bool IsBeingWritten(const std::string& finalPath) {
  static const std::string thisHost = HostName();
  const std::filesystem::path path(finalPath);
  const std::string wanted = path.filename().string();
  return AnyOwnerRecord(path.has_parent_path() ? path.parent_path().string() : std::string(),
                        [&](const OwnerRecord& record) {
                          return record.finalName == wanted && (record.host != thisHost || !ProcessIsGone(record.pid));
                        });
}

}  // namespace mirelock

namespace mirelock {

std::set<std::string> FinalNamesBeingWritten(const std::string& directory) {
  static const std::string thisHost = HostName();
  std::set<std::string> names;
  AnyOwnerRecord(directory, [&](const OwnerRecord& record) {
    if (!record.finalName.empty() && (record.host != thisHost || !ProcessIsGone(record.pid)))
      names.insert(record.finalName);
    return false;
  });
  return names;
}

}  // namespace mirelock
