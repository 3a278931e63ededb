#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "CommandRunner.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DocumentFile.h"
#include "platform/UserMessages.h"

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using test::RunMirelock;

class DocCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mirelock-cli-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  test::CommandResult Run(const std::string& arguments) { return RunMirelock(dir_.string(), arguments); }

  std::unique_ptr<CMirelockDoc> Load() {
    auto doc = std::make_unique<CMirelockDoc>(&messages_);
    LoadDocumentFile(*doc, (dir_ / "d.mld").string());
    return doc;
  }

  fs::path dir_;
  RecordingMessages messages_;
};

TEST_F(DocCommands, NewSetAndShow) {
  ASSERT_EQ(Run("doc new d.mld").status, 0);
  EXPECT_EQ(Run("doc new d.mld").status, 1);  // never replaces a document silently
  ASSERT_EQ(Run("doc new d.mld --force --type sat --problems probs --ordering random --seed 7").status, 0);
  auto doc = Load();
  EXPECT_EQ(doc->m_nProblemType, kProblemSAT);
  EXPECT_EQ(doc->m_strProblemsDir, (dir_ / "probs").string() + "/");
  EXPECT_EQ(doc->m_strResultsDir, dir_.string() + "/Results/");
  EXPECT_EQ(doc->m_nProblemOrdering, 1u);
  EXPECT_EQ(doc->m_nSeedMode, kSeedFixed);
  EXPECT_EQ(doc->m_nFixedSeed, 7u);

  ASSERT_EQ(Run("doc set d.mld --seed-mode none --full /tmp/f.csv --results out/").status, 0);
  doc = Load();
  EXPECT_EQ(doc->m_nSeedMode, kSeedNone);
  EXPECT_EQ(doc->m_nFixedSeed, 7u);
  EXPECT_EQ(doc->m_strFullResultsFile, "/tmp/f.csv");
  EXPECT_EQ(doc->m_strResultsDir, (dir_ / "out").string() + "/");

  // Bad flags change nothing and end with status 1.
  const auto before = EncodeDocument(*doc);
  for (const char* bad :
       {"--type foo", "--seed-mode time --seed 3", "--seed -1", "--ordering sorted", "--bogus"}) {
    const auto result = Run(std::string("doc set d.mld ") + bad);
    EXPECT_EQ(result.status, 1) << bad;
    EXPECT_FALSE(result.err.empty()) << bad;
    EXPECT_EQ(EncodeDocument(*Load()), before) << bad;
  }

  const auto shown = Run("doc show d.mld");
  ASSERT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out.rfind("Problems directory is " + doc->m_strProblemsDir + "\n" +
                                "Individual results directory is " + doc->m_strResultsDir + "\n" +
                                "Full Results filename is /tmp/f.csv\n",
                            0),
            0u)
      << shown.out;
  EXPECT_NE(shown.out.find("The experiment list is empty."), std::string::npos);

  // An unreadable document: a clear message naming it, status 1.
  std::ofstream(dir_ / "cut.mld", std::ios::binary) << std::string("\x02\x00\x00\x00\x09/a", 7);
  const auto cut = Run("doc show cut.mld");
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.err, "An attempt was made to access cut.mld past its end.\n");
  EXPECT_EQ(Run("doc show missing.mld").status, 1);
}

TEST_F(DocCommands, ExperimentListFollowsTheEditorRules) {
  ASSERT_EQ(Run("doc new d.mld").status, 0);
  ASSERT_EQ(Run("exp add d.mld").status, 0);
  EXPECT_EQ(Load()->m_experiments, std::vector<CExperiment>{CExperiment::FirstOfEmptyList()});

  const auto duplicate = Run("exp add d.mld");
  EXPECT_EQ(duplicate.status, 1);
  EXPECT_EQ(duplicate.err, "Experiment already in list.\n");

  ASSERT_EQ(Run("exp add d.mld --preset glssat2 --sideways 5 --runs 3").status, 0);
  CExperiment expected = CExperiment::FirstOfEmptyList();
  expected.ApplyPresetGLSSAT2();
  expected.m_nSideways = 5;  // applied on top of the preset, whatever the flag order
  expected.m_nNumRuns = 3;
  ASSERT_EQ(Load()->m_experiments.size(), 2u);
  EXPECT_EQ(Load()->m_experiments[1], expected);

  EXPECT_EQ(Run("exp edit d.mld 1").status, 1);  // unchanged: a duplicate of itself
  EXPECT_EQ(Run("exp edit d.mld 2 --runs 4").status, 1);
  EXPECT_EQ(Run("exp add d.mld --random-moves 1.5").status, 1);
  EXPECT_EQ(Run("exp add d.mld --max-repairs 4294967296").status, 1);
  ASSERT_EQ(Run("exp edit d.mld 0 --lambda 0.5 --times-n off").status, 0);
  EXPECT_EQ(Load()->m_experiments[0].GetParamAt(0), "Lambda=0.5");

  ASSERT_EQ(Run("exp up d.mld 0").status, 0);  // first row: nothing moves
  EXPECT_EQ(Load()->m_experiments[1], expected);
  ASSERT_EQ(Run("exp up d.mld 1").status, 0);
  EXPECT_EQ(Load()->m_experiments[0], expected);
  ASSERT_EQ(Run("exp down d.mld 1").status, 0);  // last row
  EXPECT_EQ(Load()->m_experiments[0], expected);

  const auto listed = Run("exp list d.mld");
  ASSERT_EQ(listed.status, 0);
  EXPECT_NE(listed.out.find("Exp Id  Lambda  Aspiration"), std::string::npos) << listed.out;

  ASSERT_EQ(Run("exp delete d.mld 0").status, 0);
  ASSERT_EQ(Load()->m_experiments.size(), 1u);
  EXPECT_EQ(Run("exp delete d.mld 1").status, 1);
  ASSERT_EQ(Run("exp delete d.mld 0").status, 0);
  const auto empty = Run("exp delete d.mld 0");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "d.mld holds no experiments.\n");
}

}  // namespace
}  // namespace mirelock
