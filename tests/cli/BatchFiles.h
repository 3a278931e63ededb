#pragma once
// The mirelock program run from the tests, and a batch made with it in a
// folder of its own, its results files and reports read back with the run
// times blanked, so that batches run in different ways can be compared byte
// for byte.
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>

namespace mirelock::test {

// The record of the seeds a results folder's batches used (runner/SeedRecord.h;
// the Slurm tests build this file without the project's headers).
inline constexpr const char* kSeedRecordName = "mirelock-seeds";

struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the mirelock program with `arguments` (already quoted for the shell) in
// `directory`, capturing both output streams, under a time limit so that a
// hang fails the test instead of stalling it.
CommandResult RunMirelock(const std::string& directory, const std::string& arguments);

// The checkout the tests were built from (examples/, scripts/).
std::filesystem::path SourceDir();

std::string ReadText(const std::filesystem::path& path);

// A results file with the values of its time columns, found by header name, blanked.
std::string WithoutTimes(const std::string& text);

// A report with the lines about time columns blanked: a summary line whose
// label names one, and a whole block (to the next blank line) headed by one.
std::string ReportWithoutTimes(const std::string& text);

struct Batch {
  std::filesystem::path dir;
  std::string doc;

  // Complete results files, time columns aside, without their traces; also checks that nothing else is there.
  std::map<std::string, std::string> Files() const;
  std::string Report(const char* name) const { return ReportWithoutTimes(ReadText(dir / name)); }
};

// The inode and contents of every file in `results`, temporary ones included:
// a file written again gets a new inode even when its lines come out the same.
std::map<std::string, std::pair<ino_t, std::string>> Snapshot(const std::filesystem::path& results);

// Runs `mirelock ARGUMENTS` in `directory`; a failure fails the current test.
void Mirelock(const std::filesystem::path& directory, const std::string& arguments);

// A document in root/name over the examples of `type` (or over a copy, in
// root/name/problems, of the file or folder `problems`), with its results
// directory and both reports beside it, and `experiments` experiments that
// differ in lambda (1, 2, ...).
Batch MakeBatch(const std::filesystem::path& root, const std::string& name, const std::string& type,
                int experiments, const std::string& effort, const std::filesystem::path& problems = {});

}  // namespace mirelock::test
