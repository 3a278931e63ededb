// Switching documents in the window: nothing of one document's runs, monitor
// set-up or windows reaches the next, and unsaved edits are never lost
// without the user's word.
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <random>

#include "AppTestSupport.h"
#include "ModalSteps.h"
#include "app/DocumentSession.h"
#include "app/DocumentView.h"
#include "app/ProgressPane.h"
#include "app/ResultsWindow.h"
#include "experiments/DocumentFile.h"
#include "platform/UserMessages.h"
#include "runner/RunControls.h"
#include "summary/CSummariser.h"

using namespace mirelock;
using namespace mirelock::testing;

namespace {

// A QAPLIB instance of size n with small random flows and distances.
QByteArray QapInstance(int n, unsigned seed) {
  std::mt19937 random(seed);
  QByteArray text = QByteArray::number(n) + "\n\n";
  for (int matrix = 0; matrix < 2; ++matrix) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) text += QByteArray::number(i == j ? 0 : static_cast<int>(random() % 10)) + ' ';
      text += '\n';
    }
    text += '\n';
  }
  return text;
}

// Five problems p1 .. p5 with best.txt: the first two small, the others large
// enough that a long experiment spends seconds on each.
void WriteFiveProblems(const QString& folder) {
  QVERIFY(QDir().mkpath(folder));
  QByteArray best;
  for (int k = 1; k <= 5; ++k) {
    const QByteArray name = "p" + QByteArray::number(k) + ".dat";
    WriteText(folder + "/" + name, QapInstance(k <= 2 ? 12 : 40, static_cast<unsigned>(k)));
    best += name + " 1000\n";
  }
  WriteText(folder + "/best.txt", best);
}

void PointAt(CMirelockDoc& doc, const QTemporaryDir& dir, const QString& sub) {
  doc.m_nProblemType = kProblemQAP;
  doc.m_strProblemsDir = (dir.filePath(sub + "/problems") + "/").toStdString();
  doc.m_strResultsDir = (dir.filePath(sub + "/results") + "/").toStdString();
  doc.m_strFullResultsFile = dir.filePath(sub + "/ResultsFull.csv").toStdString();
  doc.m_strSummaryFile = dir.filePath(sub + "/ResultsSummary.csv").toStdString();
  QVERIFY(QDir().mkpath(dir.filePath(sub + "/results")));
}

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class DocumentSessionTest : public QObject {
  Q_OBJECT

 private slots:
  void summariseAfterOpenUsesTheOpenedDocumentsProblems();
  void unsavedEditsAreSavedOrDiscardedOnlyWhenTheUserSays();
  void monitorSetUpAndRunStateStayWithTheirDocument();
};

// Open A, start, pause after two problems, abandon; open B, whose five
// problems are complete; Summarise summarises B's five problems and writes
// exactly what B's own summary holds.
void DocumentSessionTest::summariseAfterOpenUsesTheOpenedDocumentsProblems() {
  QTemporaryDir dir;
  // B, run to the end and summarised outside the window, as the command line does.
  WriteFiveProblems(dir.filePath("b/problems"));
  const QString bPath = dir.filePath("b.mirel");
  QByteArray bSummary;
  {
    RecordingMessages quiet;
    CMirelockDoc b(&quiet);
    PointAt(b, dir, "b");
    b.m_experiments = {Experiment(1, 20, 2)};
    SaveDocumentFile(b, bPath.toStdString());
    RunControls controls(b, quiet);
    controls.Start();
    controls.WaitForWorkerEnd();
    QVERIFY(CSummariser(b, quiet).Summarise());
    bSummary = Bytes(dir.filePath("b/ResultsSummary.csv"));
    QVERIFY(!bSummary.isEmpty());
  }

  MainWindow window;
  window.show();
  WriteFiveProblems(dir.filePath("a/problems"));
  PointAt(window.Document(), dir, "a");
  window.Document().m_experiments = {Experiment(1, 100000, 1)};
  window.Action("actionStart")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(window.Controls().UnderLock([&] { return window.Document().m_nProblemsSolved >= 2; }),
                           120000);
  window.Action("actionStop")->trigger();
  QVERIFY(window.Controls().CurrentPauseGate()->WaitUntilParked());
  const std::size_t solved = window.Controls().UnderLock([&] { return window.Document().m_solvedProblems.size(); });
  QVERIFY2(solved >= 2 && solved < 5, qPrintable(QString::number(solved)));
  window.Action("actionAbandon")->trigger();
  QVERIFY(!window.Controls().HasWorker());

  ModalSteps steps;
  AnswerSaveChanges(steps, QMessageBox::Discard);  // A was never saved
  QVERIFY(window.OpenDocument(bPath));
  VERIFY_STEPS(steps);
  MessageCatcher catcher;
  window.Action("actionSummarise")->trigger();
  QVERIFY2(catcher.Texts().isEmpty(), qPrintable(catcher.Texts().join("; ")));
  QCOMPARE(Bytes(dir.filePath("b/ResultsSummary.csv")), bSummary);
  QVERIFY(window.Results());
  const QString caption = window.Results()->findChild<QLabel*>("resultsCaption")->text();
  QVERIFY2(caption.startsWith("5 problems x 1 experiments"), qPrintable(caption));
}

