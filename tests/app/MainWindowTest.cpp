// The desktop window driven as a researcher would: menus, dialogs, a batch
// with Stop and Start, Summarise, and a monitor run into the chart.
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "AppTestSupport.h"
#include "ModalSteps.h"
#include "app/DocumentView.h"
#include "app/ExperimentListDialog.h"
#include "app/MonitorChartWindow.h"
#include "app/MonitorEveryDialog.h"
#include "app/ParameterDialog.h"
#include "app/ProgressStatusBar.h"
#include "app/TerminationDialog.h"
#include "runner/RunControls.h"

using namespace mirelock;
using namespace mirelock::testing;

namespace {

QString Table(QTableWidget* table, int column) {
  auto* item = table->horizontalHeaderItem(column);
  return item ? item->text() : QString();
}

// The commands that a run disables, and Stop, as the user sees them.
void VerifyEnabledStates(MainWindow& window, bool running) {
  for (const char* name :
       {"actionNew", "actionOpen", "actionType0", "actionType1", "actionType2", "actionType3",
        "actionProblemsDirectory", "actionResultsDirectory", "actionEditExperiments", "actionStart"}) {
    QAction* action = window.Action(QString::fromLatin1(name));
    QVERIFY2(action, name);
    QVERIFY2(action->isEnabled() == !running, name);
  }
  QCOMPARE(window.Action(QStringLiteral("actionStop"))->isEnabled(), running);
  // Always available, also during a run.
  for (const char* name : {"actionSave", "actionOrderingSeeds", "actionSolveProblem", "actionSummarise",
                           "actionFullResultsFile", "actionAbout"})
    QVERIFY2(window.Action(QString::fromLatin1(name))->isEnabled(), name);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void menusAndCommandsWithoutARun();
  void batchRunFromTheWindow();
  void monitorRunFillsTheChart();
  void fatalReaderErrorEndsOnlyTheRun();
};

void MainWindowTest::menusAndCommandsWithoutARun() {
  MainWindow window;
  window.show();
  QVERIFY(window.windowTitle().endsWith(QStringLiteral("Mirelock")));

  // Menus in their order, with their mnemonics.
  QStringList menus;
  for (QAction* action : window.menuBar()->actions()) menus << action->text();
  QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "Problem type", "Options", "Monitor Run", "Solve",
                               "S&ummarise", "&Help"}));

  // Problem type: the check mark follows the document.
  QVERIFY(window.Document().m_nProblemType == kProblemQAP);
  QVERIFY(window.Action("actionType2")->isChecked());
  window.Action("actionType3")->trigger();
  QVERIFY(window.Document().m_nProblemType == kProblemTSP);
  QVERIFY(window.Action("actionType3")->isChecked());
  QVERIFY(!window.Action("actionType2")->isChecked());

  // Summarise with an empty list only says so.
  ModalSteps steps;
  QStringList messages;
  steps.Message(&messages);
  window.Action("actionSummarise")->trigger();
  QTRY_VERIFY(steps.Done());
  QCOMPARE(messages, QStringList{"Please input some experiments to summarise"});

  // The parameter editor: presets fill the fields, Cancel changes nothing,
  // and a bad value keeps the dialog open with the user's text.
  const CExperiment before = window.Document().m_monitorExperiment;
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    Click(d, "presetGLSSAT2");
    steps.Check(Child<QLineEdit>(d, "decayEvery")->text() == "200", "GLSSAT2 sets decay every 200");
    steps.Check(Child<QLineEdit>(d, "sideways")->text() == "20", "GLSSAT2 sets 20 sideways moves");
    steps.Check(Child<QCheckBox>(d, "history")->isChecked(), "GLSSAT2 uses history");
    d->reject();
  });
  window.Action("actionMonitorParameters")->trigger();
  QTRY_VERIFY(steps.Done());
  QCOMPARE(window.Document().m_monitorExperiment, before);

  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    SetText(d, "randomMoves", "1.5");
    PressOk(d);
  });
  steps.Message(&messages);
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    steps.Check(Child<QLineEdit>(d, "randomMoves")->text() == "1.5", "the refused input is kept");
    SetText(d, "randomMoves", "0.1");
    SetText(d, "sideways", "-3");
    PressOk(d);
  });
  steps.Message(&messages);
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    SetText(d, "sideways", "7");
    SetText(d, "lambda", "abc");
    PressOk(d);
  });
  steps.Message(&messages);
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    SetText(d, "lambda", "3");
    Click(d, "presetGLSSAT1");  // history on, 20 sideways, lambda 1, decay factor left as it is
    SetText(d, "decayFactor", "0.5");
    PressOk(d);
  });
  window.Action("actionMonitorParameters")->trigger();
  QTRY_VERIFY(steps.Done());
  QVERIFY2(steps.Failures().isEmpty(), qPrintable(steps.Failures().join("; ")));
  QCOMPARE(messages.mid(1), (QStringList{"Please enter a number between 0 and 1.",
                                         "Please enter a positive integer.", "Please enter a number."}));
  const CExperiment& edited = window.Document().m_monitorExperiment;
  QCOMPARE(edited.m_nSideways, 20u);
  QVERIFY(edited.m_bHistory);
  QCOMPARE(edited.m_dPenaltyDecayFactor, 0.5);
  QCOMPARE(edited.m_nPenaltyDecayEvery, 0u);

  // R: out of range and not a number are refused; the view shows the monitor lines
  // only once a monitor problem is chosen.
  messages.clear();
  steps.When<MonitorEveryDialog>([&](MonitorEveryDialog* d) {
    SetText(d, "every", "0");
    PressOk(d);
  });
  steps.Message(&messages);
  steps.When<MonitorEveryDialog>([&](MonitorEveryDialog* d) {
    SetText(d, "every", "x");
    PressOk(d);
  });
  steps.Message(&messages);
  steps.When<MonitorEveryDialog>([&](MonitorEveryDialog* d) {
    SetText(d, "every", "25");
    PressOk(d);
  });
  window.Action("actionMonitorEvery")->trigger();
  QTRY_VERIFY(steps.Done());
  QCOMPARE(messages, (QStringList{"Please enter an integer between 1 and 4294967295.",
                                  "Please enter a positive integer."}));
  QCOMPARE(window.Document().m_nMonitorEvery.load(), 25u);
  QVERIFY(window.Document().m_bSettingsChanged);
  QCOMPARE(window.View()->LineTexts().size(), 4);

  // The About box.
  steps.When<QDialog>([&](QDialog* d) {
    steps.Check(d->windowTitle() == "About Mirelock", "About title");
    steps.Check(!d->findChildren<QLabel*>().isEmpty() &&
                    d->findChildren<QLabel*>().front()->text() == "Mirelock Version 1.0",
                "About text");
    d->accept();
  });
  window.Action("actionAbout")->trigger();
  QTRY_VERIFY(steps.Done());
  QVERIFY2(steps.Failures().isEmpty(), qPrintable(steps.Failures().join("; ")));

  // A malformed document is refused with a message naming it; the window stays.
  QTemporaryDir dir;
  const QString bad = dir.filePath("bad.mirel");
  {
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x02\x00\x00\x00\x40short", 10);
  }
  messages.clear();
  steps.Message(&messages);
  QVERIFY(!window.OpenDocument(bad));
  QTRY_VERIFY(steps.Done());
  QCOMPARE(messages.size(), 1);
  QVERIFY2(messages.front().contains("bad.mirel"), qPrintable(messages.front()));
  QVERIFY(window.isVisible());

  // Save As puts the file at the top of the recent-file list.
  const QString saved = dir.filePath("saved.mirel");
  window.SetChooserRunner([&](QFileDialog&) { return saved; });
  window.Action("actionSaveAs")->trigger();
  QVERIFY(QFile::exists(saved));
  QCOMPARE(window.RecentFiles().value(0), QFileInfo(saved).absoluteFilePath());
  QVERIFY(window.Action("actionRecent1")->isVisible());
  QVERIFY(window.OpenDocument(saved));
}

