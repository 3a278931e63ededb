// The desktop window driven as a researcher would: menus, dialogs, a batch
// with Stop and Start, and Summarise.
#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "AppTestSupport.h"
#include "ModalSteps.h"
#include "app/DocumentView.h"
#include "app/ExperimentListDialog.h"
#include "app/MonitorEveryDialog.h"
#include "app/ParameterDialog.h"
#include "app/ProgressStatusBar.h"
#include "app/TerminationDialog.h"
#include "runner/RunControls.h"

using namespace mirelock;
using namespace mirelock::testing;

namespace {

// The commands that a run disables (Stop the other way round), and those always available.
void VerifyEnabledStates(MainWindow& window, bool running) {
  for (const char* name :
       {"actionNew", "actionOpen", "actionType0", "actionType1", "actionType2", "actionType3",
        "actionProblemsDirectory", "actionResultsDirectory", "actionEditExperiments", "actionStart"})
    QVERIFY2(window.Action(QString::fromLatin1(name))->isEnabled() == !running, name);
  QCOMPARE(window.Action(QStringLiteral("actionStop"))->isEnabled(), running);
  for (const char* name : {"actionSave", "actionOrderingSeeds", "actionSolveProblem", "actionSummarise",
                           "actionFullResultsFile", "actionAbout"})
    QVERIFY2(window.Action(QString::fromLatin1(name))->isEnabled(), name);
}

struct BadInput {
  const char* field;
  QString bad, good, message;
};

// One dialog round a bad input: OK must be refused with the message, the
// dialog must come back with the user's text, which is then mended before the
// next input is tried. `last` gets the dialog with every field mended.
template <typename Dialog>
void QueueBadInputs(ModalSteps& steps, const QList<BadInput>& inputs, std::function<void(Dialog*)> last) {
  for (int i = 0; i <= inputs.size(); ++i) {
    steps.When<Dialog>([&steps, inputs, i, last](Dialog* d) {
      if (i > 0) {
        const BadInput& refused = inputs[i - 1];
        steps.Check(Child<QLineEdit>(d, refused.field)->text() == refused.bad,
                    QStringLiteral("the refused %1 is kept").arg(QString::fromLatin1(refused.field)));
        SetText(d, refused.field, refused.good);
      }
      if (i == inputs.size()) return last(d);
      SetText(d, inputs[i].field, inputs[i].bad);
      PressOk(d);
    });
    if (i < inputs.size()) steps.Expect(inputs[i].message);
  }
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogsRefuseBadInputAndCancelChangesNothing();
  void batchRunFromTheWindow();
};

void MainWindowTest::dialogsRefuseBadInputAndCancelChangesNothing() {
  MainWindow window;
  window.show();

  // Problem type: the check mark follows the document.
  window.Action("actionType3")->trigger();
  QVERIFY(window.Document().m_nProblemType == kProblemTSP);
  QVERIFY(window.Action("actionType3")->isChecked() && !window.Action("actionType2")->isChecked());

  ModalSteps steps;
  steps.Expect("Please input some experiments to summarise");
  window.Action("actionSummarise")->trigger();
  VERIFY_STEPS(steps);

  // Presets fill the fields; Cancel changes nothing.
  const CExperiment before = window.Document().m_monitorExperiment;
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    Click(d, "presetGLSSAT2");
    steps.Check(Child<QLineEdit>(d, "decayEvery")->text() == "200" && Child<QLineEdit>(d, "sideways")->text() == "20" &&
                    Child<QCheckBox>(d, "history")->isChecked(),
                "GLSSAT2 sets decay every 200, 20 sideways moves and history");
    d->reject();
  });
  window.Action("actionMonitorParameters")->trigger();
  VERIFY_STEPS(steps);
  QCOMPARE(window.Document().m_monitorExperiment, before);

  QueueBadInputs<ParameterDialog>(
      steps,
      {{"randomMoves", "1.5", "0.1", "Please enter a number between 0 and 1."},
       {"sideways", "-3", "7", "Please enter a positive integer."},
       {"lambda", "abc", "3", "Please enter a number."}},
      [](ParameterDialog* d) {
        Click(d, "presetGLSSAT1");  // history on, 20 sideways, lambda 1, decay factor left as it is
        SetText(d, "decayFactor", "0.5");
        PressOk(d);
      });
  window.Action("actionMonitorParameters")->trigger();
  VERIFY_STEPS(steps);
  const CExperiment& edited = window.Document().m_monitorExperiment;
  QCOMPARE(edited.m_nSideways, 20u);
  QVERIFY(edited.m_bHistory);
  QCOMPARE(edited.m_dPenaltyDecayFactor, 0.5);
  QCOMPARE(edited.m_nPenaltyDecayEvery, 0u);

  // The view shows the monitor lines only once a monitor problem is chosen.
  QueueBadInputs<MonitorEveryDialog>(steps,
                                     {{"every", "0", "25", "Please enter an integer between 1 and 4294967295."},
                                      {"every", "x", "25", "Please enter a positive integer."}},
                                     [](MonitorEveryDialog* d) { PressOk(d); });
  window.Action("actionMonitorEvery")->trigger();
  VERIFY_STEPS(steps);
  QCOMPARE(window.Document().m_nMonitorEvery.load(), 25u);
  QVERIFY(window.Document().m_bSettingsChanged);
  QCOMPARE(window.View()->LineTexts().size(), 4);
}