// Close, Open and New ask "Save changes?" when the document holds edits:
// Cancel keeps everything, Discard leaves the file as it was, Save writes it.
void DocumentSessionTest::unsavedEditsAreSavedOrDiscardedOnlyWhenTheUserSays() {
  QTemporaryDir dir;
  const QString first = dir.filePath("first.mirel");
  const QString second = dir.filePath("second.mirel");
  const QString third = dir.filePath("third.mirel");
  {
    RecordingMessages quiet;
    CMirelockDoc other(&quiet);
    other.m_strProblemsDir = "/second/problems/";
    SaveDocumentFile(other, second.toStdString());
  }
  MainWindow window;
  window.show();
  QVERIFY(window.windowTitle().contains("[*]"));
  QVERIFY(!window.isWindowModified());
  window.SetChooserRunner([&](QFileDialog&) { return first; });
  window.Action("actionSaveAs")->trigger();
  const QByteArray saved = Bytes(first);
  QVERIFY(!saved.isEmpty());
  QVERIFY(!window.isWindowModified());

  // An edit through a menu marks the window; choosing the same value again does not unmark it.
  window.SetChooserRunner([&](QFileDialog&) { return dir.filePath("edited"); });
  window.Action("actionProblemsDirectory")->trigger();
  QVERIFY(window.isWindowModified());
  QVERIFY(window.Session().IsModified());

  // Close: Cancel keeps the window and the edit.
  ModalSteps steps;
  AnswerSaveChanges(steps, QMessageBox::Cancel);
  QVERIFY(!window.close());
  VERIFY_STEPS(steps);
  QVERIFY(window.isVisible() && window.isWindowModified());

  // Open: Discard opens the other document and leaves the file of the first as it was.
  AnswerSaveChanges(steps, QMessageBox::Discard);
  QVERIFY(window.OpenDocument(second));
  VERIFY_STEPS(steps);
  QCOMPARE(Bytes(first), saved);
  QCOMPARE(window.Document().m_strProblemsDir, std::string("/second/problems/"));
  QVERIFY(!window.isWindowModified());

  // New: Save writes the edit into the opened document's file first.
  window.Document().m_experiments = {Experiment(2.5, 100, 3)};
  window.UpdateCommands();
  QVERIFY(window.isWindowModified());
  AnswerSaveChanges(steps, QMessageBox::Save);
  window.Action("actionNew")->trigger();
  VERIFY_STEPS(steps);
  {
    RecordingMessages quiet;
    CMirelockDoc reread(&quiet);
    QVERIFY(LoadDocumentFile(reread, second.toStdString()));
    QCOMPARE(reread.m_experiments.size(), std::size_t{1});
    QCOMPARE(reread.m_experiments[0].m_dLambda, 2.5);
  }
  QVERIFY(window.windowTitle().startsWith("Untitled"));
  QVERIFY(!window.isWindowModified());  // New keeps the experiment list; nothing new to save yet

  // Open with Cancel: the document stays as it is.
  window.Document().m_nFixedSeed = 99;
  AnswerSaveChanges(steps, QMessageBox::Cancel);
  QVERIFY(!window.OpenDocument(first));
  VERIFY_STEPS(steps);
  QCOMPARE(window.Document().m_nFixedSeed.load(), 99u);

  // Close an untitled document with Save: the Save As chooser names the file, then the window closes.
  window.SetChooserRunner([&](QFileDialog&) { return third; });
  AnswerSaveChanges(steps, QMessageBox::Save);
  QVERIFY(window.close());
  VERIFY_STEPS(steps);
  RecordingMessages quiet;
  CMirelockDoc reread(&quiet);
  QVERIFY(LoadDocumentFile(reread, third.toStdString()));
  QCOMPARE(reread.m_nFixedSeed.load(), 99u);
}

