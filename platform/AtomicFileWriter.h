#pragma once
#include <sstream>
#include <string>

#include "platform/TemporaryFiles.h"

namespace mirelock {

// Writes a file under a temporary name beside its final path and renames it
// into place only on Commit, so that a reader never sees a half-written file
// under the final name, whatever happens to the process meanwhile. Text
// written to Stream() goes to the temporary file at every Flush. Destroying
// an uncommitted writer removes the temporary file.
//
// A final path that is a symbolic link is written through: the link stays
// and its target gets the new content. A file that exists keeps its mode.
// ": " + a reason, or nothing when there is none; for messages that end with a path.
std::string ReasonSuffix(const std::string& reason);

class AtomicFileWriter {
 public:
  enum class StaleTemporaries { kKeep, kRemove };

  // Creates the temporary file; IsOpen answers whether that worked. With
  // kRemove, the temporary files that dead processes of this host left in the
  // same directory are removed first (a writer of many files in one
  // directory, like a batch, does that once instead).
  explicit AtomicFileWriter(std::string finalPath, StaleTemporaries stale = StaleTemporaries::kKeep);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool IsOpen() const { return temporary_.fd >= 0; }
  const std::string& FinalPath() const { return finalPath_; }
  std::ostream& Stream() { return buffer_; }

  // Moves what Stream() holds into the temporary file. False on a write error.
  bool Flush();
  // Flushes, syncs and renames the temporary file onto the final path.
  bool Commit();
  // Removes the temporary file and leaves the final path as it was.
  void Discard();
  // strerror of the call that failed (creating, writing, syncing or renaming), or empty.
  std::string ErrorText() const;

 private:
  void Close();

  std::string finalPath_;
  std::string target_;  // finalPath_ with its symbolic links followed
  TemporaryFile temporary_;
  bool failed_ = false;
  int error_ = 0;  // errno of the first failed call
  std::ostringstream buffer_;
};

}  // namespace mirelock
