#include "app/ResultsCharts.h"

#include <QChart>
#include <memory>

#include "analysis/ReportBuilder.h"
#include "app/QuietMessages.h"
#include "app/ResultsRows.h"
#include "app/ResultsWindow.h"
#include "charts/ReportCharts.h"
#include "runner/RunControls.h"
#include "summary/CSummariser.h"

namespace mirelock {

namespace {

struct ChartTab {
  const char* title;
  QChart* (*make)(const analysis::Report&);
  const char* missing;  // why the analysis draws nothing
};

const ChartTab kTabs[] = {
    {"Gap box plots", charts::MakeGapBoxPlot,
     "No gap box plots: the problems have no gaps (SAT, or no best known costs in best.txt)."},
    {"Run-length distributions", charts::MakeRunLengthChart,
     "No run-length distributions: no run solved its problem or reached the best known cost."},
    {"Run-time distributions", charts::MakeRunTimeChart,
     "No run-time distributions: no run succeeded, or the successful runs were shorter than the solvers' "
     "1 ms clock tick (the run-length distributions measure their effort in repairs)."},
    {"Fixed-target run lengths", charts::MakeTargetRepairsChart,
     "No fixed-target distributions: they need the runs' traces (a batch run before traces were recorded has "
     "none) and a best known cost for the problems."},
    {"Fixed-target run times", charts::MakeTargetSecondsChart,
     "No fixed-target distributions: they need the runs' traces (a batch run before traces were recorded has "
     "none) and a best known cost for the problems."},
    {"Fixed-budget quality", charts::MakeFixedBudgetChart,
     "No fixed-budget chart: it needs the runs' traces and best known costs (not drawn for SAT)."},
    {"Critical difference", charts::MakeCriticalDifferenceChart,
     "No critical-difference chart: the rank tests need at least two experiments and two problems ranked "
     "on all of them."},
};

// The fixed-budget chart of one problem, chosen from those with traced runs and a best known cost.
void AddProblemFixedBudgetTab(ResultsWindow& window, const analysis::Report& report) {
  if (!report.anytime.budgetProblem) return;
  std::vector<std::size_t> traced(report.problems.size(), 0);
  for (std::size_t i = 0; i < report.runs.size() && i < report.traces.size(); ++i)
    if (report.traces[i] && report.bestKnown[report.runs[i].problem]) ++traced[report.runs[i].problem];
  QStringList names;
  std::vector<std::size_t> problems;
  int current = 0;
  for (std::size_t p = 0; p < traced.size(); ++p) {
    if (traced[p] == 0) continue;
    if (p == *report.anytime.budgetProblem) current = static_cast<int>(problems.size());
    names << QString::fromStdString(report.problems[p]);
    problems.push_back(p);
  }
  auto shared = std::make_shared<const analysis::Report>(report);
  window.AddChoiceChartTab(QStringLiteral("Fixed-budget, one problem"), names, current,
                           [shared, problems](int index) -> QChart* {
                             return charts::MakeFixedBudgetChartFor(*shared, problems[static_cast<std::size_t>(index)]);
                           });
}

}  // namespace

void AddResultsCharts(ResultsWindow& window, const std::optional<analysis::Report>& report) {
  window.ClearChartTabs();
  for (const ChartTab& tab : kTabs) {
    QChart* chart = report ? tab.make(*report) : nullptr;
    if (chart) {
      window.AddChartTab(QString::fromLatin1(tab.title), chart);
      if (tab.make == charts::MakeFixedBudgetChart) AddProblemFixedBudgetTab(window, *report);
      continue;
    }
    // The fixed-target run times from the traces stand in its place.
    if (report && tab.make == charts::MakeRunTimeChart && report->anytime.available) continue;
    QString note = QString::fromLatin1(tab.missing);
    if (!report) note = QStringLiteral("The analysis could not read the batch; the summary table has what was read.");
    else if (tab.make == charts::MakeCriticalDifferenceChart && !report->testsOmitted.empty())
      note = QStringLiteral("No critical-difference chart: ") + QString::fromStdString(report->testsOmitted);
    window.AddNoteTab(QString::fromLatin1(tab.title), note);
  }
}

void ShowSummaryResults(ResultsWindow& window, const CSummariser& summariser, const CMirelockDoc& doc,
                        RunControls& controls) {
  const QString caption = QStringLiteral("%1 problems x %2 experiments (%3), from %4")
                              .arg(summariser.Table().ProblemCount())
                              .arg(summariser.Table().ExperimentCount())
                              .arg(QString::fromLatin1(ProblemMenuName(doc.m_nProblemType)))
                              .arg(QString::fromStdString(doc.m_strResultsDir));
  window.SetResults(BuildResultsRows(summariser, doc.m_nProblemType), caption,
                    QString::fromStdString(doc.m_strResultsDir), QString::fromStdString(doc.m_strSummaryFile));
  QuietMessages quiet;  // the summariser has shown whatever the files had to say
  const auto report = controls.UnderLock([&] { return analysis::BuildReport(doc, quiet); });
  AddResultsCharts(window, report);
}

}  // namespace mirelock
