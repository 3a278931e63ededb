#include <gtest/gtest.h>

#include "UnusualExperiment.h"
#include "common/TempDir.h"
#include "common/TestSupport.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DocumentFile.h"
#include "platform/UserMessages.h"

namespace mirelock {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

TEST(DocumentFile, StoredBytesAndLengthPrefixes) {
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_strProblemsDir = "C:\\P\\";
  doc.m_strResultsDir = std::string(254, 'r');       // the longest one-byte length
  doc.m_strFullResultsFile = std::string(255, 'f');  // 0xFF, then a 16-bit length
  doc.m_strSummaryFile = std::string(0x10000, 's');  // beyond 16 bits: 0xFF 0xFFFF, then 32 bits
  const Bytes bytes = EncodeDocument(doc);
  const auto at = [&bytes](std::size_t pos, std::size_t n) { return Bytes(bytes.begin() + pos, bytes.begin() + pos + n); };
  // The problem type (QAP), then each string after its length.
  EXPECT_EQ(at(0, 10), (Bytes{0x02, 0x00, 0x00, 0x00, 0x05, 0x43, 0x3A, 0x5C, 0x50, 0x5C}));
  EXPECT_EQ(at(10, 1), Bytes{254});
  EXPECT_EQ(at(10 + 255, 3), (Bytes{0xFF, 0xFF, 0x00}));
  std::size_t pos = 10 + 255 + 3 + 255;
  EXPECT_EQ(at(pos, 7), (Bytes{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}));
  pos += 7 + 0x10000;
  // An empty list (count 0), then ordering 0, seed mode 1 and seed 21.
  EXPECT_EQ(Bytes(bytes.begin() + pos, bytes.end()), (Bytes{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 21, 0, 0, 0}));

  CMirelockDoc back(&messages);
  ASSERT_TRUE(DecodeDocument(bytes, "long.mld", back));
  EXPECT_EQ(EncodeDocument(back), bytes);
}

TEST(DocumentFile, SaveAndOpenReproduceEveryStoredField) {
  test::TempDir dir;
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_nProblemType = kProblemTSP;
  doc.m_strProblemsDir = "/data/tsp/";
  doc.m_strResultsDir = "/data/out/";
  doc.m_strFullResultsFile = "/data/full.csv";
  doc.m_strSummaryFile = "/data/summary.csv";
  doc.m_experiments = {CExperiment(), test::UnusualExperiment()};
  doc.m_nProblemOrdering = 1;
  doc.m_nSeedMode = kSeedNone;
  doc.m_nFixedSeed = 4000000000u;
  doc.m_strMonitorProblem = "/data/tsp/a.tsp";
  doc.m_nMonitorEvery = 9;
  SaveDocumentFile(doc, dir.Path("doc.mld"));
  // Written whole under its name: no temporary file is left beside it, only the lock file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path("")), fs::directory_iterator()), 2);
  EXPECT_TRUE(fs::exists(dir.Path("doc.mld.lock")));

  // Every stored field differs from its default, so equal encodings mean every field came back.
  CMirelockDoc back(&messages);
  back.m_bRunStarted = true;
  ASSERT_TRUE(OpenDocumentFile(back, dir.Path("doc.mld"), messages));
  EXPECT_EQ(EncodeDocument(back), EncodeDocument(doc));
  EXPECT_EQ(back.m_experiments, doc.m_experiments);  // the hidden decay factor too
  EXPECT_TRUE(back.m_bSettingsChanged);              // opened after a run was started
  EXPECT_TRUE(back.m_strMonitorProblem.empty());     // monitor settings are not stored
  EXPECT_EQ(back.m_nMonitorEvery, 1u);
  EXPECT_TRUE(messages.Messages().empty());

  // An empty file opens and changes nothing, not even settings changed.
  test::WriteFile(dir.Path("empty.mld"), "");
  CMirelockDoc fresh(&messages);
  fresh.m_bRunStarted = true;
  const Bytes before = EncodeDocument(fresh);
  ASSERT_TRUE(OpenDocumentFile(fresh, dir.Path("empty.mld"), messages));
  EXPECT_EQ(EncodeDocument(fresh), before);
  EXPECT_FALSE(fresh.m_bSettingsChanged);
}

TEST(DocumentFile, SixteenBitStringsAreReadAsUtf8) {
  Bytes bytes = {2, 0, 0, 0};
  // 0xFF 0xFFFE then a one-byte length of 3 characters: "C:\u00e9" little-endian.
  const Bytes narrowPath = {0xFF, 0xFE, 0xFF, 0x03, 'C', 0x00, ':', 0x00, 0xE9, 0x00};
  bytes.insert(bytes.end(), narrowPath.begin(), narrowPath.end());
  // A 16-bit string with a surrogate pair (U+1F600) and a 16-bit length prefix.
  for (std::uint8_t b : {0xFF, 0xFE, 0xFF, 0xFF, 0x02, 0x00, 0x3D, 0xD8, 0x00, 0xDE}) bytes.push_back(b);
  for (std::uint8_t b : {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) bytes.push_back(b);  // "" "" 0 0
  bytes.resize(bytes.size() + 4, 0);                                                           // seed
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  ASSERT_TRUE(DecodeDocument(bytes, "wide.mld", doc));
  EXPECT_EQ(doc.m_strProblemsDir, "C:\xC3\xA9");
  EXPECT_EQ(doc.m_strResultsDir, "\xF0\x9F\x98\x80");
  EXPECT_EQ(doc.m_nFixedSeed, 0u);
}

// Malformed files: those in tests/data/experiments/doc, each named after its
// defect, and every cut of a valid file. Each is refused with a message that
// names it; the list is restored and the rest set up as a new document.
TEST(DocumentFile, MalformedFilesAreRefusedAndOpenRestoresTheList) {
  const std::string dir = test::TestData("experiments/doc/");
  const std::string pastEnd = "An attempt was made to access %s past its end.";
  std::vector<std::pair<std::string, std::string>> cases = {
      {dir + "string-past-end.mld", pastEnd},
      {dir + "string-length-4g.mld", pastEnd},
      {dir + "string-length-64bit.mld", pastEnd},
      {dir + "wide-string-odd-bytes.mld", pastEnd},
      {dir + "experiment-count-4g.mld", pastEnd},
      {dir + "experiment-record-cut.mld", pastEnd},
      {dir + "seed-missing.mld", pastEnd},
      {dir + "one-byte.mld", pastEnd},
      {dir + "problem-type-7.mld",
       "%s holds the problem type 7; a document file holds 0 (SAT), 1 (MAX-SAT), 2 (QAP) or 3 (TSP)."},
  };
  test::TempDir scratch;
  RecordingMessages messages;
  CMirelockDoc valid(&messages);
  valid.m_experiments = {CExperiment()};
  valid.m_strProblemsDir = std::string(300, 'p');
  const Bytes full = EncodeDocument(valid);
  for (std::size_t n = 1; n < full.size(); ++n) {
    cases.emplace_back(scratch.Path("cut-" + std::to_string(n) + ".mld"), pastEnd);
    test::WriteFile(cases.back().first, std::string(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)));
  }
  for (const auto& [path, pattern] : cases) {
    std::string expected = pattern;
    expected.replace(expected.find("%s"), 2, path);
    RecordingMessages shown;
    CMirelockDoc doc(&shown);
    const std::vector<CExperiment> list = {CExperiment(), CExperiment::FirstOfEmptyList()};
    doc.m_experiments = list;
    doc.m_nProblemType = kProblemSAT;
    doc.m_bRunStarted = true;
    doc.m_bSettingsChanged = true;
    EXPECT_FALSE(OpenDocumentFile(doc, path, shown)) << path;
    EXPECT_EQ(shown.Messages(), std::vector<std::string>{expected}) << path;
    EXPECT_EQ(doc.m_experiments, list) << path;
    EXPECT_EQ(doc.m_nProblemType, kProblemQAP) << path;  // set up as a new document
    EXPECT_FALSE(doc.m_bSettingsChanged) << path;
  }
  CMirelockDoc doc(&messages);
  EXPECT_THROW(LoadDocumentFile(doc, dir + "no-such-file.mld"), DocumentFileError);
  EXPECT_THROW(LoadDocumentFile(doc, dir), DocumentFileError);
}

TEST(DocumentFile, NewDocumentKeepsTheKeptValues) {
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  const std::string cwd = fs::current_path().string();
  EXPECT_EQ(doc.m_strResultsDir, cwd + "/Results/");
  EXPECT_EQ(doc.m_strFullResultsFile, cwd + "/ResultsFull.csv");
  EXPECT_EQ(doc.m_strSummaryFile, cwd + "/ResultsSummary.csv");

  doc.m_experiments = {CExperiment()};
  doc.m_strMonitorProblem = "/p/a.dat";
  doc.m_strMonitorOutputFile = "/p/mon.txt";
  doc.m_monitorExperiment.m_nNumRuns = 2;
  doc.m_nMonitorEvery = 50;
  doc.m_nProblemType = kProblemSAT;
  doc.m_nSeedMode = kSeedFromTime;
  doc.m_bSettingsChanged = true;
  doc.m_bRunStarted = true;

  const std::vector<ViewLine> lines = doc.ViewLines();
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4].text, "Individual detailed monitor run statistics selected for every 50 repairs:");
  EXPECT_EQ(
      lines[6].text,
      "Experiment settings are Lambda=1 Aspiration=Off Sideways=2 Pr(random move)=Off History=Off Penalty "
      "decay=Off Max repairs=1000*N Num runs=2");
  const RunSettings run = doc.CurrentRunSettings(true);
  EXPECT_EQ(run.monitorFile, "/p/mon.txt");
  EXPECT_EQ(run.monitorEvery, 50u);
  EXPECT_EQ(run.seedMode, kSeedFromTime);

  // New keeps the list and the monitor run; the rest is as in a new document (see the stored bytes).
  doc.NewDocument();
  EXPECT_EQ(doc.m_experiments.size(), 1u);
  EXPECT_EQ(doc.m_strMonitorProblem, "/p/a.dat");
  EXPECT_EQ(doc.m_monitorExperiment.m_nNumRuns, 2u);
  EXPECT_EQ(doc.m_nMonitorEvery, 1u);
  EXPECT_FALSE(doc.m_bSettingsChanged);
  EXPECT_FALSE(doc.m_bRunStarted);
  doc.m_strMonitorProblem.clear();
  EXPECT_EQ(doc.ViewLines().size(), 4u);
}

}  // namespace
}  // namespace mirelock

