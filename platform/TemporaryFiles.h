#pragma once
#include <optional>
#include <set>
#include <string>

namespace mirelock {

// A file being written under a temporary name before it is renamed into
// place. The name is short and random (".mirelock-" + six characters, as
// mkstemp makes them) whatever the final name, so a final name of any legal
// length can be written. Beside it an owner record (the same name +
// ".owner") holds the writer's host and process id, so that a later process
// can tell a file left by a killed writer from one still being written, and
// the name of the file it will become, so that a reader can tell which final
// files are being written now. The
// record is made first and removed last: a temporary file never exists
// without it.
struct TemporaryFile {
  int fd = -1;              // open for writing
  std::string path;         // the temporary file
  std::string ownerRecord;  // its owner record
};

// Creates a temporary file and its owner record in `directory`, the file
// with mode 0666 less the umask, as for any file the user writes. None when
// the directory cannot be written.
// `finalName` is the file name (without directory) the temporary file is
// meant to become; it is kept in the owner record.
std::optional<TemporaryFile> CreateTemporaryFile(const std::string& directory, const std::string& finalName = "");

// Removes the owner record once the temporary file is gone (renamed or
// removed).
void ReleaseTemporaryFile(const TemporaryFile& file);

// Removes the temporary files in `directory` that a process of this host
// left behind when it died (killed, machine crash), with their records.
// Files of live processes, of this process and of other hosts stay: on a
// shared file system this host cannot tell whether a writer elsewhere is
// still at work. Returns how many records it removed.
int RemoveStaleTemporaries(const std::string& directory);

// Whether a writer is at work on `finalPath` now: an owner record in its
// directory names it and belongs to a live process of this host or to
// another host (which this host cannot check).
bool IsBeingWritten(const std::string& finalPath);

}  // namespace mirelock

namespace mirelock {

// The final names (without directory) that writers are at work on in
// `directory` now, as IsBeingWritten tells them, from one reading of the
// directory: for a reader that asks about many files at once.
std::set<std::string> FinalNamesBeingWritten(const std::string& directory);

}  // namespace mirelock
