#include "runner/AtomicFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <thread>

#include "platform/NumberFormat.h"
#include "runner/TemporaryFileNames.h"

namespace mirelock {

AtomicFileWriter::AtomicFileWriter(std::string finalPath) : finalPath_(std::move(finalPath)) {
  UseDefaultNumberFormat(buffer_);
  // The temporary file lives in the same directory so that the rename stays
  // within one file system and is atomic. The name carries the process, the
  // thread and this object, so two workers writing the same pair never share
  // a temporary file; O_EXCL makes sure of it. The host in the name lets a
  // later run on this machine recognise the leftovers of a killed process
  // (RemoveStaleTemporaries). Mode 0666 lets the umask decide,
  // as for any other file the user writes.
  const auto thread = std::hash<std::thread::id>{}(std::this_thread::get_id());
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    char tag[64];
    std::snprintf(tag, sizeof tag, "%zx-%zx-%d", thread, reinterpret_cast<std::uintptr_t>(this), attempt);
    tempPath_ = TemporaryPathFor(finalPath_, tag);
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) tempPath_.clear();
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Flush() {
  if (fd_ < 0) return false;
  const std::string text = buffer_.str();
  buffer_.str(std::string());
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + written, text.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  return !failed_;
}

bool AtomicFileWriter::Commit() {
  if (fd_ < 0) return false;
  bool ok = Flush();
  ok = ok && ::fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  ok = ok && std::rename(tempPath_.c_str(), finalPath_.c_str()) == 0;
  if (!ok) ::unlink(tempPath_.c_str());
  tempPath_.clear();
  return ok;
}

void AtomicFileWriter::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

}  // namespace mirelock
