#pragma once
#include <optional>
#include <string>

namespace mirelock {

// Locks of a document file, held on a lock file beside it (the document's
// path + ".lock", beside the target of a symbolic link), so that processes
// of any host that shares the file system with working locks take turns:
//   - the edit lock, around every read-modify-write and every save of the
//     document, so that ten `exp add` at once keep all ten experiments;
//   - the run lock, held by an unsharded `run` for its whole length, so that
//     a second one does not solve the same pairs again.
// They are open-file-description locks on two different bytes of the one
// lock file: holding the run lock never keeps an edit out. A lock file that
// cannot be made (a read-only folder) leaves the document unlocked; its save
// would fail anyway. Locks are released when the holder ends, however it ends.
class DocumentLock {
 public:
  // Waits until the edit lock is held. A thread of a process that holds it
  // already (a save inside a command's edit) gets an empty lock at once.
  static DocumentLock ForEdit(const std::string& documentPath);
  // The run lock if no other process holds it, without waiting.
  static std::optional<DocumentLock> TryForRun(const std::string& documentPath);

  DocumentLock(DocumentLock&& other) noexcept;
  DocumentLock& operator=(DocumentLock&&) = delete;
  DocumentLock(const DocumentLock&) = delete;
  DocumentLock& operator=(const DocumentLock&) = delete;
  ~DocumentLock();

  // The lock file's path.
  static std::string LockPath(const std::string& documentPath);

 private:
  DocumentLock() = default;

  int fd_ = -1;
  std::string registered_;  // the lock file, while this object holds its edit lock
};

}  // namespace mirelock