namespace mirelock {
namespace {

// Fast local search is stored apart from the 52-byte records, in a document of
// format 1: without it a document keeps the plain layout byte for byte; with it
// the document round-trips here and a reader of the plain layout alone (as a
// build without the setting reads) refuses it for its first word.
TEST(DocumentFile, NeighbourhoodSettingRoundTripsAndOlderReadersRefuseIt) {
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_nProblemType = kProblemTSP;
  doc.m_strProblemsDir = "/p/";
  doc.m_experiments = {CExperiment(), CExperiment()};
  doc.m_experiments[1].m_nSideways = 7;
  const Bytes plain = EncodeDocument(doc);
  EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 4), (Bytes{3, 0, 0, 0}));
  // Nothing after the fixed seed (ordering 0, seed mode 1, seed 21).
  EXPECT_EQ(Bytes(plain.end() - 12, plain.end()), (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 21, 0, 0, 0}));
  CMirelockDoc plainBack(&messages);
  ASSERT_TRUE(DecodeDocument(plain, "plain.mld", plainBack, DocumentFormats::kPlainOnly));
  EXPECT_EQ(EncodeDocument(plainBack), plain);

  doc.m_experiments[1].m_nNeighbours = 12;
  const Bytes extended = EncodeDocument(doc);
  // Format 1 beside the problem type; the plain layout; the count and one neighbour count per experiment.
  EXPECT_EQ(Bytes(extended.begin(), extended.begin() + 4), (Bytes{3, 0, 1, 0}));
  EXPECT_TRUE(std::equal(plain.begin() + 4, plain.end(), extended.begin() + 4));
  EXPECT_EQ(Bytes(extended.begin() + plain.size(), extended.end()), (Bytes{2, 0, 0, 0, 0, 0, 12, 0, 0, 0}));

  CMirelockDoc back(&messages);
  ASSERT_TRUE(DecodeDocument(extended, "fast.mld", back));
  EXPECT_EQ(back.m_experiments, doc.m_experiments);
  EXPECT_EQ(back.m_nProblemType, kProblemTSP);
  EXPECT_EQ(EncodeDocument(back), extended);

  // The reader of the plain layout: refused, naming the file, never read without the setting.
  CMirelockDoc old(&messages);
  try {
    DecodeDocument(extended, "fast.mld", old, DocumentFormats::kPlainOnly);
    ADD_FAILURE() << "a reader of the plain layout accepted a format-1 document";
  } catch (const DocumentFileError& error) {
    EXPECT_STREQ(error.what(),
                 "fast.mld holds the problem type 65539; a document file holds 0 (SAT), 1 (MAX-SAT), 2 (QAP) or "
                 "3 (TSP).");
  }
  EXPECT_TRUE(old.m_experiments.empty());

  // A later format, and settings for another number of experiments, are refused.
  Bytes later = extended;
  later[2] = 2;
  EXPECT_THROW(DecodeDocument(later, "later.mld", old), DocumentFileError);
  try {
    DecodeDocument(later, "later.mld", old);
  } catch (const DocumentFileError& error) {
    EXPECT_STREQ(error.what(), "later.mld is a document of format 2, written by a newer Mirelock; this one reads "
                               "formats 0 to 1.");
  }
  Bytes mismatched = extended;
  mismatched[plain.size()] = 3;
  EXPECT_THROW(DecodeDocument(mismatched, "odd.mld", old), DocumentFileError);
  Bytes cut(extended.begin(), extended.end() - 1);
  EXPECT_THROW(DecodeDocument(cut, "cut.mld", old), DocumentFileError);
}

}  // namespace
}  // namespace mirelock