void MainWindowTest::batchRunFromTheWindow() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString problems = dir.filePath("problems");
  const QString results = dir.filePath("results");
  QVERIFY(CopyExamples("qap", {"chr12a.dat", "nug12.dat", "tai12a.dat", "best.txt"}, problems));
  QVERIFY(QDir().mkpath(results));

  MainWindow window;
  window.show();
  ModalSteps steps;
  QStringList messages;

  // Type and directories through the menus and the choosers.
  window.Action("actionType0")->trigger();
  window.Action("actionType2")->trigger();
  QVERIFY(window.Document().m_nProblemType == kProblemQAP);
  window.SetChooserRunner([&](QFileDialog& d) {
    steps.Check(d.windowTitle() == "Please select a directory of problems", "problems prompt");
    steps.Check(d.fileMode() == QFileDialog::Directory, "a folder chooser");
    return problems;
  });
  window.Action("actionProblemsDirectory")->trigger();
  window.SetChooserRunner([&](QFileDialog& d) {
    steps.Check(d.windowTitle() == "Please select a directory for individual results files",
                "results prompt");
    return results;
  });
  window.Action("actionResultsDirectory")->trigger();
  window.SetChooserRunner([&](QFileDialog& d) {
    steps.Check(d.defaultSuffix() == "csv", "csv suffix");
    steps.Check(d.nameFilters().value(0) == "Comma delimited (*.csv)", "csv filter");
    steps.Check(d.acceptMode() == QFileDialog::AcceptSave, "a save chooser");
    return dir.filePath("full");
  });
  window.Action("actionFullResultsFile")->trigger();
  window.SetChooserRunner([&](QFileDialog&) { return dir.filePath("summary.csv"); });
  window.Action("actionSummaryFile")->trigger();
  QVERIFY2(steps.Failures().isEmpty(), qPrintable(steps.Failures().join("; ")));
  QCOMPARE(QString::fromStdString(window.Document().m_strProblemsDir), problems + "/");
  QCOMPARE(QString::fromStdString(window.Document().m_strResultsDir), results + "/");
  QCOMPARE(QString::fromStdString(window.Document().m_strFullResultsFile), dir.filePath("full.csv"));
  QCOMPARE(window.View()->LineTexts().value(0), "Problems directory is " + problems + "/");

  // Two experiments through the list editor, with a refused lambda and a duplicate.
  steps.When<ExperimentListDialog>([&](ExperimentListDialog* d) { Click(d, "addButton"); });
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    SetText(d, "lambda", "2e12");
    PressOk(d);
  });
  steps.Message(&messages);
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    steps.Check(Child<QLineEdit>(d, "lambda")->text() == "2e12", "the refused lambda is kept");
    SetText(d, "lambda", "0.5");
    Click(d, "terminationButton");
  });
  steps.When<TerminationDialog>([&](TerminationDialog* d) {
    steps.Check(d->windowTitle() == "Termination criteria settings", "termination title");
    SetText(d, "maxRepairs", "100000");
    SetText(d, "numRuns", "2");
    steps.Check(Child<QCheckBox>(d, "timesN")->isChecked(), "x number of variables by default");
    PressOk(d);
  });
  steps.When<ParameterDialog>([&](ParameterDialog* d) { PressOk(d); });
  steps.When<ExperimentListDialog>([&](ExperimentListDialog* d) {
    steps.Check(Child<QTableWidget>(d, "experimentTable")->rowCount() == 1, "one experiment");
    Click(d, "addButton");
  });
  steps.When<ParameterDialog>([&](ParameterDialog* d) {
    steps.Check(Child<QLineEdit>(d, "lambda")->text() == "0.5", "Add starts from the last experiment");
    PressOk(d);
  });
  steps.Message(&messages);
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
    steps.Check(table->rowCount() == 2, "two experiments");
    steps.Check(table->columnCount() == 2 && Table(table, 0) == "Exp Id" && Table(table, 1) == "Lambda",
                "the table shows Exp Id and the varying Lambda");
    steps.Check(table->item(1, 1) && table->item(1, 1)->text() == "1", "second lambda cell");
    steps.Check(Child<QLabel>(d, "fixedText")->text().contains("Num runs=2"), "fixed text");
    steps.Check(Child<QLabel>(d, "sizeNote")->text() == "N = number of variables in problem", "size note");
    PressOk(d);
  });
  window.Action("actionEditExperiments")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(steps.Done(), 30000);
  QVERIFY2(steps.Failures().isEmpty(), qPrintable(steps.Failures().join("; ")));
  QCOMPARE(messages,
           (QStringList{"Please enter a number between 0 and 1e+12.", "Experiment already in list."}));
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
  QTRY_VERIFY_WITH_TIMEOUT(catcher.Texts().contains("Finished Solving.."), 120000);
  QTRY_VERIFY_WITH_TIMEOUT(!window.Controls().HasWorker(), 20000);
  QTRY_VERIFY_WITH_TIMEOUT(window.Action("actionStart")->isEnabled(), 5000);
  VerifyEnabledStates(window, false);
  QTRY_VERIFY_WITH_TIMEOUT(window.ProgressBar()->ProgressLine().isEmpty(), 5000);
  QCOMPARE(catcher.Texts(), QStringList{"Finished Solving.."});
  QCOMPARE(QDir(results).entryList({"Results_QAP_*.txt"}, QDir::Files).size(), 6);

  // Summarise writes the two CSV files.
  window.Action("actionSummarise")->trigger();
  QVERIFY(QFile::exists(dir.filePath("full.csv")));
  QVERIFY(QFile::exists(dir.filePath("summary.csv")));
  QFile summary(dir.filePath("summary.csv"));
  QVERIFY(summary.open(QIODevice::ReadOnly));
  QVERIFY(summary.size() > 0);
}

