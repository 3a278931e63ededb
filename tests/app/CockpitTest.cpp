// The desktop app as a researcher's cockpit: printing, the monitor chart of a
// search, the run's progress pane, the results window, and the smaller
// comforts (missing or bad files, remembered settings, closing during a run).
#include <QChartView>
#include <QComboBox>
#include <QPointer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <cmath>

#include "AppTestSupport.h"
#include "ModalSteps.h"
#include "app/DocumentView.h"
#include "app/ExperimentListDialog.h"
#include "app/MonitorChartWindow.h"
#include "app/ParameterDialog.h"
#include "app/ProgressPane.h"
#include "app/TerminationDialog.h"
#include "app/ResultsWindow.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"

using namespace mirelock;
using namespace mirelock::testing;

namespace {

struct Word {
  int page;
  double xMin, yMin, xMax, yMax;
  QString text;
};

// The words of a PDF with their boxes, from poppler's pdftotext; empty when the tool is missing.
QList<Word> PdfWords(const QString& pdf) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (tool.isEmpty()) return {};
  QProcess process;
  process.start(tool, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  if (!process.waitForFinished(30000)) return {};
  const QString html = QString::fromUtf8(process.readAllStandardOutput());
  QList<Word> words;
  int page = 0;
  static const QRegularExpression pattern(
      QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
  for (auto it = pattern.globalMatch(html); it.hasNext();) {
    const auto match = it.next();
    if (match.captured(0).startsWith(QStringLiteral("<page"))) {
      ++page;
      continue;
    }
    words << Word{page, match.captured(1).toDouble(), match.captured(2).toDouble(), match.captured(3).toDouble(),
                  match.captured(4).toDouble(), match.captured(5)};
  }
  return words;
}

}  // namespace

class CockpitTest : public QObject {
  Q_OBJECT

