#pragma once
#include <string>

namespace mirelock {

// Names of the temporary files that AtomicFileWriter writes beside a final
// path: final path + ".tmp-" + process id + "-" + a writer tag + "@" + host
// name. The process and host say who wrote it, so that a later process can
// tell a file left by a killed writer from one still being written.
std::string TemporaryPathFor(const std::string& finalPath, const std::string& writerTag);

// Removes the temporary files of `finalPath` that a process of this host
// left behind when it died (killed, machine crash). Files of live processes,
// of this process and of other hosts stay: on a shared file system this host
// cannot tell whether a writer elsewhere is still at work. Returns how many
// it removed.
int RemoveStaleTemporaries(const std::string& finalPath);

// Whether a temporary file of `finalPath` is being written now: one of a live
// process of this host, or of another host (which this host cannot check).
bool IsBeingWritten(const std::string& finalPath);

}  // namespace mirelock
