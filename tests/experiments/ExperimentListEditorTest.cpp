#include <gtest/gtest.h>

#include "experiments/CExperimentListEditor.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/ExperimentTable.h"
#include "platform/UserMessages.h"

namespace mirelock {
namespace {

CExperiment WithLambda(double lambda) {
  CExperiment ex;
  ex.m_dLambda = lambda;
  return ex;
}

TEST(ExperimentListEditor, AddOnEmptyListAndDuplicates) {
  RecordingMessages messages;
  CExperimentListEditor editor({}, messages);
  EXPECT_TRUE(editor.Table().fixedText.empty() && editor.Table().columns.empty() && editor.Table().rows.empty());
  EXPECT_FALSE(editor.StartEdit());
  EXPECT_FALSE(editor.Delete());
  EXPECT_FALSE(editor.MoveUp());
  EXPECT_FALSE(editor.MoveDown());

  ASSERT_TRUE(editor.ConfirmAdd(editor.StartAdd()));
  CExperiment first;  // the default, with aspiration and random moves
  first.m_bAspiration = true;
  first.m_dRandomMoveProb = 0.05;
  EXPECT_EQ(editor.Experiments()[0], first);
  EXPECT_EQ(editor.Selection(), 0u);
  // One experiment: everything fixed, the table has the id column only.
  ASSERT_EQ(editor.Table().columns.size(), 1u);
  EXPECT_EQ(editor.Table().columns[0].heading, "Exp Id");
  EXPECT_EQ(editor.Table().columns[0].widthPixels, 66);
  EXPECT_EQ(editor.Table().rows, (std::vector<std::vector<std::string>>{{"0"}}));

  // Add starts from the last one, so confirming it unchanged is a duplicate.
  EXPECT_FALSE(editor.ConfirmAdd(editor.StartAdd()));
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Experiment already in list."});
  EXPECT_EQ(editor.Experiments().size(), 1u);

  CExperiment second = editor.StartAdd();
  second.m_nPenaltyDecayEvery = 200;
  ASSERT_TRUE(editor.ConfirmAdd(second));
  EXPECT_EQ(editor.Selection(), 1u);

  // Edit without a change, and an edit into another row's values, are both refused.
  editor.Select(0);
  EXPECT_FALSE(editor.ConfirmEdit(*editor.StartEdit()));
  EXPECT_FALSE(editor.ConfirmEdit(second));
  EXPECT_EQ(messages.Messages().size(), 3u);
  CExperiment edited = *editor.StartEdit();
  edited.m_dPenaltyDecayFactor = 0.5;  // invisible in the texts, still a different experiment
  ASSERT_TRUE(editor.ConfirmEdit(edited));
  EXPECT_EQ(editor.Experiments()[0], edited);
  EXPECT_EQ(editor.Selection(), 0u);
}

// Edits reach the document only on commit, and set settings changed only
// when a worker exists and the list really changed.
TEST(ExperimentListEditor, MovesAtTheEndsDeleteAndCommit) {
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_experiments = {WithLambda(1), WithLambda(2), WithLambda(3)};
  CExperimentListEditor editor(doc.m_experiments, messages);
  EXPECT_FALSE(editor.MoveUp());  // no selection
  editor.Select(0);
  EXPECT_FALSE(editor.MoveUp());
  editor.Select(2);
  EXPECT_FALSE(editor.MoveDown());
  EXPECT_EQ(editor.Experiments()[2], WithLambda(3));

  ASSERT_TRUE(editor.MoveUp());
  EXPECT_EQ(editor.Selection(), 1u);
  EXPECT_EQ(editor.Experiments()[1], WithLambda(3));
  ASSERT_TRUE(editor.MoveUp());
  EXPECT_EQ(editor.Selection(), 0u);
  EXPECT_EQ(editor.Table().rows[0], (std::vector<std::string>{"0", "3"}));
  ASSERT_TRUE(editor.MoveDown());
  EXPECT_EQ(editor.Selection(), 1u);
  EXPECT_EQ(doc.m_experiments[0], WithLambda(1));  // not committed yet

  editor.CommitTo(doc, false);
  EXPECT_EQ(doc.m_experiments, (std::vector<CExperiment>{WithLambda(1), WithLambda(3), WithLambda(2)}));
  EXPECT_FALSE(doc.m_bSettingsChanged);
  CExperimentListEditor(doc.m_experiments, messages).CommitTo(doc, true);
  EXPECT_FALSE(doc.m_bSettingsChanged);

  editor.Select(7);
  EXPECT_FALSE(editor.Selection());
  editor.Select(2);
  ASSERT_TRUE(editor.Delete());
  EXPECT_FALSE(editor.Selection());
  editor.CommitTo(doc, true);
  EXPECT_EQ(doc.m_experiments, (std::vector<CExperiment>{WithLambda(1), WithLambda(3)}));
  EXPECT_TRUE(doc.m_bSettingsChanged);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(ExperimentListEditor, TableSplitsVaryingTextsAtTheFirstEquals) {
  CExperiment a;
  CExperiment b;
  b.m_nPenaltyDecayEvery = 200;
  b.m_bMaxRepairsTimesN = false;
  const ExperimentTable table = BuildExperimentTable({a, b});
  const std::string fixed = " Lambda=1 Aspiration=Off Sideways=2 Pr(random move)=Off History=Off Num runs=10";
  // Cut before the setting that would cross the 75th character, not inside it.
  EXPECT_EQ(table.fixedText, " Lambda=1 Aspiration=Off Sideways=2 Pr(random move)=Off History=Off\r\n Num runs=10\r\n");
  ASSERT_EQ(table.columns.size(), 3u);
  EXPECT_EQ(table.columns[1].heading, "Penalty decay");
  EXPECT_EQ(table.columns[1].widthPixels, 11 * 13);
  EXPECT_EQ(table.columns[2].heading, "Max repairs");
  EXPECT_EQ(table.rows[1], (std::vector<std::string>{"1", "0.8 every 200 local minima", "1000"}));
  EXPECT_EQ(table.rows[0], (std::vector<std::string>{"0", "Off", "1000*N"}));

  // The neighbourhood shows once an experiment uses fast local search: a
  // column when it varies, a fixed text when every experiment shares it.
  CExperiment fast = b;
  fast.m_nNeighbours = 10;
  const ExperimentTable mixed = BuildExperimentTable({b, fast});
  ASSERT_EQ(mixed.columns.size(), 2u);
  EXPECT_EQ(mixed.columns[1].heading, "Neighbourhood");
  EXPECT_EQ(mixed.rows[0], (std::vector<std::string>{"0", "Full"}));
  EXPECT_EQ(mixed.rows[1], (std::vector<std::string>{"1", "Fast 10 nearest"}));
  const ExperimentTable allFast = BuildExperimentTable({fast});
  std::string allFixed = allFast.fixedText;
  std::erase(allFixed, '\r'), std::erase(allFixed, '\n');
  EXPECT_NE(allFixed.find(" Neighbourhood=Fast 10 nearest"), std::string::npos);
  EXPECT_EQ(BuildExperimentTable({b}).fixedText.find("Neighbourhood"), std::string::npos);

  // Pieces of up to 75 characters, each ended by CR LF unless the text fits in one; a word longer than a
  // piece is cut, a blank at the 76th character needs no moving back, and no word is split otherwise.
  const std::string t75(75, 'x');
  EXPECT_EQ(CutIntoPieces(t75, 75), t75);
  EXPECT_EQ(CutIntoPieces(t75 + "y", 75), t75 + "\r\ny\r\n");
  EXPECT_EQ(CutIntoPieces(t75 + t75, 75), t75 + "\r\n" + t75 + "\r\n");
  EXPECT_EQ(CutIntoPieces(t75 + " y", 75), t75 + "\r\n y\r\n");
  const std::string decay = " " + std::string(60, 'a') + " Penalty decay=Off";
  EXPECT_EQ(CutIntoPieces(decay, 75), " " + std::string(60, 'a') + " Penalty\r\n decay=Off\r\n");
  const std::string words = " Lambda=1 Aspiration=Off Sideways=2 Pr(random move)=0.05 History=Off Penalty decay=Off "
                            "Max repairs=1000*N Num runs=10 Lambda=1 Aspiration=Off Sideways=2 Pr(random move)=0.05";
  const std::string cut = CutIntoPieces(words, 75);
  std::string joined;
  std::size_t start = 0;
  for (std::size_t end; (end = cut.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string piece = cut.substr(start, end - start);
    EXPECT_LE(piece.size(), 75u);
    EXPECT_TRUE(end + 2 == cut.size() || cut[end + 2] == ' ') << piece;  // the next piece starts a word
    joined += piece;
  }
  EXPECT_EQ(joined, words);
}

}  // namespace
}  // namespace mirelock
