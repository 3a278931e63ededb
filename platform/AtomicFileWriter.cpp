#include "platform/AtomicFileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/FilePaths.h"
#include "platform/NumberFormat.h"

namespace mirelock {

AtomicFileWriter::AtomicFileWriter(std::string finalPath, StaleTemporaries stale)
    : finalPath_(std::move(finalPath)), target_(FollowSymlinks(finalPath_)) {
  UseDefaultNumberFormat(buffer_);
  // The temporary file lives in the target's directory so that the rename
  // stays within one file system and is atomic.
  const std::string directory = DirectoryOf(target_);
  if (stale == StaleTemporaries::kRemove) RemoveStaleTemporaries(directory);
  const std::string finalName = std::filesystem::path(target_).filename().string();
  if (auto file = CreateTemporaryFile(directory, finalName)) temporary_ = std::move(*file);
  if (!IsOpen()) {
    error_ = errno;
    return;
  }
  // Replacing a file must not widen or narrow who may read it (a document
  // kept at 0600, say).
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
    ::fchmod(temporary_.fd, existing.st_mode & 07777);
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Flush() {
  if (!IsOpen()) return false;
  const std::string text = buffer_.str();
  buffer_.str(std::string());
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(temporary_.fd, text.data() + written, text.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error_ == 0) error_ = errno;
      failed_ = true;
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  return !failed_;
}

bool AtomicFileWriter::Commit() {
  if (!IsOpen()) return false;
  const auto noteError = [this](bool ok) {
    if (!ok && error_ == 0) error_ = errno;
    return ok;
  };
  bool ok = Flush();
  ok = ok && noteError(::fsync(temporary_.fd) == 0);
  ok = noteError(::close(temporary_.fd) == 0) && ok;
  temporary_.fd = -1;
  ok = ok && noteError(std::rename(temporary_.path.c_str(), target_.c_str()) == 0);
  if (!ok) ::unlink(temporary_.path.c_str());
  Close();
  return ok;
}

void AtomicFileWriter::Discard() {
  if (!IsOpen()) return;
  ::close(temporary_.fd);
  temporary_.fd = -1;
  ::unlink(temporary_.path.c_str());
  Close();
}

std::string ReasonSuffix(const std::string& reason) { return reason.empty() ? std::string() : ": " + reason; }

std::string AtomicFileWriter::ErrorText() const { return error_ == 0 ? std::string() : std::strerror(error_); }

void AtomicFileWriter::Close() {
  ReleaseTemporaryFile(temporary_);
  temporary_ = TemporaryFile{};
}

}  // namespace mirelock
