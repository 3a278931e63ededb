#include "cli/ReportChartFiles.h"

#ifdef MIRELOCK_WITH_CHARTS

#include <QApplication>
#include <QChart>
#include <functional>
#include <memory>

#include "charts/ReportCharts.h"

namespace mirelock {

namespace {

struct ChartKind {
  const char* fileStem;
  const char* heading;
  QChart* (*make)(const analysis::Report&);
  const char* explanation;
  const char* missing;  // why there is no chart, when there is none
};

const ChartKind kCharts[] = {
    {"gap-boxplot", "Solution quality per experiment", charts::MakeGapBoxPlot,
     "Each box spans the middle half of all runs' gaps to the best known cost (first to third quartile), the line "
     "in it is the median, the whiskers reach the best and the worst run, and the red square is the mean. Lower "
     "is better; a box well below another means better final solutions on most runs.",
     "No gap chart: there are no gaps (SAT problems, or no best known costs)."},
    {"critical-difference", "Mean ranks and critical difference", charts::MakeCriticalDifferenceChart,
     "Each dot is an experiment's mean rank over the problems (1 = best on every problem), best on top. The bar "
     "around it is as wide as the Nemenyi critical difference: experiments whose bars do not overlap differ "
     "significantly (alpha 0.05); overlapping bars mean the batch cannot tell them apart.",
     "No critical-difference chart: there are no rank tests (see below)."},
    {"run-length", "Run-length distributions", charts::MakeRunLengthChart,
     "For each experiment, the fraction of all its runs that had succeeded (solved, or reached the best known "
     "cost) within a number of repairs, on a log scale. A curve further left succeeds with less search; its "
     "final height is the success rate. Counts in the legend are successful runs out of all runs.",
     "No run-length chart: no run succeeded."},
    {"run-time", "Run-time distributions", charts::MakeRunTimeChart,
     "As the run-length chart, over the CPU seconds of each successful run (the whole run: the results files do "
     "not record the time of the best solution).",
     "No run-time chart: no run succeeded, or most successful runs took less than the solvers' 1 ms clock tick "
     "(the run-length chart measures their effort)."},
    {"target-repairs", "Fixed-target run-length distributions", charts::MakeTargetRepairsChart,
     "From the runs' traces: for each experiment (colour) and each target of the ladder (line style: the best "
     "known cost, then a percentage above it), the fraction of the experiment's runs over all problems that had "
     "reached the target within a number of repairs, on a log scale. A curve further left gets there with less "
     "search; its final height is the share of runs that got there at all.",
     "No fixed-target charts: they need the runs' traces (a batch run before traces were recorded has none) and "
     "a best known cost for the problems."},
    {"target-seconds", "Fixed-target run-time distributions", charts::MakeTargetSecondsChart,
     "As the fixed-target run-length chart, over the CPU seconds each run had spent when it first reached the "
     "target; it replaces the run-time chart of whole runs. A time under the solvers' 1 ms clock tick is drawn "
     "at 1 ms.",
     ""},
    {"fixed-budget", "Fixed-budget quality", charts::MakeFixedBudgetChart,
     "From the runs' traces: for each experiment, the median gap to the best known cost of its runs' best "
     "solution so far after a number of repairs (log scale), over all problems, with a band from the first to "
     "the third quartile. A lower line is closer sooner; where the lines cross, the better choice depends on "
     "the budget.",
     "No fixed-budget chart: it needs the runs' traces and best known costs (not drawn for SAT)."},
    {"fixed-budget-problem", "Fixed-budget quality on one problem", charts::MakeProblemFixedBudgetChart,
     "As the fixed-budget chart, over the runs of this one problem only. Unless --budget-problem names another, "
     "it is the problem whose traced runs ended with the highest mean gap, where the experiments' paths differ "
     "most.",
     ""},
};

// Qt's note that it made up a runtime directory is noise on a command line; everything else passes.
QtMessageHandler gQtDefaultHandler = nullptr;
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith("QStandardPaths:")) return;
  if (gQtDefaultHandler) gQtDefaultHandler(type, context, text);
}

// QApplication needs argc and argv that outlive it.
int gArgc = 1;
char gName[] = "mirelock";
char* gArgv[] = {gName, nullptr};

}  // namespace

DrawnCharts DrawReportCharts(const analysis::Report& report) {
  // Charts are drawn into images only: no window, no display needed.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  gQtDefaultHandler = qInstallMessageHandler(QuietQtMessages);
  std::unique_ptr<QApplication> app;
  if (!QApplication::instance()) app = std::make_unique<QApplication>(gArgc, gArgv);

  DrawnCharts drawn;
  for (const ChartKind& kind : kCharts) {
    std::unique_ptr<QChart> chart(kind.make(report));
    if (!chart) {
      drawn.absentStems.push_back(kind.fileStem);
      // The fixed-target chart over CPU seconds stands in its place.
      const bool replaced = kind.make == charts::MakeRunTimeChart && report.anytime.available;
      std::string missing = kind.missing;
      if (kind.make == charts::MakeProblemFixedBudgetChart && report.anytime.available &&
          report.problemType != kProblemSAT)
        missing = "No one-problem fixed-budget chart: the problem chosen has no traced run with a best known cost.";
      if (!missing.empty() && !replaced) {
        if (!drawn.note.empty()) drawn.note += ' ';
        drawn.note += missing;
      }
      continue;
    }
    const QByteArray png = charts::RenderChart(*chart, charts::kReportChartSize, charts::ImageFormat::kPng);
    const QByteArray svg = charts::RenderChart(*chart, charts::kReportChartSize, charts::ImageFormat::kSvg);
    if (png.isEmpty() || svg.isEmpty()) {
      drawn.failures.push_back(kind.fileStem);
      continue;
    }
    std::string heading = kind.heading;
    if (kind.make == charts::MakeProblemFixedBudgetChart) heading += ": " + report.problems[*report.anytime.budgetProblem];
    drawn.charts.push_back({{heading, "data:image/png;base64," + png.toBase64().toStdString(),
                             std::string(kind.fileStem) + ".png / .svg", kind.explanation},
                            kind.fileStem,
                            png.toStdString(),
                            svg.toStdString()});
  }
  return drawn;
}

}  // namespace mirelock

#else

namespace mirelock {

DrawnCharts DrawReportCharts(const analysis::Report&) {
  DrawnCharts drawn;
  drawn.note = "Charts need the Qt build of Mirelock (configured with MIRELOCK_GUI=ON and Qt 6 Charts installed); "
               "this mirelock was built without Qt, so the report has its tables and runs.csv only.";
  return drawn;
}

}  // namespace mirelock

#endif