void MainWindowTest::monitorRunFillsTheChart() {
  QTemporaryDir dir;
  const QString problems = dir.filePath("problems");
  QVERIFY(CopyExamples("qap", {"nug12.dat"}, problems));
  QVERIFY(QDir().mkpath(dir.filePath("results")));
  const QString monitorFile = dir.filePath("monitor.txt");

  MainWindow window;
  window.show();
  window.Document().m_strProblemsDir = (problems + "/").toStdString();
  window.Document().m_strResultsDir = (dir.filePath("results") + "/").toStdString();
  ModalSteps steps;

  window.SetChooserRunner([&](QFileDialog& d) {
    steps.Check(d.nameFilters().value(0) == "DAT (*.dat)", "QAP problems filter");
    steps.Check(d.defaultSuffix() == "dat", "dat suffix");
    return problems + "/nug12.dat";
  });
  window.Action("actionMonitorProblem")->trigger();
  QVERIFY(window.Document().m_bSettingsChanged);
  window.SetChooserRunner([&](QFileDialog& d) {
    steps.Check(d.nameFilters().value(0) == "Text files (*.txt)", "text filter");
    steps.Check(d.defaultSuffix() == "txt", "txt suffix");
    return dir.filePath("monitor");
  });
  window.Action("actionMonitorOutput")->trigger();
  steps.When<ParameterDialog>([&](ParameterDialog* d) { Click(d, "terminationButton"); });
  steps.When<TerminationDialog>([&](TerminationDialog* d) {
    SetText(d, "maxRepairs", "3000");
    Child<QCheckBox>(d, "timesN")->setChecked(false);
    SetText(d, "numRuns", "1");
    PressOk(d);
  });
  // The termination criteria stay even though the parameter editor is cancelled.
  steps.When<ParameterDialog>([&](ParameterDialog* d) { d->reject(); });
  window.Action("actionMonitorParameters")->trigger();
  QTRY_VERIFY(steps.Done());
  QVERIFY2(steps.Failures().isEmpty(), qPrintable(steps.Failures().join("; ")));
  QCOMPARE(window.Document().m_monitorExperiment.m_nMaxRepairs, 3000u);
  QCOMPARE(QString::fromStdString(window.Document().m_strMonitorOutputFile), monitorFile);
  QCOMPARE(window.View()->LineTexts().size(), 8);
  QString settings = "Experiment settings are";
  for (unsigned i = 0; i < 8; ++i)
    settings += " " + QString::fromStdString(window.Document().m_monitorExperiment.GetParamAt(i));
  QCOMPARE(window.View()->LineTexts().value(6), settings);

  window.Document().m_nMonitorEvery = 10;
  window.Action("actionMonitorChart")->trigger();
  QPointer<MonitorChartWindow> chart = window.MonitorChart();
  QVERIFY(chart && chart->isVisible());

  MessageCatcher catcher;
  window.Action("actionSolveProblem")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(catcher.Texts().contains("Finished Solving.."), 60000);
  QTRY_VERIFY_WITH_TIMEOUT(chart->PointCount() >= 300, 10000);
  QCOMPARE(chart->SeriesNames(), (QStringList{"Cost", "Best cost", "Augmented cost"}));
  QVERIFY(chart->StatusText().isEmpty());

  // Any monitor file can be loaded afterwards; one that is not a monitor file is named in the fault.
  const QString bad = dir.filePath("not-monitor.txt");
  {
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Problem_name\tBest_cost\nx\t1\n");
  }
  chart->Follow(bad);
  QVERIFY(chart->StatusText().contains("not-monitor.txt"));
  chart->Follow(monitorFile);
  QVERIFY(chart->PointCount() >= 300);

  // The SAT solver's columns; lines appended later are picked up, and a file
  // rewritten by the next run starts the chart over.
  const QString sat = dir.filePath("sat-monitor.txt");
  const auto write = [&](const char* text, QIODevice::OpenMode mode) {
    QFile file(sat);
    QVERIFY(file.open(mode));
    file.write(text);
  };
  write("Repairs\tCurrent_Cost\tCurrent_Aug_Cost\tSol_Found\t\n0\t15\t15\t0\t\n10\t3\t3.5\t0\t\n",
        QIODevice::WriteOnly);
  chart->Follow(sat);
  QCOMPARE(chart->SeriesNames(), (QStringList{"Cost", "Augmented cost"}));
  QCOMPARE(chart->PointCount(), 2);
  write("20\t1\t2.25\t0\t\n30\t0", QIODevice::Append);  // the last line is still being written
  QTRY_COMPARE(chart->PointCount(), 3);
  write("Repairs\tCurrent_Cost\tCurrent_Aug_Cost\tSol_Found\t\n0\t9\t9\t0\t\n", QIODevice::WriteOnly);
  QTRY_COMPARE(chart->PointCount(), 1);
  QVERIFY(chart->StatusText().isEmpty());
}

void MainWindowTest::fatalReaderErrorEndsOnlyTheRun() {
  QTemporaryDir dir;
  QVERIFY(QDir().mkpath(dir.filePath("problems")));
  QVERIFY(QDir().mkpath(dir.filePath("results")));
  {
    QFile file(dir.filePath("problems/broken.dat"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("twelve\n");
  }
  MainWindow window;
  window.show();
  window.Document().m_strProblemsDir = (dir.filePath("problems") + "/").toStdString();
  window.Document().m_strResultsDir = (dir.filePath("results") + "/").toStdString();
  window.Document().m_experiments = {CExperiment::FirstOfEmptyList()};

  MessageCatcher catcher;
  window.Action("actionStart")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!catcher.Texts().isEmpty(), 20000);
  QTRY_VERIFY_WITH_TIMEOUT(!window.Controls().HasWorker(), 20000);
  QTRY_VERIFY(window.Action("actionStart")->isEnabled());
  QVERIFY(window.Controls().LastFatalError().has_value());
  QVERIFY(!catcher.Texts().contains("Finished Solving.."));
  QVERIFY(window.isVisible());
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<MainWindowTest>(argc, argv); }

#include "MainWindowTest.moc"
