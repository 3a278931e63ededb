#include "BatchFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "../common/TempDir.h"  // by its path: the Slurm tests build this file too

namespace mirelock::test {

namespace fs = std::filesystem;

namespace {

// Run times are the only columns that may differ between two solves of a
// pair; every solver names its time column in seconds (CPU_secs, CPU_Seconds).
bool IsTimeColumn(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (!name.empty() && name.back() == ')') name.pop_back();  // a report's "Mean(CPU_secs)"
  const auto endsWith = [&](const std::string& tail) {
    return name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
  };
  return endsWith("_secs") || endsWith("_seconds");
}

}  // namespace

fs::path SourceDir() { return fs::path(MIRELOCK_TEST_DATA).parent_path().parent_path(); }

std::string ReadText(const fs::path& path) { return ReadFile(path.string()); }

std::string WithoutTimes(const std::string& text) {
  const auto lines = Split(text);
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return text;
  const auto header = Split(lines[0], '\t');
  std::vector<std::size_t> times;
  for (std::size_t c = 0; c < header.size(); ++c)
    if (IsTimeColumn(header[c])) times.push_back(c);
  EXPECT_EQ(times.size(), 1u) << lines[0];
  std::string out = lines[0] + "\n";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    auto fields = Split(lines[i], '\t');
    EXPECT_EQ(fields.size(), header.size()) << "torn or malformed line: " << lines[i];
    for (std::size_t c : times)
      if (c < fields.size()) fields[c] = "<time>";
    for (std::size_t c = 0; c < fields.size(); ++c) out += fields[c] + (c + 1 < fields.size() ? "\t" : "\n");
  }
  return out;
}

std::string ReportWithoutTimes(const std::string& text) {
  std::string out;
  bool inTimeBlock = false;
  for (const std::string& line : Split(text)) {
    if (line.empty()) inTimeBlock = false;
    const std::string label = line.substr(0, line.find(','));
    const bool timeLine = IsTimeColumn(label);
    if (timeLine && (line.find(',') == std::string::npos || label.rfind("Mean(", 0) == 0)) inTimeBlock = true;
    out += (inTimeBlock || timeLine ? "<time>" : line) + "\n";
  }
  return out;
}

std::map<std::string, std::string> Batch::Files() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir / "results")) {
    const std::string name = entry.path().filename().string();
    if (name == kSeedRecordName) continue;
    EXPECT_EQ(name.find(".mirelock-"), std::string::npos) << "left-over temporary file " << name;
    if (name.ends_with(".trace")) continue;  // the results files' traces (TracesTest)
    files[name] = WithoutTimes(ReadText(entry.path()));
  }
  return files;
}

std::map<std::string, std::pair<ino_t, std::string>> Snapshot(const fs::path& results) {
  std::map<std::string, std::pair<ino_t, std::string>> files;
  for (const auto& entry : fs::directory_iterator(results)) {
    if (entry.path().filename() == kSeedRecordName) continue;
    struct stat info {};
    ::stat(entry.path().c_str(), &info);
    files[entry.path().filename().string()] = {info.st_ino, ReadText(entry.path())};
  }
  return files;
}

void Mirelock(const fs::path& directory, const std::string& arguments) {
  const auto result = RunMirelock(directory.string(), arguments);
  ASSERT_EQ(result.status, 0) << arguments << "\n" << result.err;
}

Batch MakeBatch(const fs::path& root, const std::string& name, const std::string& type, int experiments,
                const std::string& effort, const fs::path& problems) {
  Batch batch{root / name, (root / name / "batch.mirel").string()};
  fs::create_directories(batch.dir / "results");
  fs::path problemsDir = SourceDir() / "examples" / type;
  if (!problems.empty()) {
    problemsDir = batch.dir / "problems";
    fs::create_directories(problemsDir);
    fs::copy(problems, problemsDir);
  }
  Mirelock(root, "doc new '" + batch.doc + "' --type " + type + " --problems '" + problemsDir.string() +
                     "' --results '" + (batch.dir / "results").string() + "' --full '" +
                     (batch.dir / "full.csv").string() + "' --summary '" + (batch.dir / "summary.csv").string() +
                     "' --seed-mode fixed --seed 21");
  for (int e = 0; e < experiments; ++e)
    Mirelock(root, "exp add '" + batch.doc + "' --aspiration off --random-moves 0 " + effort + " --lambda " +
                       std::to_string(e + 1));
  return batch;
}

}  // namespace mirelock::test
