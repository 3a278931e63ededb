// Reading a run off the screen: the monitor chart's log scale before and
// after a zoom, its axes following the series shown, the progress pane of a
// resumed batch and of one that has ended, and a menu key on every menu.
#include <QMenuBar>
#include <QTest>

#include "AppTestSupport.h"
#include "app/LogAxisTicks.h"
#include "app/MonitorChartWindow.h"
#include "app/ProgressPane.h"
#include "runner/RunControls.h"

using namespace mirelock;
using namespace mirelock::testing;

namespace {

QStringList Labels(const std::vector<LogTick>& ticks) {
  QStringList labels;
  for (const LogTick& tick : ticks) labels << tick.label;
  return labels;
}

// Whether every label is a number whose leading digit is followed by zeros
// only, or a multiple of a round step (1, 2, 2.5 or 5 times a power of ten).
bool AllRound(const QStringList& labels) {
  for (const QString& label : labels) {
    bool ok = false;
    const double value = label.toDouble(&ok);
    if (!ok || value <= 0) return false;
    const double power = std::pow(10.0, std::floor(std::log10(value)) - 1);
    const double scaled = value / power;  // two significant digits at most for a round label
    if (std::abs(scaled - std::round(scaled)) > 1e-6) return false;
  }
  return true;
}

}  // namespace

class ReadingTheRunTest : public QObject {
  Q_OBJECT

 private slots:
  void logTicksAreRoundAtEveryRange();
  void monitorChartLogScaleZoomsWithLabelledTicks();
  void progressPaneOfAResumedAndAnEndedBatch();
  void everyMenuAndCommandHasAnAltKey();
};

void ReadingTheRunTest::logTicksAreRoundAtEveryRange() {
  QCOMPARE(Labels(MakeLogTicks(1, 1e6)), (QStringList{"1", "10", "100", "1000", "10000", "100000", "1000000"}));
  QCOMPARE(Labels(MakeLogTicks(900, 30000)), (QStringList{"1000", "2000", "5000", "10000", "20000"}));
  // Within a decade: linear round steps, never the range's own ends (the faults were 1153, 7478 and 2663107).
  QCOMPARE(Labels(MakeLogTicks(1153, 7478)), (QStringList{"2000", "3000", "4000", "5000", "6000", "7000"}));
  QCOMPARE(Labels(MakeLogTicks(2663107, 2700000)),
           (QStringList{"2670000", "2680000", "2690000", "2700000"}));
  QCOMPARE(Labels(MakeLogTicks(0.012, 0.05)), (QStringList{"0.02", "0.03", "0.04", "0.05"}));
  QVERIFY(MakeLogTicks(0, 10).empty() && MakeLogTicks(5, 5).empty());
}

void ReadingTheRunTest::monitorChartLogScaleZoomsWithLabelledTicks() {
  QTemporaryDir dir;
  // A QAP-style monitor file: costs from 2,663,107 down to 1,153, augmented costs above them.
  QByteArray text = "Repairs\tBest_Cost\tCost\tAugmented_Cost\t\n";
  double cost = 2663107;
  double best = cost;
  for (int r = 0; r <= 2000; ++r) {
    best = std::min(best, cost);
    text += QByteArray::number(r) + '\t' + QByteArray::number(best, 'f', 0) + '\t' + QByteArray::number(cost, 'f', 0) +
            '\t' + QByteArray::number(cost * 1.5 + 100, 'f', 1) + "\t\n";
    cost = std::max(1153.0, cost * (r % 7 == 6 ? 1.02 : 0.993));
  }
  const QString path = dir.filePath("monitor.txt");
  WriteText(path, text);
  MonitorChartWindow chart;
  chart.resize(900, 600);
  chart.show();
  chart.Follow(path);
  QCOMPARE(chart.PointCount(), 2001);
  chart.SetLogScale(true);
  const QStringList whole = chart.AxisLabels(false);
  QVERIFY2(whole.contains("10000") && whole.contains("100000") && whole.contains("1000000"), qPrintable(whole.join(',')));
  QVERIFY2(AllRound(whole), qPrintable(whole.join(',')));
  QVERIFY(!chart.AxisLabels(true).isEmpty());

  // Zoom into the end of the run, where the costs lie within a decade: round labels still.
  const QRectF area = chart.PlotArea();
  chart.ZoomTo(QRectF(area.left() + area.width() * 0.02, area.top() + area.height() * 0.1, area.width() * 0.15,
                      area.height() * 0.35));
  const QStringList zoomed = chart.AxisLabels(false);
  QVERIFY2(zoomed.size() >= 3 && zoomed != whole, qPrintable(zoomed.join(',')));
  // The repairs axis keeps round ticks in the zoomed range too.
  const auto repairs = chart.RepairsTicks();
  QVERIFY2(repairs.second > 0 && std::fmod(repairs.first, repairs.second) == 0,
           qPrintable(QString("anchor %1 step %2").arg(repairs.first).arg(repairs.second)));
  QVERIFY2(AllRound(zoomed), qPrintable(zoomed.join(',')));
  QVERIFY2(AllRound(chart.AxisLabels(true)) && chart.AxisLabels(true).size() >= 3,
           qPrintable(chart.AxisLabels(true).join(',') + QString(" in %1 .. %2").arg(chart.AxisRange(true).first).arg(chart.AxisRange(true).second)));
  QTest::qWait(50);
  QTemporaryDir shots;
  const QString keep = qEnvironmentVariable("MIRELOCK_SCREENSHOTS");
  chart.grab().save((keep.isEmpty() ? shots.path() : keep) + "/monitor-chart-log-zoomed.png");
  chart.ResetZoom();
  QCOMPARE(chart.AxisLabels(false), whole);

  // Hiding the augmented cost hides its axis; showing it brings the axis back.
  QVERIFY(chart.IsAxisVisible(true));
  chart.SetSeriesVisible("Augmented cost", false);
  QVERIFY(!chart.IsAxisVisible(true));
  chart.SetSeriesVisible("Augmented cost", true);
  QVERIFY(chart.IsAxisVisible(true));
  chart.SetLogScale(false);
  chart.SetSeriesVisible("Augmented cost", false);
  QVERIFY(!chart.IsAxisVisible(true) && chart.IsAxisVisible(false));
}

