#include <gtest/gtest.h>

#include <fstream>

#include "common/BoundedChild.h"
#include "common/TempDir.h"
#include "platform/FatalError.h"
#include "sat/SATProblem.h"

namespace mirelock {
namespace {

// A FIFO would block the open, /dev/zero and a sparse file would be read
// without end or whole; each must instead give an error naming the file,
// within a deadline and 64 MiB. The reader itself stops at the first NUL
// byte, even when handed an endless stream someone else opened.
TEST(SATProblem, HostileFilesGiveAnErrorInBoundedTimeAndMemory) {
  test::TempDir scratch;
  for (const char* extension : {".cnf", ".sat"}) {
    SCOPED_TRACE(extension);
    const auto files = test::MakeHostileFiles(scratch.Sub(extension + 1), extension);
    const bool weighted = std::string(extension) == ".sat";
    auto readFile = [weighted](const std::string& path) {
      return [path, weighted] {
        SATProblem problem;
        problem.SetWeighted(weighted);
        try {
          problem.ReadFile(path);
        } catch (const FatalError& error) {
          return error.Text();
        }
        return std::string("read");
      };
    };
    auto readEndlessStream = [weighted] {
      SATProblem problem;
      problem.SetWeighted(weighted);
      problem.SetSourceName("zeros");
      std::ifstream in("/dev/zero");
      try {
        problem.Read(in);
      } catch (const FatalError& error) {
        return error.Text();
      }
      return std::string("read");
    };
    test::ExpectBoundedOutcomes({
        {readFile(files.fifo), "Cannot open problem file " + files.fifo + " is a FIFO, not a regular file"},
        {readFile(files.zero),
         "Cannot open problem file " + files.zero + " is a character device, not a regular file"},
        {readFile(files.directory),
         "Cannot open problem file " + files.directory + " is a directory, not a regular file"},
        {readFile(files.sparse), files.sparse + ": byte 1 is a NUL character; this is not a text file"},
        {readEndlessStream, "zeros: byte 1 is a NUL character; this is not a text file"},
    });
  }
}

}  // namespace
}  // namespace mirelock