void MainWindowTest::batchRunFromTheWindow() {
  QTemporaryDir dir;
  const QString problems = dir.filePath("problems");
  const QString results = dir.filePath("results");
  QVERIFY(CopyExamples("qap", {"chr12a.dat", "nug12.dat", "tai12a.dat", "best.txt"}, problems));
  QVERIFY(QDir().mkpath(results));

  MainWindow window;
  window.show();
  ModalSteps steps;

  // Type and directories through the menus and the choosers; the CSV chooser adds the suffix.
  window.Action("actionType0")->trigger();
  window.Action("actionType2")->trigger();
  QVERIFY(window.Document().m_nProblemType == kProblemQAP);
  for (const auto& [action, chosen] : {std::pair{"actionProblemsDirectory", problems},
                                       {"actionResultsDirectory", results},
                                       {"actionFullResultsFile", dir.filePath("full")},
                                       {"actionSummaryFile", dir.filePath("summary.csv")}}) {
    window.SetChooserRunner([chosen = chosen](QFileDialog&) { return chosen; });
    window.Action(action)->trigger();
  }
  QCOMPARE(QString::fromStdString(window.Document().m_strProblemsDir), problems + "/");
  QCOMPARE(QString::fromStdString(window.Document().m_strResultsDir), results + "/");
  QCOMPARE(QString::fromStdString(window.Document().m_strFullResultsFile), dir.filePath("full.csv"));
  QCOMPARE(window.View()->LineTexts().value(0), "Problems directory is " + problems + "/");

  // Two experiments through the list editor, with a refused lambda and a duplicate.
  steps.When<ExperimentListDialog>([&](ExperimentListDialog* d) { Click(d, "addButton"); });
  QueueBadInputs<ParameterDialog>(steps, {{"lambda", "2e12", "0.5", "Please enter a number between 0 and 1e+12."}},
                                  [](ParameterDialog* d) { Click(d, "terminationButton"); });
  steps.When<TerminationDialog>([&](TerminationDialog* d) {
    SetText(d, "maxRepairs", "100000");
    SetText(d, "numRuns", "2");
    PressOk(d);
  });
  steps.When<ParameterDialog>([&](ParameterDialog* d) { PressOk(d); });
  steps.When<ExperimentListDialog>([&](ExperimentListDialog* d) { Click(d, "addButton"); });
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    steps.Check(Child<QLineEdit>(d, "lambda")->text() == "0.5", "Add starts from the last experiment");
    PressOk(d);
  });
  steps.Expect("Experiment already in list.");
  steps.When<ExperimentListDialog>([&](ExperimentListDialog* d) {
    steps.Check(Child<QTableWidget>(d, "experimentTable")->rowCount() == 1, "the duplicate is not added");
    Click(d, "addButton");
  });
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    SetText(d, "lambda", "1");
    PressOk(d);
  });
  steps.When<ExperimentListDialog>([&](ExperimentListDialog* d) {
    auto* table = Child<QTableWidget>(d, "experimentTable");
    steps.Check(table->rowCount() == 2 && table->columnCount() == 2 &&
                    table->horizontalHeaderItem(1)->text() == "Lambda" && table->item(1, 1)->text() == "1",
                "the table shows only the varying Lambda");
    steps.Check(Child<QLabel>(d, "fixedText")->text().contains("Num runs=2"), "the fixed settings");
    PressOk(d);
  });
  window.Action("actionEditExperiments")->trigger();
  VERIFY_STEPS(steps);
  QCOMPARE(window.Document().m_experiments.size(), std::size_t{2});
  QCOMPARE(window.Document().m_experiments[0].m_dLambda, 0.5);
  QCOMPARE(window.Document().m_experiments[1].m_nMaxRepairs, 100000u);

  // Start: the commands flip, the progress line appears and moves on, and the
  // timer keeps firing while the solver works on the worker thread.
  MessageCatcher catcher;
  QSignalSpy ticks(window.ProgressBar(), &ProgressStatusBar::progressRefreshed);
  VerifyEnabledStates(window, false);
  window.Action("actionStart")->trigger();
  VerifyEnabledStates(window, true);
  QTRY_VERIFY_WITH_TIMEOUT(
      window.ProgressBar()->ProgressLine().startsWith("Number of problems solved: 0 (out of 3)"), 20000);
  QVERIFY(window.ProgressBar()->ProgressLine().contains("Currently solving "));
  QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3 && window.Controls().IsRunning(), 20000);
  // A refresh every 500 ms may see the count pass 1 on a fast machine; on a busy one a problem takes long.
  QTRY_VERIFY_WITH_TIMEOUT(
      window.ProgressBar()->ProgressLine().startsWith("Number of problems solved: 1 (out of 3)") ||
          window.ProgressBar()->ProgressLine().startsWith("Number of problems solved: 2 (out of 3)"),
      150000);

  // Stop pauses the worker where it is; the commands flip back.
  window.Action("actionStop")->trigger();
  VerifyEnabledStates(window, false);
  QVERIFY(!window.ProgressBar()->IsProgressTimerActive());
  QVERIFY(window.Controls().HasWorker());

  // Start continues it; wait for the end.
  window.Action("actionStart")->trigger();
  VerifyEnabledStates(window, true);
  VERIFY_FINISHED(window, catcher, 120000);
  QTRY_VERIFY_WITH_TIMEOUT(window.Action("actionStart")->isEnabled(), 5000);
  VerifyEnabledStates(window, false);
  QTRY_VERIFY_WITH_TIMEOUT(window.ProgressBar()->ProgressLine().isEmpty(), 5000);
  QCOMPARE(catcher.Texts(), QStringList{"Finished Solving.."});
  QCOMPARE(QDir(results).entryList({"Results_QAP_*.txt"}, QDir::Files).size(), 6);

  // Summarise writes the two CSV files where the choosers said.
  window.Action("actionSummarise")->trigger();
  QVERIFY(QFileInfo(dir.filePath("full.csv")).size() > 0 && QFileInfo(dir.filePath("summary.csv")).size() > 0);
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<MainWindowTest>(argc, argv); }

#include "MainWindowTest.moc"
