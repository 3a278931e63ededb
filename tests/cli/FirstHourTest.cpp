// What a new user meets first: a batch on a new document's defaults, and the
// mistakes and set-ups that the command line must take in its stride.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "CommandRunner.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DocumentFile.h"
#include "platform/UserMessages.h"

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using test::RunMirelock;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t LineCount(const fs::path& path) {
  const std::string text = ReadText(path);
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Results files by name, and how many lines each holds.
std::map<std::string, std::size_t> ResultsIn(const fs::path& directory) {
  std::map<std::string, std::size_t> files;
  std::error_code error;
  for (fs::directory_iterator it(directory, error); !error && it != fs::directory_iterator(); it.increment(error))
    files[it->path().filename().string()] = LineCount(it->path());
  return files;
}

class FirstHour : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mirelock-first-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  test::CommandResult Run(const std::string& arguments) { return RunMirelock(dir_.string(), arguments); }

  // A problems directory with the bundled nug12 under `name`, and a document
  // on it with one quick experiment. Its results directory is there already,
  // so that each test meets only its own defect.
  void QuickDocument(const std::string& name) {
    fs::create_directories(dir_ / "problems");
    fs::create_directories(dir_ / "Results");
    fs::copy_file(fs::path(MIRELOCK_TEST_DATA) / "qap" / "nug12.dat", dir_ / "problems" / name);
    ASSERT_EQ(Run("doc new D --problems problems").status, 0);
    ASSERT_EQ(Run("exp add D --max-repairs 200 --times-n off --runs 2 --decay-every 200").status, 0);
  }

  // A temporary file with its owner record, as a process of this host that
  // has since died left it in `directory`.
  fs::path LeaveDeadWritersTemporary(const fs::path& directory) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const fs::path temporary = directory / ".mirelock-dead01";
    std::ofstream(temporary) << "half a file";
    std::ofstream(temporary.string() + ".owner") << host << "\n" << child << "\n";
    return temporary;
  }

  fs::path dir_;
};

TEST_F(FirstHour, ANewDocumentsDefaultsSolveTheExamplesIntoANewResultsDirectory) {
  ASSERT_EQ(Run("doc new D").status, 0);
  ASSERT_EQ(Run("exp add D").status, 0);
  const auto run = Run("run D");
  ASSERT_EQ(run.status, 0) << run.err;
  // The bundled QAP examples, each with a complete file: header and ten runs.
  const auto results = ResultsIn(dir_ / "Results");
  ASSERT_EQ(results.size(), 3u) << run.err;
  for (const auto& [name, lines] : results) EXPECT_EQ(lines, 11u) << name;

  const auto summarised = Run("summarise D");
  ASSERT_EQ(summarised.status, 0) << summarised.err;
  EXPECT_NE(summarised.out.find("Summarised 3 QAP problems with 1 experiment"), std::string::npos);

  // An emptied experiment list has nothing to summarise: the reports stay as they are.
  const std::string full = ReadText(dir_ / "ResultsFull.csv");
  const std::string summary = ReadText(dir_ / "ResultsSummary.csv");
  ASSERT_FALSE(full.empty());
  ASSERT_EQ(Run("exp delete D 0").status, 0);
  const auto empty = Run("summarise D");
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("Please input some experiments to summarise"), std::string::npos) << empty.err;
  EXPECT_EQ(ReadText(dir_ / "ResultsFull.csv"), full);
  EXPECT_EQ(ReadText(dir_ / "ResultsSummary.csv"), summary);
}

TEST_F(FirstHour, AResultsFileNameOfAnyLegalLengthIsWritten) {
  // With the quick experiment's texts the results file name is 246 characters.
  QuickDocument(std::string(95, 'p') + ".dat");
  const auto run = Run("run D");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto results = ResultsIn(dir_ / "Results");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_GE(results.begin()->first.size(), 200u);
  EXPECT_LE(results.begin()->first.size(), 255u);
  EXPECT_EQ(results.begin()->second, 3u);
}

