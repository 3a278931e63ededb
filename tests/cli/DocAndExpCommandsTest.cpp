// mirelock doc and exp: flags reach the stored document, bad ones change nothing.
#include <memory>

#include "CliTest.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DocumentFile.h"
#include "platform/UserMessages.h"

namespace mirelock::test {
namespace {

class DocCommands : public CliTest {
 protected:
  std::unique_ptr<CMirelockDoc> Load() {
    auto doc = std::make_unique<CMirelockDoc>(&messages_);
    LoadDocumentFile(*doc, (root_ / "d.mld").string());
    return doc;
  }
  void ExpectRefused(const std::string& arguments, const std::string& message = "") {
    const auto before = EncodeDocument(*Load());
    const auto result = Run(arguments);
    EXPECT_EQ(result.status, 1) << arguments;
    EXPECT_FALSE(result.err.empty()) << arguments;
    if (!message.empty()) {
      EXPECT_EQ(result.err, message) << arguments;
    }
    EXPECT_EQ(EncodeDocument(*Load()), before) << arguments;
  }
  RecordingMessages messages_;
};

TEST_F(DocCommands, NewSetAndShow) {
  Mirelock("doc new d.mld");
  EXPECT_EQ(Run("doc new d.mld").status, 1);  // never replaces a document silently
  Mirelock("doc new d.mld --force --type sat --problems probs --ordering random --seed 7");
  auto doc = Load();
  EXPECT_EQ(doc->m_nProblemType, kProblemSAT);
  EXPECT_EQ(doc->m_strProblemsDir, (root_ / "probs").string() + "/");
  EXPECT_EQ(doc->m_strResultsDir, root_.string() + "/Results/");
  EXPECT_EQ(doc->m_nProblemOrdering, 1u);
  EXPECT_EQ(doc->m_nSeedMode, kSeedFixed);
  EXPECT_EQ(doc->m_nFixedSeed, 7u);

  Mirelock("doc set d.mld --seed-mode none --full /tmp/f.csv --results out/");
  doc = Load();
  EXPECT_EQ(doc->m_nSeedMode, kSeedNone);
  EXPECT_EQ(doc->m_nFixedSeed, 7u);
  EXPECT_EQ(doc->m_strFullResultsFile, "/tmp/f.csv");
  EXPECT_EQ(doc->m_strResultsDir, (root_ / "out").string() + "/");
  for (const char* bad : {"--type foo", "--seed-mode time --seed 3", "--seed -1", "--ordering sorted", "--bogus"})
    ExpectRefused(std::string("doc set d.mld ") + bad);

  const auto shown = Run("doc show d.mld");
  ASSERT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out.rfind("Problems directory is " + doc->m_strProblemsDir + "\nIndividual results directory is " +
                                doc->m_strResultsDir + "\nFull Results filename is /tmp/f.csv\n",
                            0),
            0u)
      << shown.out;
  EXPECT_NE(shown.out.find("The experiment list is empty."), std::string::npos);

  // An unreadable document: a clear message naming it, status 1.
  WriteFile((root_ / "cut.mld").string(), std::string("\x02\x00\x00\x00\x09/a", 7));
  const auto cut = Run("doc show cut.mld");
  EXPECT_EQ(cut.status, 1);
  EXPECT_EQ(cut.err, "An attempt was made to access cut.mld past its end.\n");
  EXPECT_EQ(Run("doc show missing.mld").status, 1);
}

TEST_F(DocCommands, ExperimentListFollowsTheEditorRules) {
  Mirelock("doc new d.mld");
  Mirelock("exp add d.mld");
  EXPECT_EQ(Load()->m_experiments, std::vector<CExperiment>{CExperiment::FirstOfEmptyList()});
  ExpectRefused("exp add d.mld", "Experiment already in list.\n");

  Mirelock("exp add d.mld --preset glssat2 --sideways 5 --runs 3");
  CExperiment expected = CExperiment::FirstOfEmptyList();
  expected.ApplyPresetGLSSAT2();
  expected.m_nSideways = 5;  // applied on top of the preset, whatever the flag order
  expected.m_nNumRuns = 3;
  ASSERT_EQ(Load()->m_experiments.size(), 2u);
  EXPECT_EQ(Load()->m_experiments[1], expected);

  for (const char* bad : {"exp edit d.mld 1",  // unchanged: a duplicate of itself
                          "exp edit d.mld 2 --runs 4", "exp add d.mld --random-moves 1.5",
                          "exp add d.mld --max-repairs 4294967296", "exp delete d.mld 2"})
    ExpectRefused(bad);
  Mirelock("exp edit d.mld 0 --lambda 0.5 --times-n off");
  EXPECT_EQ(Load()->m_experiments[0].GetParamAt(0), "Lambda=0.5");
  Mirelock("exp up d.mld 0");  // the first row: nothing moves, and no failure
  Mirelock("exp up d.mld 1");
  EXPECT_EQ(Load()->m_experiments[0], expected);
  EXPECT_NE(Run("exp list d.mld").out.find("Exp Id  Lambda  Aspiration"), std::string::npos);

  // The TSP neighbourhood: fast with 10 neighbours unless a count is given; 0 and a count for the full scan refused.
  Mirelock("exp add d.mld --neighbourhood fast");
  EXPECT_EQ(Load()->m_experiments.back().m_nNeighbours, 10u);
  Mirelock("exp edit d.mld 2 --neighbours 7");
  EXPECT_EQ(Load()->m_experiments.back().GetParamAt(8), "Neighbourhood=Fast 7 nearest");
  ExpectRefused("exp add d.mld --neighbours 0", "--neighbours 0: Please enter a number of neighbours of at least 1.\n");
  ExpectRefused("exp add d.mld --neighbours 5 --neighbourhood full");
  ExpectRefused("exp add d.mld --neighbourhood quick");
  EXPECT_NE(Run("exp list d.mld").out.find("Neighbourhood"), std::string::npos);
  Mirelock("exp delete d.mld 2");

  Mirelock("exp delete d.mld 0");
  ASSERT_EQ(Load()->m_experiments.size(), 1u);
  EXPECT_NE(Load()->m_experiments[0], expected);
  Mirelock("exp delete d.mld 0");
  ExpectRefused("exp delete d.mld 0", "d.mld holds no experiments.\n");
}

}  // namespace
}  // namespace mirelock::test