// A TSP document's monitor problem does not follow into a QAP document, a
// monitor run of a problem of another type is refused before anything is
// written, and a paused run is abandoned for another document only when the
// user agrees; the progress pane then starts afresh.
void DocumentSessionTest::monitorSetUpAndRunStateStayWithTheirDocument() {
  QTemporaryDir dir;
  const QString tspPath = dir.filePath("tsp.mirel");
  const QString qapPath = dir.filePath("qap.mirel");
  {
    RecordingMessages quiet;
    CMirelockDoc tsp(&quiet);
    PointAt(tsp, dir, "t");
    tsp.m_nProblemType = kProblemTSP;
    SaveDocumentFile(tsp, tspPath.toStdString());
    CMirelockDoc qap(&quiet);
    PointAt(qap, dir, "q");
    qap.m_experiments = {Experiment(1, 4000000, 1)};
    SaveDocumentFile(qap, qapPath.toStdString());
  }
  QVERIFY(CopyExamples("tsp", {"burma14.tsp"}, dir.filePath("t/problems")));
  QVERIFY(CopyExamples("qap", {"nug12.dat", "best.txt"}, dir.filePath("q/problems")));

  MainWindow window;
  window.show();
  QVERIFY(window.OpenDocument(tspPath));
  CMirelockDoc& doc = window.Document();
  window.SetChooserRunner([&](QFileDialog&) { return dir.filePath("t/problems/burma14.tsp"); });
  window.Action("actionMonitorProblem")->trigger();
  window.SetChooserRunner([&](QFileDialog&) { return dir.filePath("monitor.txt"); });
  window.Action("actionMonitorOutput")->trigger();
  QCOMPARE(window.View()->LineTexts().size(), 8);

  QVERIFY(window.OpenDocument(qapPath));
  QVERIFY2(doc.m_strMonitorProblem.empty(), doc.m_strMonitorProblem.c_str());
  QCOMPARE(window.View()->LineTexts().size(), 4);
  // Solve problem then runs the QAP batch, not the TSP file.
  doc.m_strMonitorProblem = dir.filePath("t/problems/burma14.tsp").toStdString();  // as if it had leaked
  ModalSteps steps;
  QStringList messages;
  steps.Message(&messages);
  window.Action("actionSolveProblem")->trigger();
  VERIFY_STEPS(steps);
  QVERIFY2(messages.value(0).startsWith("The monitor problem burma14.tsp is not a QAP problem (.dat)"),
           qPrintable(messages.value(0)));
  QVERIFY(!window.Controls().HasWorker());
  QVERIFY(QDir(dir.filePath("q/results")).isEmpty());
  // Changing the type drops a monitor problem of the old type.
  window.Action("actionType3")->trigger();
  QVERIFY(!doc.m_strMonitorProblem.empty());  // a TSP problem fits the TSP type
  window.Action("actionType2")->trigger();
  QVERIFY(doc.m_strMonitorProblem.empty());

  // A paused batch: Stay keeps it and the document, Abandon switches to a fresh pane.
  window.Action("actionStart")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!window.Controls().Progress().workers.empty(), 20000);
  window.Action("actionStop")->trigger();
  QVERIFY(window.Controls().CurrentPauseGate()->WaitUntilParked());
  window.Progress()->Refresh();
  QCOMPARE(window.Progress()->StateText(), QStringLiteral("PAUSED"));
  QStringList asked;
  window.Session().SetRunQuestion([&](const QString& what) {
    asked << what;
    return asked.size() > 1;
  });
  // The type was changed and changed back: nothing to save, so no Save question comes.
  QVERIFY(!window.Session().IsModified());
  QVERIFY(!window.OpenDocument(tspPath));
  QVERIFY(window.Controls().HasWorker());
  QCOMPARE(doc.m_nProblemType, kProblemQAP);
  QVERIFY(window.OpenDocument(tspPath));
  QCOMPARE(asked, (QStringList{"open another document", "open another document"}));
  QVERIFY(!window.Controls().HasWorker());
  QCOMPARE(doc.m_nProblemType, kProblemTSP);
  QVERIFY(!doc.m_bRunStarted);
  QVERIFY(doc.m_solvedProblems.empty());
  QCOMPARE(window.Progress()->StateText(), QStringLiteral("Idle"));
  QVERIFY2(window.Progress()->TimeText().isEmpty(), qPrintable(window.Progress()->TimeText()));
  QCOMPARE(window.Progress()->Percent(), 0);
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<DocumentSessionTest>(argc, argv); }

#include "DocumentSessionTest.moc"
