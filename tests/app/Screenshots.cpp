// Saves PNG pictures of the main window during a batch run, the parameter
// editor, the experiment list editor and the monitor chart into
// <build>/screenshots/, for a reviewer to look at.
#include <QDir>
#include <QTest>

#include "AppTestSupport.h"
#include "ModalSteps.h"
#include "app/ExperimentListDialog.h"
#include "app/MonitorChartWindow.h"
#include "app/ParameterDialog.h"
#include "app/ProgressStatusBar.h"
#include "app/SplashScreen.h"
#include "app/WindowMessages.h"

using namespace mirelock;
using namespace mirelock::testing;

class Screenshots : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(QDir().mkpath(folder_)); }
  void saveScreenshots();

 private:
  bool Save(QWidget* widget, const char* name) {
    QApplication::processEvents();
    return widget->grab().save(folder_ + "/" + name);
  }

  const QString folder_ = QStringLiteral(MIRELOCK_BINARY_DIR "/screenshots");
};

void Screenshots::saveScreenshots() {
  QTemporaryDir dir;
  const QString problems = dir.filePath("problems");
  QVERIFY(CopyExamples("qap", {"chr12a.dat", "nug12.dat", "tai12a.dat", "best.txt"}, problems));
  QVERIFY(QDir().mkpath(dir.filePath("results")));

  MainWindow window;
  CMirelockDoc& doc = window.Document();
  doc.m_strProblemsDir = (problems + "/").toStdString();
  doc.m_strResultsDir = (dir.filePath("results") + "/").toStdString();
  doc.m_strFullResultsFile = dir.filePath("ResultsFull.csv").toStdString();
  doc.m_strSummaryFile = dir.filePath("ResultsSummary.csv").toStdString();
  CExperiment first = CExperiment::FirstOfEmptyList();
  first.m_nMaxRepairs = 200000;
  first.m_nNumRuns = 3;
  CExperiment second = first;
  second.ApplyPresetGLSSAT2();
  CExperiment third = second;
  third.m_dLambda = 0.25;
  doc.m_experiments = {first, second, third};
  doc.m_strMonitorProblem = (problems + "/nug12.dat").toStdString();
  doc.m_strMonitorOutputFile = dir.filePath("monitor.txt").toStdString();
  doc.m_monitorExperiment.m_nMaxRepairs = 4000;
  doc.m_monitorExperiment.m_bMaxRepairsTimesN = false;
  doc.m_monitorExperiment.m_nNumRuns = 1;
  doc.m_nMonitorEvery = 10;
  window.resize(1000, 420);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  MessageCatcher catcher;
  window.Action("actionStart")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(window.ProgressBar()->ProgressLine().contains("Currently solving"), 20000);
  QVERIFY(Save(&window, "main_window_running.png"));
  window.Action("actionStop")->trigger();

  {
    CExperiment edited = second;
    ParameterDialog dialog(edited, &window);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(Save(&dialog, "parameter_editor.png"));
  }
  {
    ExperimentListDialog dialog(doc.m_experiments, window.Messages(), &window);
    dialog.resize(760, 380);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(Save(&dialog, "experiment_list_editor.png"));
  }

  // Abandon the paused batch (settings changed) and run the monitor problem into the chart.
  doc.m_bSettingsChanged = true;
  window.Action("actionMonitorChart")->trigger();
  MonitorChartWindow* chart = window.MonitorChart();
  QVERIFY(chart);
  chart->resize(820, 520);
  window.Action("actionSolveProblem")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(catcher.Texts().contains("Finished Solving.."), 60000);
  QTRY_VERIFY_WITH_TIMEOUT(chart->PointCount() > 300, 10000);
  QVERIFY(Save(chart, "monitor_chart.png"));

  SplashScreen splash;
  splash.show();
  QVERIFY(Save(&splash, "splash.png"));
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<Screenshots>(argc, argv); }

#include "Screenshots.moc"
