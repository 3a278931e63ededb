#pragma once
#include <sstream>
#include <string>

namespace mirelock {

// Writes a file under a temporary name beside its final path and renames it
// into place only on Commit, so that a reader never sees a half-written file
// under the final name, whatever happens to the process meanwhile. Text
// written to Stream() goes to the temporary file at every Flush. Destroying
// an uncommitted writer removes the temporary file.
class AtomicFileWriter {
 public:
  // Creates the temporary file; Open answers whether that worked.
  explicit AtomicFileWriter(std::string finalPath);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  const std::string& FinalPath() const { return finalPath_; }
  std::ostream& Stream() { return buffer_; }

  // Moves what Stream() holds into the temporary file. False on a write error.
  bool Flush();
  // Flushes, syncs and renames the temporary file onto the final path.
  bool Commit();
  // Removes the temporary file and leaves the final path as it was.
  void Discard();

 private:
  std::string finalPath_;
  std::string tempPath_;
  int fd_ = -1;
  bool failed_ = false;
  std::ostringstream buffer_;
};

}  // namespace mirelock
