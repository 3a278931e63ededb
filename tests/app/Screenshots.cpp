// Saves PNG pictures of the desktop app into <build>/screenshots/, for a
// reviewer to look at: the main window with its progress pane during a batch
// and paused, the parameter and experiment list editors, the monitor chart in
// the middle of a QAP monitor run, the results window's table and charts, Print
// Preview and the splash picture.
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QPrintPreviewDialog>
#include <QTabWidget>
#include <QTest>

#include "AppTestSupport.h"
#include "ModalSteps.h"
#include "app/ExperimentListDialog.h"
#include "app/MonitorChartWindow.h"
#include "app/ParameterDialog.h"
#include "app/ProgressPane.h"
#include "app/ProgressStatusBar.h"
#include "app/ResultsWindow.h"
#include "app/SplashScreen.h"
#include "app/WindowMessages.h"
#include "runner/RunControls.h"

using namespace mirelock;
using namespace mirelock::testing;

class Screenshots : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(QDir().mkpath(folder_)); }
  void saveScreenshots();
  void saveTwentyExperimentResultsAndAPrintedPage();

 private:
  bool Save(QWidget* widget, const QString& name) {
    widget->show();
    if (!QTest::qWaitForWindowExposed(widget)) return false;
    QApplication::processEvents();
    return widget->grab().save(folder_ + "/" + name);
  }

  const QString folder_ = QStringLiteral(MIRELOCK_BINARY_DIR "/screenshots");
};

void Screenshots::saveScreenshots() {
  QTemporaryDir dir;
  MainWindow window;
  SetUpQap(window, dir, {"chr12a.dat", "nug12.dat", "tai12a.dat"});
  const QString problems = dir.filePath("problems");
  CMirelockDoc& doc = window.Document();
  CExperiment first = CExperiment::FirstOfEmptyList();
  first.m_nMaxRepairs = 20000;
  first.m_nNumRuns = 3;
  CExperiment second = first;
  second.ApplyPresetGLSSAT2();
  CExperiment third = second;
  third.m_dLambda = 0.25;
  doc.m_experiments = {first, second, third};
  doc.m_strMonitorProblem = (problems + "/nug12.dat").toStdString();
  doc.m_strMonitorOutputFile = dir.filePath("monitor.txt").toStdString();
  // Runs long enough (a second or more each) that a 500 ms refresh sees the second one under way.
  doc.m_monitorExperiment.m_nMaxRepairs = 2000000;
  doc.m_monitorExperiment.m_bMaxRepairsTimesN = false;
  doc.m_monitorExperiment.m_nNumRuns = 3;
  doc.m_nMonitorEvery = 40;
  window.resize(1100, 640);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  // A batch under way, then paused.
  MessageCatcher catcher;
  window.Action("actionStart")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(
      [&] {
        const RunProgress p = window.Controls().Progress();
        return !p.workers.empty() && p.workers.front().run >= 2;
      }(),
      60000);
  QTest::qWait(600);
  QVERIFY(Save(&window, "main_window_running.png"));
  QVERIFY(Save(window.Progress(), "progress_pane_running.png"));
  window.Action("actionStop")->trigger();
  QVERIFY(window.Controls().CurrentPauseGate()->WaitUntilParked());
  window.Progress()->Refresh();
  QVERIFY(Save(&window, "main_window_paused.png"));
  QVERIFY(Save(window.Progress(), "progress_pane_paused.png"));

  CExperiment edited = second;
  ParameterDialog parameters(edited, &window);
  QVERIFY(Save(&parameters, "parameter_editor.png"));
  parameters.close();
  ExperimentListDialog list(doc.m_experiments, window.Messages(), &window);
  list.resize(760, 380);
  QVERIFY(Save(&list, "experiment_list_editor.png"));
  list.close();

  // Abandon the paused batch (settings changed) and run the monitor problem into the chart.
  doc.m_bSettingsChanged = true;
  window.Action("actionMonitorChart")->trigger();
  MonitorChartWindow* chart = window.MonitorChart();
  QVERIFY(chart);
  chart->resize(980, 620);
  window.Action("actionSolveProblem")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(chart->PointCount() > 1500 &&
                               (chart->Title().contains("run 2 of 3") || chart->Title().contains("run 3 of 3")),
                           120000);
  QVERIFY(Save(chart, "monitor_chart_running.png"));
  chart->SetLogScale(true);
  QVERIFY(Save(chart, "monitor_chart_log_scale.png"));
  chart->SetLogScale(false);
  window.Action("actionStop")->trigger();
  window.Action("actionAbandon")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!window.Controls().HasWorker(), 20000);

  // A short batch into a fresh folder, summarised into the results window.
  QVERIFY(QDir().mkpath(dir.filePath("results2")));
  doc.m_strResultsDir = (dir.filePath("results2") + "/").toStdString();
  for (CExperiment& experiment : doc.m_experiments) {
    experiment.m_nMaxRepairs = 40;
    experiment.m_nNumRuns = 10;
  }
  window.Action("actionStart")->trigger();
  VERIFY_FINISHED(window, catcher, 120000);
  window.Action("actionSummarise")->trigger();
  ResultsWindow* results = window.Results();
  QVERIFY(results);
  results->resize(1000, 640);
  QVERIFY(QTest::qWaitForWindowExposed(results));
  QVERIFY(Save(&window, "main_window_after_summarise.png"));
  for (int i = 0; i < results->Tabs()->count(); ++i) {
    results->Tabs()->setCurrentIndex(i);
    QString name = results->Tabs()->tabText(i).toLower().replace(' ', '_').replace('-', '_');
    QVERIFY(Save(results, "results_" + name + ".png"));
  }

  // Print Preview of the view.
  ModalSteps steps(60000);
  steps.When<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
    preview->resize(900, 760);
    QTest::qWait(300);
    steps.Check(Save(preview, "print_preview.png"), "print preview saved");
    preview->reject();
  });
  window.Action("actionPrintPreview")->trigger();
  VERIFY_STEPS(steps);

  SplashScreen splash;
  splash.show();
  QVERIFY(Save(&splash, "splash.png"));
}