TEST_F(FirstHour, SavingThroughASymbolicLinkWritesItsTargetAndKeepsItsMode) {
  QuickDocument("nug12.dat");
  fs::create_directories(dir_ / "kept");
  fs::rename(dir_ / "D", dir_ / "kept" / "real.mld");
  ::chmod((dir_ / "kept" / "real.mld").c_str(), 0600);
  fs::create_symlink("kept/real.mld", dir_ / "D");
  for (const char* report : {"full.csv", "summary.csv"}) {
    std::ofstream(dir_ / "kept" / report) << "old\n";
    ::chmod((dir_ / "kept" / report).c_str(), 0600);
    fs::create_symlink(fs::path("kept") / report, dir_ / report);
  }

  ASSERT_EQ(Run("doc set D --seed 9 --full full.csv --summary summary.csv").status, 0);
  ASSERT_EQ(Run("run D").status, 0);
  ASSERT_EQ(Run("summarise D").status, 0);

  EXPECT_TRUE(fs::is_symlink(dir_ / "D"));
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  LoadDocumentFile(doc, (dir_ / "kept" / "real.mld").string());
  EXPECT_EQ(doc.m_nFixedSeed, 9u);
  for (const char* name : {"real.mld", "full.csv", "summary.csv"}) {
    struct stat status {};
    ASSERT_EQ(::stat((dir_ / "kept" / name).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << name;
  }
  for (const char* report : {"full.csv", "summary.csv"}) {
    EXPECT_TRUE(fs::is_symlink(dir_ / report)) << report;
    EXPECT_EQ(ReadText(dir_ / "kept" / report).rfind("GLS experiment with", 0), 0u) << report;
  }
}

TEST_F(FirstHour, AResultsDirectoryWithoutItsSeparatorIsTheSameFolderForRunAndSummarise) {
  QuickDocument("nug12.dat");
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  LoadDocumentFile(doc, (dir_ / "D").string());
  doc.m_strResultsDir = (dir_ / "out").string();  // as another tool or an older save may store it
  fs::create_directories(dir_ / "out");
  SaveDocumentFile(doc, (dir_ / "D").string());

  const auto run = Run("run D");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ResultsIn(dir_ / "out").size(), 1u);
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind("outResults_", 0), 0u) << entry.path();
  const auto summarised = Run("summarise D");
  EXPECT_EQ(summarised.status, 0) << summarised.err;
  EXPECT_NE(summarised.out.find("Summarised 1 QAP problem with 1 experiment"), std::string::npos);
}

TEST_F(FirstHour, AMonitorRunIntoAMissingDirectoryIsRefusedBeforeSolving) {
  QuickDocument("nug12.dat");
  const auto monitor = Run("monitor D --problem problems/nug12.dat --out missing/dir/mon.txt");
  EXPECT_EQ(monitor.status, 1);
  EXPECT_NE(monitor.err.find("missing/dir/mon.txt"), std::string::npos) << monitor.err;
  EXPECT_NE(monitor.err.find("does not exist"), std::string::npos) << monitor.err;
  EXPECT_TRUE(ResultsIn(dir_ / "Results").empty());  // nothing was solved
}

TEST_F(FirstHour, AMissingProblemsDirectoryIsNamedAsMissing) {
  const auto created = Run("doc new D --problems nowhere");
  EXPECT_EQ(created.status, 0);
  EXPECT_NE(created.err.find("nowhere/ does not exist"), std::string::npos) << created.err;
  ASSERT_EQ(Run("exp add D").status, 0);
  const auto run = Run("run D");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("The problems directory " + (dir_ / "nowhere").string() + "/ does not exist"),
            std::string::npos)
      << run.err;

  // An empty directory keeps its own message, and is no failure.
  fs::create_directories(dir_ / "empty");
  const auto set = Run("doc set D --problems empty");
  EXPECT_EQ(set.status, 0);
  EXPECT_EQ(set.err, "");
  const auto none = Run("run D");
  EXPECT_EQ(none.status, 0);
  EXPECT_NE(none.err.find("Please make sure the problems directory contains some problems of the current type"),
            std::string::npos)
      << none.err;
}

TEST_F(FirstHour, TemporaryFilesOfDocumentsAndReportsLeftByADeadProcessAreRemoved) {
  QuickDocument("nug12.dat");
  fs::create_directories(dir_ / "reports");
  const fs::path besideDocument = LeaveDeadWritersTemporary(dir_);
  ASSERT_EQ(Run("doc set D --full reports/full.csv --summary reports/summary.csv").status, 0);
  EXPECT_FALSE(fs::exists(besideDocument));
  EXPECT_FALSE(fs::exists(besideDocument.string() + ".owner"));

  const fs::path besideReports = LeaveDeadWritersTemporary(dir_ / "reports");
  ASSERT_EQ(Run("run D").status, 0);
  ASSERT_EQ(Run("summarise D").status, 0);
  EXPECT_FALSE(fs::exists(besideReports));
  EXPECT_FALSE(fs::exists(besideReports.string() + ".owner"));
  EXPECT_TRUE(fs::exists(dir_ / "reports" / "full.csv"));
}

}  // namespace
}  // namespace mirelock