void ReadingTheRunTest::progressPaneOfAResumedAndAnEndedBatch() {
  QTemporaryDir dir;
  MainWindow window;
  window.show();
  SetUpQap(window, dir, {"chr12a.dat", "nug12.dat", "tai12a.dat"});
  const CExperiment first = Experiment(1, 50, 1);
  window.Document().m_experiments = {first};
  ModalSteps steps(180000);
  steps.Expect("Finished Solving..");
  window.Action("actionStart")->trigger();
  VERIFY_STEPS(steps);
  QTRY_VERIFY_WITH_TIMEOUT(!window.Controls().HasWorker(), 20000);

  // The batch resumed with a second experiment: the first one's pairs are complete and count in the bar.
  window.Document().m_experiments = {first, Experiment(0.5, 30000, 2)};
  window.Action("actionStart")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(window.Controls().Progress().pairsSkipped >= 1, 20000);
  window.Action("actionStop")->trigger();
  QVERIFY(window.Controls().CurrentPauseGate()->WaitUntilParked());
  ProgressPane* pane = window.Progress();
  pane->Refresh();
  const RunProgress paused = window.Controls().Progress();
  QVERIFY2(pane->PairsText().contains("already complete, skipped"), qPrintable(pane->PairsText()));
  QVERIFY2(pane->Percent() > 0 && pane->Percent() >= static_cast<int>(100 * paused.pairsDone / paused.pairsTotal),
           qPrintable(QString("%1% with %2 of %3 pairs done").arg(pane->Percent()).arg(paused.pairsDone).arg(paused.pairsTotal)));
  QVERIFY(window.Action("actionStart")->text().contains("continue"));
  QVERIFY(window.Action("actionStart")->isEnabled() && !window.Action("actionStop")->isEnabled());
  window.Action("actionStart")->trigger();
  QCOMPARE(pane->StateText(), QStringLiteral("Running"));
  QVERIFY(window.Action("actionStop")->isEnabled() && !window.Action("actionStart")->isEnabled());
  const QString keep = qEnvironmentVariable("MIRELOCK_SCREENSHOTS");
  if (!keep.isEmpty()) {
    QTest::qWait(300);
    pane->Refresh();
    window.grab().save(keep + "/pane-after-resume.png");
  }

  // The end: while "Finished Solving.." is up the pane no longer says Running, Stop is off, and the time
  // stops at the batch's end however long the box stays.
  QString finishedTime;
  steps.When<QMessageBox>([&](QMessageBox* box) {
    steps.Check(box->text() == "Finished Solving..", box->text());
    pane->Refresh();
    window.UpdateCommands();
    steps.Check(pane->StateText() == "Finished", "state " + pane->StateText());
    steps.Check(!window.Action("actionStop")->isEnabled(), "Stop is off once every pair is done");
    finishedTime = pane->TimeText();
    QTest::qWait(1500);
    pane->Refresh();
    steps.Check(pane->TimeText() == finishedTime, pane->TimeText() + " after " + finishedTime);
    box->accept();
  });
  VERIFY_STEPS(steps);
  QTRY_VERIFY_WITH_TIMEOUT(!window.Controls().HasWorker(), 20000);
  pane->Refresh();
  QVERIFY2(finishedTime.startsWith("Finished after "), qPrintable(finishedTime));
  QCOMPARE(pane->TimeText(), finishedTime);
  QCOMPARE(pane->Percent(), 100);
  if (!keep.isEmpty()) window.grab().save(keep + "/pane-after-end.png");
}

void ReadingTheRunTest::everyMenuAndCommandHasAnAltKey() {
  MainWindow window;
  for (QAction* menu : window.menuBar()->actions()) {
    QVERIFY2(menu->text().contains('&'), qPrintable(menu->text()));
    if (!menu->menu()) continue;
    QSet<QChar> keys;
    for (QAction* action : menu->menu()->actions()) {
      if (action->isSeparator() || !action->isVisible()) continue;
      const QString text = action->text();
      const int amp = text.indexOf('&');
      QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(menu->text() + " > " + text));
      const QChar key = text[amp + 1].toLower();
      QVERIFY2(!keys.contains(key), qPrintable(menu->text() + " > " + text + ": key used twice"));
      keys.insert(key);
    }
  }
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<ReadingTheRunTest>(argc, argv); }

#include "ReadingTheRunTest.moc"
