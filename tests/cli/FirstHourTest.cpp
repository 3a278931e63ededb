// What a new user meets first: a batch on a new document's defaults, and the
// mistakes and set-ups that the command line must take in its stride. Each
// check here pins a defect that a first session met.
#include <sys/stat.h>

#include "CliTest.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DocumentFile.h"
#include "platform/UserMessages.h"

namespace mirelock::test {
namespace {

class FirstHour : public CliTest {
 protected:
  // Results files by name, and how many lines each holds.
  std::map<std::string, std::size_t> ResultsIn(const std::string& directory) {
    std::map<std::string, std::size_t> files;
    std::error_code error;
    for (fs::directory_iterator it(root_ / directory, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
      if (it->path().filename() == kSeedRecordName || it->path().extension() == ".trace") continue;
      const std::string text = ReadText(it->path());
      files[it->path().filename().string()] = std::count(text.begin(), text.end(), '\n');
    }
    return files;
  }

  // A problems directory with the bundled nug12 under `name`, and a document
  // D on it with one quick experiment. Its results directory is there
  // already, so that each test meets only its own defect.
  void QuickDocument(const std::string& name) {
    fs::create_directories(root_ / "problems");
    fs::create_directories(root_ / "Results");
    fs::copy_file(fs::path(MIRELOCK_TEST_DATA) / "qap" / "nug12.dat", root_ / "problems" / name);
    Mirelock("doc new D --problems problems");
    Mirelock("exp add D --max-repairs 200 --times-n off --runs 2 --decay-every 200");
  }
};

TEST_F(FirstHour, ANewDocumentsDefaultsSolveTheExamplesIntoANewResultsDirectory) {
  Mirelock("doc new D");
  Mirelock("exp add D");
  Mirelock("run D");
  // The bundled QAP examples, each with a complete file: header and ten runs.
  const auto results = ResultsIn("Results");
  ASSERT_EQ(results.size(), 3u);
  for (const auto& [name, lines] : results) EXPECT_EQ(lines, 11u) << name;
  ExpectIn(Run("summarise D").out, "Summarised 3 QAP problems with 1 experiment");

  // An emptied experiment list has nothing to summarise: the reports stay as they are.
  const std::string full = ReadText(root_ / "ResultsFull.csv"), summary = ReadText(root_ / "ResultsSummary.csv");
  ASSERT_FALSE(full.empty());
  Mirelock("exp delete D 0");
  const auto empty = Run("summarise D");
  EXPECT_EQ(empty.status, 1);
  ExpectIn(empty.err, "Please input some experiments to summarise");
  EXPECT_EQ(ReadText(root_ / "ResultsFull.csv"), full);
  EXPECT_EQ(ReadText(root_ / "ResultsSummary.csv"), summary);
}

TEST_F(FirstHour, AResultsFileNameOfAnyLegalLengthIsWritten) {
  // With the quick experiment's texts the results file name is 246 characters.
  QuickDocument(std::string(95, 'p') + ".dat");
  Mirelock("run D");
  const auto results = ResultsIn("Results");
  ASSERT_EQ(results.size(), 1u);
  EXPECT_GE(results.begin()->first.size(), 200u);
  EXPECT_LE(results.begin()->first.size(), 255u);
  EXPECT_EQ(results.begin()->second, 3u);
}

TEST_F(FirstHour, SavingThroughASymbolicLinkWritesItsTargetAndKeepsItsMode) {
  QuickDocument("nug12.dat");
  fs::create_directories(root_ / "kept");
  fs::rename(root_ / "D", root_ / "kept" / "real.mld");
  fs::create_symlink("kept/real.mld", root_ / "D");
  for (const char* report : {"full.csv", "summary.csv"}) {
    WriteFile((root_ / "kept" / report).string(), "old\n");
    fs::create_symlink(fs::path("kept") / report, root_ / report);
  }
  for (const char* name : {"real.mld", "full.csv", "summary.csv"}) ::chmod((root_ / "kept" / name).c_str(), 0600);

  Mirelock("doc set D --seed 9 --full full.csv --summary summary.csv");
  Mirelock("run D");
  Mirelock("summarise D");
  EXPECT_TRUE(fs::is_symlink(root_ / "D"));
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  LoadDocumentFile(doc, (root_ / "kept" / "real.mld").string());
  EXPECT_EQ(doc.m_nFixedSeed, 9u);
  for (const char* name : {"real.mld", "full.csv", "summary.csv"}) {
    struct stat status {};
    ASSERT_EQ(::stat((root_ / "kept" / name).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << name;
  }
  for (const char* report : {"full.csv", "summary.csv"}) {
    EXPECT_TRUE(fs::is_symlink(root_ / report)) << report;
    EXPECT_EQ(ReadText(root_ / "kept" / report).rfind("GLS experiment with", 0), 0u) << report;
  }
}

TEST_F(FirstHour, AResultsDirectoryWithoutItsSeparatorIsTheSameFolderForRunAndSummarise) {
  QuickDocument("nug12.dat");
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  LoadDocumentFile(doc, (root_ / "D").string());
  doc.m_strResultsDir = (root_ / "out").string();  // as another tool or an older save may store it
  fs::create_directories(root_ / "out");
  SaveDocumentFile(doc, (root_ / "D").string());

  Mirelock("run D");
  EXPECT_EQ(ResultsIn("out").size(), 1u);
  for (const auto& entry : fs::directory_iterator(root_))
    EXPECT_NE(entry.path().filename().string().rfind("outResults_", 0), 0u) << entry.path();
  ExpectIn(Run("summarise D").out, "Summarised 1 QAP problem with 1 experiment");
}

TEST_F(FirstHour, MissingDirectoriesAreNamedAndNothingIsSolved) {
  QuickDocument("nug12.dat");
  // A monitor run into a missing directory is refused before solving.
  const auto monitor = Run("monitor D --problem problems/nug12.dat --out missing/dir/mon.txt");
  EXPECT_EQ(monitor.status, 1);
  ExpectIn(monitor.err, "missing/dir/mon.txt");
  ExpectIn(monitor.err, "does not exist");
  EXPECT_TRUE(ResultsIn("Results").empty());

  // A missing problems directory is named as missing, by doc new and by run.
  const auto created = Run("doc new E --problems nowhere");
  EXPECT_EQ(created.status, 0);
  ExpectIn(created.err, "nowhere/ does not exist");
  Mirelock("exp add E");
  const auto run = Run("run E");
  EXPECT_EQ(run.status, 1);
  ExpectIn(run.err, "The problems directory " + (root_ / "nowhere").string() + "/ does not exist");

  // An empty directory keeps its own message, and is no failure.
  fs::create_directories(root_ / "empty");
  const auto set = Run("doc set E --problems empty");
  EXPECT_EQ(set.status, 0);
  EXPECT_EQ(set.err, "");
  const auto none = Run("run E");
  EXPECT_EQ(none.status, 0);
  ExpectIn(none.err, "Please make sure the problems directory contains some problems of the current type");
}

TEST_F(FirstHour, TemporaryFilesOfDocumentsAndReportsLeftByADeadProcessAreRemoved) {
  QuickDocument("nug12.dat");
  fs::create_directories(root_ / "reports");
  const std::string besideDocument = LeaveTemporary(root_.string() + "/", ".mirelock-dead01");
  Mirelock("doc set D --full reports/full.csv --summary reports/summary.csv");
  EXPECT_FALSE(fs::exists(besideDocument));
  EXPECT_FALSE(fs::exists(besideDocument + ".owner"));

  const std::string besideReports = LeaveTemporary((root_ / "reports").string() + "/", ".mirelock-dead01");
  Mirelock("run D");
  Mirelock("summarise D");
  EXPECT_FALSE(fs::exists(besideReports));
  EXPECT_FALSE(fs::exists(besideReports + ".owner"));
  EXPECT_TRUE(fs::exists(root_ / "reports" / "full.csv"));
}

}  // namespace
}  // namespace mirelock::test