// Twenty experiments, one of them with no runs at all, summarised into the
// results window; then the view printed to PDF and its first page rendered.
void Screenshots::saveTwentyExperimentResultsAndAPrintedPage() {
  QTemporaryDir dir;
  MainWindow window;
  SetUpQap(window, dir, {"chr12a.dat", "nug12.dat", "tai12a.dat"});
  CMirelockDoc& doc = window.Document();
  for (int e = 0; e < 20; ++e) {
    CExperiment experiment = Experiment(0.1 + 0.1 * e, 30 + 10 * (e % 4), e == 7 ? 0 : 4);
    experiment.m_nSideways = static_cast<unsigned>(e % 3);
    if (e % 5 == 4) experiment.ApplyPresetGLSSAT2();
    doc.m_experiments.push_back(experiment);
  }
  window.resize(1100, 640);
  window.show();
  MessageCatcher catcher;
  window.Action("actionStart")->trigger();
  VERIFY_FINISHED(window, catcher, 120000);
  window.Action("actionSummarise")->trigger();
  ResultsWindow* results = window.Results();
  QVERIFY(results);
  results->resize(1200, 760);
  QVERIFY(QTest::qWaitForWindowExposed(results));
  for (int i = 0; i < results->Tabs()->count(); ++i) {
    results->Tabs()->setCurrentIndex(i);
    QString name = results->Tabs()->tabText(i).toLower().replace(' ', '_').replace('-', '_');
    QVERIFY(Save(results, "results20_" + name + ".png"));
  }

  const QString pdf = folder_ + "/printed_view.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  printer.setPageMargins(QMarginsF(3.5, 3.5, 3.5, 3.5), QPageLayout::Millimeter);  // widened to 15 mm
  QVERIFY(window.PrintTo(printer) >= 1);
  const QString render = QStandardPaths::findExecutable("pdftoppm");
  if (render.isEmpty()) QSKIP("pdftoppm (poppler-utils) is not installed");
  QCOMPARE(QProcess::execute(render, {"-png", "-r", "60", "-f", "1", "-l", "1", pdf, folder_ + "/printed_page"}), 0);
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<Screenshots>(argc, argv); }

#include "Screenshots.moc"
