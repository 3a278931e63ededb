// Fixed-budget quality from the runs' traces: how close each experiment's runs are after a number of repairs.
#include <QAreaSeries>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "analysis/Ecdf.h"
#include "analysis/TraceReader.h"
#include "charts/ChartStyle.h"
#include "charts/ReportCharts.h"

namespace mirelock::charts {

namespace {

// Budgets at ten steps a decade, from 1 repair to the longest run.
std::vector<double> Budgets(double longest) {
  std::vector<double> budgets;
  for (int step = 0;; ++step) {
    const double budget = std::pow(10.0, step / 10.0);
    budgets.push_back(std::min(budget, longest));
    if (budget >= longest) break;
  }
  return budgets;
}

// All problems' runs, or one problem's.
QChart* MakeChart(const analysis::Report& report, std::optional<std::size_t> problem) {
  if (!report.anytime.available || report.problemType == kProblemSAT) return nullptr;
  const std::size_t experiments = report.experiments.size();
  // Per experiment, each traced run with a gap: its new bests as (repairs, gap).
  std::vector<std::vector<std::vector<std::pair<double, double>>>> runs(experiments);
  double longest = 1;
  for (std::size_t i = 0; i < report.runs.size() && i < report.traces.size(); ++i) {
    const auto& trace = report.traces[i];
    if (!trace || trace->cost.empty() || !analysis::TraceGap(report, i, trace->cost.back())) continue;
    if (problem && report.runs[i].problem != *problem) continue;
    auto& points = runs[report.runs[i].experiment].emplace_back();
    for (std::size_t k = 0; k < trace->cost.size(); ++k)
      points.emplace_back(static_cast<double>(trace->repairs[k]), *analysis::TraceGap(report, i, trace->cost[k]));
    longest = std::max(longest, static_cast<double>(trace->totalRepairs));
  }
  if (std::all_of(runs.begin(), runs.end(), [](const auto& experiment) { return experiment.empty(); })) return nullptr;
  const std::vector<double> budgets = Budgets(longest);
  QChart* chart = NewChart(QStringLiteral("Fixed-budget quality: % gap after a number of repairs, ") +
                           (problem ? QString::fromStdString(report.problems[*problem]) : QStringLiteral("all problems")));
  double highest = 0;
  for (std::size_t e = 0; e < experiments; ++e) {
    if (runs[e].empty()) continue;
    auto* median = new QLineSeries;
    auto* lower = new QLineSeries;
    auto* upper = new QLineSeries;
    median->setName(ShortName(report.experiments[e]));
    for (double budget : budgets) {
      // A run's gap at a budget is that of its last new best within it; a budget before some run's first
      // solution has no figure.
      std::vector<double> gaps;
      for (const auto& points : runs[e]) {
        const auto after = std::upper_bound(points.begin(), points.end(), std::make_pair(budget, std::numeric_limits<double>::infinity()));
        if (after == points.begin()) break;
        gaps.push_back(std::prev(after)->second);
      }
      if (gaps.size() < runs[e].size()) continue;
      const double q1 = analysis::Quantile(gaps, 0.25), q3 = analysis::Quantile(gaps, 0.75);
      median->append(budget, analysis::Quantile(gaps, 0.5));
      lower->append(budget, q1);
      upper->append(budget, q3);
      // The first few repairs' gaps (the random start) would flatten everything after them.
      if (budget >= 10 || budgets.back() < 10) highest = std::max(highest, q3);
    }
    median->setPen(SeriesPen(e));
    auto* band = new QAreaSeries(upper, lower);
    // The area series draws its bounds but does not own them.
    upper->setParent(band);
    lower->setParent(band);
    QColor fill = SeriesColour(e);
    fill.setAlpha(50);
    band->setBrush(fill);
    band->setPen(Qt::NoPen);
    chart->addSeries(band);
    chart->addSeries(median);
    // The band is the median's: the on-screen legend names the median only.
    for (QLegendMarker* marker : chart->legend()->markers(band)) marker->setVisible(false);
  }
  AttachKey(*chart, MakeKey(report, ChartKeyEntry::Sample::kLine, [&](std::size_t e) {
              return QString("  (median of %1 traced runs; the band spans the middle half)").arg(runs[e].size());
            }));
  auto* x = NewDecadeAxis(1, std::pow(10.0, std::ceil(std::log10(longest * 1.0001))), "%.0f", "repairs (log scale)");
  auto* y = new QValueAxis;
  SetRoundTicks(*y, 0, highest, true);
  y->setTitleText(report.problemType == kProblemMaxSAT ? "% relative error of the best so far"
                                                       : "% gap of the best so far to the best known cost");
  AttachAxes(*chart, x, y);
  return chart;
}

}  // namespace

QChart* MakeFixedBudgetChart(const analysis::Report& report) { return MakeChart(report, std::nullopt); }

QChart* MakeProblemFixedBudgetChart(const analysis::Report& report) {
  if (!report.anytime.budgetProblem) return nullptr;
  return MakeChart(report, report.anytime.budgetProblem);
}

QChart* MakeFixedBudgetChartFor(const analysis::Report& report, std::size_t problem) {
  if (problem >= report.problems.size()) return nullptr;
  return MakeChart(report, problem);
}

}  // namespace mirelock::charts
