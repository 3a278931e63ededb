#include <gtest/gtest.h>

#include "common/BoundedChild.h"
#include "common/TempDir.h"
#include "platform/UserMessages.h"
#include "summary/ResultsFileReader.h"

namespace mirelock {
namespace {

// A FIFO, device or directory under a results file's name is reported as a
// file that cannot be opened, within a deadline: it never blocks summarise
// or report.
TEST(ResultsFileReader, HostileFilesAreReportedUnread) {
  test::TempDir scratch;
  const auto files = test::MakeHostileFiles(scratch.Path(), ".txt");
  auto read = [](const std::string& path) {
    return [path] {
      ResultsTable table({"p.tsp"}, {2});
      RecordingMessages messages;
      ResultsFileReader(table, messages).Read(path, 0, 0);
      return messages.Messages().empty() ? std::string("no message") : messages.Messages().front();
    };
  };
  const std::string failed = "Failed to open results file ";
  const std::string na = "; its values are written as NA";
  test::ExpectBoundedOutcomes({
      {read(files.fifo), failed + files.fifo + " is a FIFO, not a regular file" + na},
      {read(files.zero), failed + files.zero + " is a character device, not a regular file" + na},
      {read(files.directory), failed + files.directory + " is a directory, not a regular file" + na},
  });
}

}  // namespace
}  // namespace mirelock