 private slots:
  void printsTheViewAtAReadableSizeWithPageBreaks();
  void monitorRunIntoTheChartThenOtherFiles();
  void monitorChartRefreshOfAMillionLineFileStaysShort();
  void progressPaneDuringATwoExperimentBatchPausedAndAbandoned();
  void summariseOpensTheResultsWithTheSummaryFilesFigures();
  void smallerComforts();
};

void CockpitTest::printsTheViewAtAReadableSizeWithPageBreaks() {
  MainWindow window;
  CMirelockDoc& doc = window.Document();
  doc.m_strProblemsDir = "/data/problems/a/rather/long/path/that/goes/on/for/quite/a/while/until/it/ends/";
  doc.m_strMonitorProblem = "/data/problems/nug12.dat";
  doc.m_strMonitorOutputFile = "/tmp/monitor.txt";
  doc.m_monitorExperiment.ApplyPresetGLSSAT2();
  for (unsigned i = 0; i < 70; ++i) doc.m_experiments.push_back(Experiment(0.1 * (i + 1), 1000, 10));

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("view.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  const int pages = window.PrintTo(printer);
  QVERIFY2(pages >= 2, "70 experiments do not fit one page");

  const QList<Word> words = PdfWords(pdf);
  if (words.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
  QString all;
  for (const Word& word : words) all += word.text + QLatin1Char(' ');
  QVERIFY(all.contains(QStringLiteral("Penalty decay=0.8 every 200 local minima")));
  QVERIFY(all.contains(QStringLiteral("69: Lambda=7")));
  QVERIFY(all.contains(QStringLiteral("Problem ordering is a natural sequence")));
  // (pdftotext gives the "fi" of "fixed" as a ligature.)
  QVERIFY2(all.contains(QStringLiteral("seed: 21 (x run number)")), qPrintable(all.mid(all.indexOf("Seeds"), 60)));
  QCOMPARE(words.back().page, pages);
  // 15 mm (42.5 points) of margin on every side of the page, whatever the printer was set to.
  const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Point).size();
  for (const Word& word : words)
    QVERIFY2(word.xMin >= 42 && word.yMin >= 42 && word.xMax <= paper.width() - 42 && word.yMax <= paper.height() - 42,
             qPrintable(QStringLiteral("%1 at %2,%3").arg(word.text).arg(word.xMin).arg(word.yMin)));
  // A wrapped experiment line stays on one page: after a page's title ("Untitled - Mirelock") comes the
  // start of a line ("N:"), never the rest of one. The lines above the experiments shift where the pages
  // break, so the view is printed with one to three of them wrapped.
  static const QRegularExpression lineStart(QStringLiteral("^\\d+:$"));
  for (const int length : {1, 90, 140, 190, 240}) {
    const std::string results = std::string(static_cast<std::size_t>(length), 'r') + "/";
    doc.m_strResultsDir = results;
    const QString variant = dir.filePath(QStringLiteral("variant.pdf"));
    printer.setOutputFileName(variant);
    window.PrintTo(printer);
    const QList<Word> printed = PdfWords(variant);
    for (int i = 1; i + 3 < printed.size(); ++i)
      if (printed[i].page != printed[i - 1].page)
        QVERIFY2(lineStart.match(printed[i + 3].text).hasMatch(),
                 qPrintable(QStringLiteral("page %1 starts with \"%2\"").arg(printed[i].page).arg(printed[i + 3].text)));
  }

  // A 10-point font gives word boxes about 10 to 13 points high, not the 100 and more of a double scaling.
  for (const Word& word : words) {
    const double height = word.yMax - word.yMin;
    QVERIFY2(height > 6 && height < 18, qPrintable(QStringLiteral("%1 is %2 pt high").arg(word.text).arg(height)));
    QVERIFY2(word.xMax < 600, qPrintable(word.text + QStringLiteral(" runs off the page")));
  }
  // Lines do not overlap: words of different lines on a page are apart vertically.
  for (int i = 1; i < words.size(); ++i) {
    const Word& a = words[i - 1];
    const Word& b = words[i];
    if (a.page != b.page || std::abs(a.yMin - b.yMin) < 1) continue;
    QVERIFY2(b.yMin >= a.yMax - 0.5, qPrintable(QStringLiteral("\"%1\" overlaps \"%2\"").arg(a.text, b.text)));
  }
}

void CockpitTest::monitorRunIntoTheChartThenOtherFiles() {
  QTemporaryDir dir;
  MainWindow window;
  window.show();
  SetUpQap(window, dir, {QStringLiteral("nug12.dat")});
  CMirelockDoc& doc = window.Document();
  const QString monitorFile = dir.filePath(QStringLiteral("monitor.txt"));

  // Problem and output through the choosers (the problem type's filter; the suffix added), and termination
  // criteria that stay though the parameter editor is cancelled.
  ModalSteps steps;
  window.SetChooserRunner([&](QFileDialog& d) {
    steps.Check(d.nameFilters().value(0) == QStringLiteral("DAT (*.dat)"), QStringLiteral("QAP problems filter"));
    return dir.filePath(QStringLiteral("problems/nug12.dat"));
  });
  window.Action(QStringLiteral("actionMonitorProblem"))->trigger();
  QVERIFY(doc.m_bSettingsChanged);
  window.SetChooserRunner([&](QFileDialog&) { return dir.filePath(QStringLiteral("monitor")); });
  window.Action(QStringLiteral("actionMonitorOutput"))->trigger();
  steps.When<ParameterDialog>([&](ParameterDialog* d) { Click(d, "terminationButton"); });
  steps.When<TerminationDialog>([&](TerminationDialog* d) {
    SetText(d, "maxRepairs", QStringLiteral("3000"));
    Child<QCheckBox>(d, "timesN")->setChecked(false);
    SetText(d, "numRuns", QStringLiteral("3"));
    PressOk(d);
  });
  steps.When<ParameterDialog>([&](ParameterDialog* d) { d->reject(); });
  window.Action(QStringLiteral("actionMonitorParameters"))->trigger();
  VERIFY_STEPS(steps);
  QCOMPARE(doc.m_monitorExperiment.m_nMaxRepairs, 3000u);
  QCOMPARE(QString::fromStdString(doc.m_strMonitorOutputFile), monitorFile);
  QString settings = QStringLiteral("Experiment settings are");
  for (unsigned i = 0; i < 8; ++i) settings += " " + QString::fromStdString(doc.m_monitorExperiment.GetParamAt(i));
  QCOMPARE(window.View()->LineTexts().size(), 8);
  QCOMPARE(window.View()->LineTexts().value(6), settings);

  doc.m_nMonitorEvery = 10;
  window.Action(QStringLiteral("actionMonitorChart"))->trigger();
  QPointer<MonitorChartWindow> chart = window.MonitorChart();
  QVERIFY(chart && chart->isVisible());

  // Three runs rewrite the file three times; the title names the last one, however fast they went.
  MessageCatcher catcher;
  window.Action(QStringLiteral("actionSolveProblem"))->trigger();
  VERIFY_FINISHED(window, catcher, 60000);
  QTRY_VERIFY_WITH_TIMEOUT(chart->PointCount() >= 300, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(chart->Title().contains(QStringLiteral("run 3 of 3")), 5000);
  QVERIFY2(chart->Title().startsWith(QStringLiteral("nug12.dat (QAP), run 3 of 3, ")), qPrintable(chart->Title()));
  QCOMPARE(chart->SeriesNames(), (QStringList{"Cost", "Best cost", "Augmented cost"}));
  QVERIFY(chart->IsSeriesVisible(QStringLiteral("Best known cost")));
  QVERIFY(chart->StatusText().isEmpty());

  // Hide the augmented cost, log scale on and off: the series stay.
  chart->SetSeriesVisible(QStringLiteral("Augmented cost"), false);
  QVERIFY(!chart->IsSeriesVisible(QStringLiteral("Augmented cost")));
  chart->SetLogScale(true);
  QCOMPARE(chart->DrawnPointCount(), chart->PointCount());
  chart->SetLogScale(false);
  chart->ResetZoom();

  // A file that is not a monitor file is named in the fault; the monitor file loads again afterwards.
  const QString bad = dir.filePath(QStringLiteral("not-monitor.txt"));
  WriteText(bad, "Problem_name\tBest_cost\nx\t1\n");
  chart->Follow(bad);
  QVERIFY(chart->StatusText().contains(QStringLiteral("not-monitor.txt")));
  chart->Follow(monitorFile);
  QVERIFY(chart->PointCount() >= 300);

  // The SAT solver's columns: nothing of the QAP run stays in the title, the labels or the series.
  const QString sat = dir.filePath(QStringLiteral("sat-monitor.txt"));
  const QByteArray satHeader = "Repairs\tCurrent_Cost\tCurrent_Aug_Cost\tSol_Found\t\n";
  WriteText(sat, satHeader + "0\t15\t15\t0\t\n10\t3\t3.5\t0\t\n");
  chart->Follow(sat);
  QCOMPARE(chart->SeriesNames(), (QStringList{"Cost", "Augmented cost"}));
  QCOMPARE(chart->PointCount(), 2);
  QCOMPARE(chart->Title(), QStringLiteral("sat-monitor.txt, run 1, 2 points"));
  QVERIFY(!chart->IsSeriesVisible(QStringLiteral("Best known cost")));
  QVERIFY(chart->StatusText().isEmpty());
  // Lines appended later are picked up, but not one still being written.
  WriteText(sat, "20\t1\t2.25\t0\t\n30\t0", QIODevice::Append);
  QTRY_COMPARE(chart->PointCount(), 3);
  // Rewritten by the next run: the chart starts over at run 2.
  WriteText(sat, satHeader + "0\t9\t9\t0\t\n");
  QTRY_COMPARE(chart->PointCount(), 1);
  QVERIFY2(chart->Title().contains(QStringLiteral("run 2")), qPrintable(chart->Title()));

  // A TSP monitor run: the TSP solver's file in the QAP layout, read into the same three series.
  QVERIFY(CopyExamples(QStringLiteral("tsp"), {QStringLiteral("burma14.tsp")}, dir.filePath("problems")));
  window.Action(QStringLiteral("actionType3"))->trigger();
  QVERIFY2(doc.m_strMonitorProblem.empty(), "the QAP monitor problem went with the QAP type");
  doc.m_strMonitorProblem = dir.filePath(QStringLiteral("problems/burma14.tsp")).toStdString();
  doc.m_strMonitorOutputFile = dir.filePath(QStringLiteral("tsp-monitor.txt")).toStdString();
  doc.m_monitorExperiment.m_nNumRuns = 1;
  doc.m_bSettingsChanged = true;
  window.Action(QStringLiteral("actionSolveProblem"))->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(catcher.Texts().count(QStringLiteral("Finished Solving..")) == 2, 60000);
  // 3000 repairs written every 10: 301 points.
  QTRY_COMPARE_WITH_TIMEOUT(chart->PointCount(), 301, 10000);
  QVERIFY2(chart->StatusText().isEmpty(), qPrintable(chart->StatusText()));
  QCOMPARE(chart->SeriesNames(), (QStringList{"Cost", "Best cost", "Augmented cost"}));
  QVERIFY2(chart->Title().startsWith(QStringLiteral("burma14.tsp (TSP), run 1 of 1, ")), qPrintable(chart->Title()));
}

void CockpitTest::monitorChartRefreshOfAMillionLineFileStaysShort() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("big-monitor.txt"));
  constexpr int kLines = 1000000;
  QByteArray text = "Repairs\tBest_Cost\tCost\tAugmented_Cost\t\n";
  text.reserve(40 << 20);
  long best = 900000;
  for (int k = 0; k < kLines; ++k) {
    const long cost = best + (k * 7919L) % 5000;
    if (k % 1000 == 0 && best > 500000) best -= 300;
    text += QByteArray::number(k * 10) + '\t' + QByteArray::number(best) + '\t' + QByteArray::number(cost) + '\t' +
            QByteArray::number(cost + k / 10) + "\t\n";
  }
  WriteText(path, text);
  MonitorChartWindow chart;
  chart.resize(800, 500);
  chart.show();
  chart.Follow(path);
  qint64 longest = chart.LastRefreshMs();
  // The file is read in steps, each one refresh.
  for (int step = 0; chart.HasPendingData() && step < 1000; ++step) {
    chart.Refresh();
    longest = std::max(longest, chart.LastRefreshMs());
  }
  QVERIFY(!chart.HasPendingData());
  QCOMPARE(chart.PointCount(), kLines);
  QVERIFY2(chart.DrawnPointCount() <= 4 * 1024, qPrintable(QString::number(chart.DrawnPointCount())));
  // Lines appended to the million: one more refresh.
  QByteArray more;
  for (int k = kLines; k < kLines + 2000; ++k)
    more += QByteArray::number(k * 10) + "\t500000\t500100\t600000\t\n";
  WriteText(path, more, QIODevice::Append);
  chart.Refresh();
  longest = std::max(longest, chart.LastRefreshMs());
  QCOMPARE(chart.PointCount(), kLines + 2000);
  // The goal is 50 ms in a release build (bench/monitor_chart); this bound leaves room for sanitizers.
  QVERIFY2(longest < 2000, qPrintable(QStringLiteral("a refresh took %1 ms").arg(longest)));
  qInfo("longest refresh: %lld ms", static_cast<long long>(longest));
}

void CockpitTest::progressPaneDuringATwoExperimentBatchPausedAndAbandoned() {
  QTemporaryDir dir;
  MainWindow window;
  window.show();
  SetUpQap(window, dir, {QStringLiteral("nug12.dat")});
  window.Document().m_experiments = {Experiment(1, 40000, 3), Experiment(0.5, 40000, 3)};
  ProgressPane* pane = window.Progress();
  QCOMPARE(pane->StateText(), QStringLiteral("Idle"));
  QVERIFY(!pane->CanAbandon());

  MessageCatcher catcher;
  window.Action(QStringLiteral("actionStart"))->trigger();
  QCOMPARE(pane->StateText(), QStringLiteral("Running"));
  // Wait for the second experiment, then pause at once.
  QTRY_VERIFY_WITH_TIMEOUT(
      [&] {
        const RunProgress p = window.Controls().Progress();
        return !p.workers.empty() && p.workers.front().experimentIndex == 1 && p.workers.front().run >= 1;
      }(),
      60000);
  window.Action(QStringLiteral("actionStop"))->trigger();
  QVERIFY(window.Controls().CurrentPauseGate()->WaitUntilParked());
  pane->Refresh();
  QCOMPARE(pane->StateText(), QStringLiteral("PAUSED"));
  QVERIFY(pane->CanAbandon());
  QVERIFY(window.Action(QStringLiteral("actionAbandon"))->isEnabled());
  QVERIFY2(pane->PairsText().startsWith(QStringLiteral("Pairs done: 1 of 2   Problems done: 0 of 1   Experiments: 2")),
           qPrintable(pane->PairsText()));
  QVERIFY2(pane->WorkText().startsWith(QStringLiteral("Solving nug12.dat with experiment 2 of 2, run ")),
           qPrintable(pane->WorkText()));
  // The run's share of its repair limit stands beside it: "run 1 of 3 (3 %)  [Lambda=0.5 ...".
  QVERIFY2(QRegularExpression(QStringLiteral("run \\d of 3 \\(\\d+ %\\)  \\[Lambda=0\\.5 ")).match(pane->WorkText()).hasMatch(),
           qPrintable(pane->WorkText()));
  QVERIFY(pane->Percent() >= 50 && pane->Percent() < 100);
  QVERIFY2(pane->TimeText().startsWith(QStringLiteral("Elapsed ")) && pane->TimeText().endsWith("(paused)"),
           qPrintable(pane->TimeText()));
  // The paused pane stays as it is: the clock does not run while paused.
  const QString time = pane->TimeText();
  QTest::qWait(1200);
  QCOMPARE(pane->TimeText().section(',', 0, 0), time.section(',', 0, 0));

  // Abandon ends the paused run; the first pair's file is complete, the second keeps only its finished runs.
  window.Action(QStringLiteral("actionAbandon"))->trigger();
  QVERIFY(!window.Controls().HasWorker());
  QTRY_COMPARE(pane->StateText(), QStringLiteral("Idle"));
  QVERIFY(!pane->CanAbandon());
  QVERIFY(window.Action(QStringLiteral("actionStart"))->isEnabled());
  const CMirelockDoc& doc = window.Document();
  QVERIFY(IsResultsFileComplete(doc.m_strResultsDir, kProblemQAP, "nug12.dat", doc.m_experiments[0]));
  QVERIFY(!IsResultsFileComplete(doc.m_strResultsDir, kProblemQAP, "nug12.dat", doc.m_experiments[1]));
  QVERIFY(!catcher.Texts().contains(QStringLiteral("Finished Solving..")));
}

void CockpitTest::summariseOpensTheResultsWithTheSummaryFilesFigures() {
  QTemporaryDir dir;
  MainWindow window;
  window.show();
  SetUpQap(window, dir, {QStringLiteral("chr12a.dat"), QStringLiteral("nug12.dat"), QStringLiteral("tai12a.dat")});
  window.Document().m_experiments = {Experiment(1, 400, 3), Experiment(0.25, 400, 3)};
  MessageCatcher catcher;
  window.Action(QStringLiteral("actionStart"))->trigger();
  VERIFY_FINISHED(window, catcher, 120000);

  window.Action(QStringLiteral("actionSummarise"))->trigger();
  ResultsWindow* results = window.Results();
  QVERIFY(results && results->isVisible());
  // The analysis charts, one tab each, exportable as the report command draws them.
  auto* boxes = results->Tabs()->widget(1)->findChild<QChartView*>();
  QVERIFY2(boxes && boxes->chart(), "QAP runs with best known costs have gap box plots");
  QVERIFY(results->Tabs()->widget(4)->findChild<QChartView*>());
  const QString svg = dir.filePath(QStringLiteral("boxes.svg"));
  const QString png = dir.filePath(QStringLiteral("boxes.png"));
  results->Tabs()->setCurrentIndex(1);
  QTRY_VERIFY(!boxes->chart()->geometry().isEmpty());
  const QRectF shown = boxes->chart()->geometry();
  QVERIFY(ResultsWindow::ExportChart(boxes, svg));
  QVERIFY(ResultsWindow::ExportChart(boxes, png));
  QVERIFY(ReadText(svg).contains("<svg"));
  QVERIFY(!QImage(png).isNull());
  // Exporting borrows the chart for drawing: the window still shows it, where it was.
  QCOMPARE(boxes->chart()->scene(), boxes->scene());
  QCOMPARE(boxes->chart()->geometry(), shown);

  // The fixed-budget chart of one problem: a list of the traced problems above it redraws it for the one
  // chosen, and the chart it replaces goes.
  QChartView* oneProblem = nullptr;
  QComboBox* chooser = nullptr;
  for (int i = 0; i < results->Tabs()->count(); ++i)
    if (results->Tabs()->tabText(i) == QStringLiteral("Fixed-budget, one problem")) {
      oneProblem = results->Tabs()->widget(i)->findChild<QChartView*>();
      chooser = results->Tabs()->widget(i)->findChild<QComboBox*>();
    }
  QVERIFY(oneProblem && chooser);
  QCOMPARE(chooser->count(), 3);
  QVERIFY(oneProblem->chart()->title().endsWith(chooser->currentText()));
  const int other = (chooser->currentIndex() + 1) % 3;
  QPointer<QChart> before = oneProblem->chart();
  chooser->setCurrentIndex(other);
  QVERIFY(oneProblem->chart()->title().endsWith(chooser->itemText(other)));
  QVERIFY(before.isNull());

  // The summary file's per-problem means and minima of the gap, and mean CPU seconds.
  const QStringList lines = QString::fromUtf8(ReadText(dir.filePath(QStringLiteral("summary.csv")))).split('\n');
  const auto block = [&](const QString& column) {
    QMap<QString, QStringList> rows;  // problem -> the cells of the Mean, Stddev, Min, Max groups
    const int head = static_cast<int>(lines.indexOf(QRegularExpression("^Mean\\(" + QRegularExpression::escape(column) + "\\),.*")));
    for (int i = head + 2; head >= 0 && i < lines.size() && !lines[i].startsWith("Average"); ++i)
      rows[lines[i].section(',', 0, 0)] = lines[i].split(QLatin1Char(','));
    return rows;
  };
  const auto gaps = block(QStringLiteral("Best_%gap_to_best_known_cost"));
  const auto cpu = block(QStringLiteral("CPU_secs"));
  QCOMPARE(gaps.size(), 3);
  QCOMPARE(cpu.size(), 3);
  constexpr int kGroup = 2 + 3;  // a label, two experiments, two empty cells

  QTableView* table = results->Table();
  QAbstractItemModel* model = table->model();
  QCOMPARE(model->rowCount(), 6);
  QCOMPARE(model->columnCount(), 8);
  for (int r = 0; r < model->rowCount(); ++r) {
    const QString problem = model->index(r, 0).data().toString();
    const int experiment = model->index(r, 1).data(Qt::UserRole).toInt();
    QVERIFY2(gaps.contains(problem), qPrintable(problem));
    QCOMPARE(model->index(r, 3).data().toString(), gaps[problem].value(0 * kGroup + 1 + experiment));
    QCOMPARE(model->index(r, 4).data().toString(), gaps[problem].value(2 * kGroup + 1 + experiment));
    QCOMPARE(model->index(r, 6).data().toString(), cpu[problem].value(0 * kGroup + 1 + experiment));
    // Success: a best gap of 0 means at least one run reached the best known cost.
    const bool reached = gaps[problem].value(2 * kGroup + 1 + experiment) == QStringLiteral("0");
    QCOMPARE(model->index(r, 5).data(Qt::UserRole).toDouble() > 0, reached);
  }
  // Sorting by the mean gap puts the rows in order of the number, not of the text.
  table->sortByColumn(3, Qt::AscendingOrder);
  for (int r = 1; r < model->rowCount(); ++r)
    QVERIFY(model->index(r - 1, 3).data(Qt::UserRole).toDouble() <= model->index(r, 3).data(Qt::UserRole).toDouble());

  // The table exports as CSV in the order shown.
  const QString exported = dir.filePath(QStringLiteral("table.csv"));
  QVERIFY(results->ExportTable(exported));
  const QStringList csvLines = QString::fromUtf8(ReadText(exported)).trimmed().split('\n');
  QCOMPARE(csvLines.size(), 7);
  QCOMPARE(csvLines.front(), QStringLiteral("Problem,Experiment,Runs,Mean gap %,Best gap %,Success,Mean CPU s,Settings"));
  QCOMPARE(csvLines[1].section(',', 3, 3), model->index(0, 3).data().toString());
}

void CockpitTest::smallerComforts() {
  QTemporaryDir dir;
  const QString saved = dir.filePath(QStringLiteral("kept.mirel"));
  {
    MainWindow window;
    window.show();
    window.Document().m_strProblemsDir = "/my/problems/";
    window.Document().m_experiments = {Experiment(1, 1000, 10)};
    window.SetChooserRunner([&](QFileDialog&) { return saved; });
    window.Action(QStringLiteral("actionSaveAs"))->trigger();
    QCOMPARE(window.RecentFiles().value(0), QFileInfo(saved).absoluteFilePath());
    QVERIFY(window.Action(QStringLiteral("actionRecent1"))->isVisible());
    window.Document().m_strProblemsDir = "/unsaved/problems/";

    // A missing document and a malformed one are refused with a message naming them. The missing one keeps
    // the current document and drops the stale recent entry; the malformed one leaves a new document.
    QVERIFY(QFile::rename(saved, saved + ".moved"));
    ModalSteps steps;
    QStringList messages;
    steps.Message(&messages);
    QVERIFY(!window.OpenDocument(saved));
    VERIFY_STEPS(steps);
    QCOMPARE(window.Document().m_strProblemsDir, std::string("/unsaved/problems/"));
    QCOMPARE(window.Document().m_experiments.size(), std::size_t{1});
    QVERIFY(!window.RecentFiles().contains(QFileInfo(saved).absoluteFilePath()));
    const QString malformed = dir.filePath(QStringLiteral("bad.mirel"));
    WriteText(malformed, QByteArray("\x02\x00\x00\x00\x40short", 10));
    AnswerSaveChanges(steps, QMessageBox::Discard);
    steps.Message(&messages);
    QVERIFY(!window.OpenDocument(malformed));
    VERIFY_STEPS(steps);
    QCOMPARE(messages.size(), 2);
    QVERIFY2(messages[0].contains(saved) && messages[0].contains("does not exist"), qPrintable(messages[0]));
    QVERIFY2(messages[1].contains(QStringLiteral("bad.mirel")), qPrintable(messages[1]));
    // What was saved comes back.
    QVERIFY(QFile::rename(saved + ".moved", saved));
    QVERIFY(window.OpenDocument(saved));
    QCOMPARE(window.Document().m_strProblemsDir, std::string("/my/problems/"));

    // The workers are stored for the user.
    window.SetWorkers(3);
    QCOMPARE(window.Controls().Partition().jobs, 3u);

    // The view grows with its lines; the scroll area scrolls instead of clipping.
    for (unsigned i = 0; i < 30; ++i) window.Document().m_experiments.push_back(Experiment(2 + i, 1000, 10));
    window.resize(900, 420);
    window.View()->Refresh();
    QApplication::processEvents();
    auto* scroll = window.findChild<QScrollArea*>(QStringLiteral("documentScroll"));
    QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
    window.resize(777, 555);
    AnswerSaveChanges(steps, QMessageBox::Discard);
    QVERIFY(window.close());
    VERIFY_STEPS(steps);
  }
  {
    QTemporaryDir work;
    MainWindow window;
    QCOMPARE(window.Workers(), 3u);
    QCOMPARE(window.size(), QSize(777, 555));
    window.SetWorkers(1);

    // A problem file the reader cannot take ends the run with its message, not the window.
    SetUpQap(window, work, {QStringLiteral("nug12.dat")});
    const QString broken = work.filePath(QStringLiteral("problems/broken.dat"));
    WriteText(broken, "twelve\n");
    window.Document().m_experiments = {Experiment(1, 100000, 5)};
    window.show();
    MessageCatcher catcher;
    window.Action(QStringLiteral("actionStart"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!catcher.Texts().isEmpty() && !window.Controls().HasWorker(), 20000);
    QVERIFY2(catcher.Texts().front().startsWith(broken + ": "), qPrintable(catcher.Texts().front()));
    QTRY_VERIFY(window.Action(QStringLiteral("actionStart"))->isEnabled());
    QVERIFY(window.Controls().LastFatalError().has_value());
    QVERIFY(!catcher.Texts().contains(QStringLiteral("Finished Solving..")));

    // Closing during a paused batch asks; No keeps the window and the run.
    QVERIFY(QFile::remove(broken));
    window.Action(QStringLiteral("actionStart"))->trigger();
    window.Action(QStringLiteral("actionStop"))->trigger();
    // (Saved first: the catcher would answer a "Save changes?" question as well.)
    window.SetChooserRunner([&](QFileDialog&) { return work.filePath(QStringLiteral("batch.mirel")); });
    window.Action(QStringLiteral("actionSaveAs"))->trigger();
    int asked = 0;
    for (const bool quit : {false, true}) {
      window.SetCloseQuestion([&asked, quit] {
        ++asked;
        return quit;
      });
      QCOMPARE(window.close(), quit);
      QVERIFY(quit || window.Controls().HasWorker());
    }
    QCOMPARE(asked, 2);
  }

  // The experiment list shows a long cell whole instead of cutting its middle out.
  CExperiment plain = Experiment(1, 1000, 10);
  CExperiment decaying = plain;
  decaying.ApplyPresetGLSSAT2();
  RecordingMessages quiet;
  ExperimentListDialog list({plain, decaying}, quiet);
  auto* table = list.findChild<QTableWidget*>(QStringLiteral("experimentTable"));
  for (int c = 0; c < table->columnCount(); ++c)
    if (table->horizontalHeaderItem(c)->text() == QStringLiteral("Penalty decay"))
      QVERIFY(table->columnWidth(c) >= table->fontMetrics().horizontalAdvance("0.8 every 200 local minima"));
}

int main(int argc, char* argv[]) { return mirelock::testing::RunAppTest<CockpitTest>(argc, argv); }

#include "CockpitTest.moc"
