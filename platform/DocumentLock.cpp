#include "platform/DocumentLock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <set>

#include "platform/FilePaths.h"

namespace mirelock {

namespace {

constexpr off_t kEditByte = 0;
constexpr off_t kRunByte = 1;

// Lock files whose edit lock this process holds. Open-file-description locks
// of one process conflict with each other, so a nested edit (the save inside
// `exp add`) must not ask again.
std::mutex heldMutex;
std::set<std::string>& HeldEditLocks() {
  static std::set<std::string> held;
  return held;
}

int OpenLockFile(const std::string& lockPath) {
  return ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

bool LockByte(int fd, off_t byte, bool wait) {
  struct flock region {};
  region.l_type = F_WRLCK;
  region.l_whence = SEEK_SET;
  region.l_start = byte;
  region.l_len = 1;
  for (;;) {
    if (::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &region) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

std::string DocumentLock::LockPath(const std::string& documentPath) {
  return FollowSymlinks(documentPath) + ".lock";
}

DocumentLock DocumentLock::ForEdit(const std::string& documentPath) {
  DocumentLock lock;
  const std::string lockPath = LockPath(documentPath);
  {
    std::lock_guard<std::mutex> guard(heldMutex);
    if (HeldEditLocks().contains(lockPath)) return lock;
  }
  lock.fd_ = OpenLockFile(lockPath);
  if (lock.fd_ < 0) return lock;
  if (!LockByte(lock.fd_, kEditByte, true)) {
    ::close(lock.fd_);
    lock.fd_ = -1;
    return lock;
  }
  std::lock_guard<std::mutex> guard(heldMutex);
  HeldEditLocks().insert(lockPath);
  lock.registered_ = lockPath;
  return lock;
}

std::optional<DocumentLock> DocumentLock::TryForRun(const std::string& documentPath) {
  DocumentLock lock;
  lock.fd_ = OpenLockFile(LockPath(documentPath));
  if (lock.fd_ < 0) return lock;
  if (!LockByte(lock.fd_, kRunByte, false)) {
    const bool held = errno == EAGAIN || errno == EACCES;
    ::close(lock.fd_);
    lock.fd_ = -1;
    if (held) return std::nullopt;
  }
  return lock;
}

DocumentLock::DocumentLock(DocumentLock&& other) noexcept
    : fd_(other.fd_), registered_(std::move(other.registered_)) {
  other.fd_ = -1;
  other.registered_.clear();
}

DocumentLock::~DocumentLock() {
  if (fd_ < 0) return;
  std::lock_guard<std::mutex> guard(heldMutex);
  ::close(fd_);  // releases the lock
  if (!registered_.empty()) HeldEditLocks().erase(registered_);
}

}  // namespace mirelock
