// Fixed-target run-time distributions from the runs' traces: a line per experiment and target of the ladder.
#include <QChart>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "analysis/FixedTargets.h"
#include "charts/ChartStyle.h"
#include "charts/ReportCharts.h"

namespace mirelock::charts {

namespace {

// A line style per target, told apart also in grey print: solid for the best known, sparser the looser.
QPen TargetPen(QColor colour, std::size_t target) {
  static const QList<QList<qreal>> kDashes = {{}, {8, 3}, {1, 2}, {8, 2, 1, 2}, {8, 2, 1, 2, 1, 2}, {3, 3}};
  QPen pen(colour, 2.0);
  const auto& dashes = kDashes[static_cast<qsizetype>(target % static_cast<std::size_t>(kDashes.size()))];
  if (dashes.isEmpty()) pen.setStyle(Qt::SolidLine);
  else pen.setDashPattern(dashes);  // also makes the style Qt::CustomDashLine
  return pen;
}

QString TargetName(const analysis::Report& report, double target) {
  if (report.problemType == kProblemSAT) return QStringLiteral("solved");
  if (target == 0) return QStringLiteral("best known");
  return QStringLiteral("+%1 %").arg(target);
}

QChart* MakeFixedTargetChart(const analysis::Report& report, bool byTime) {
  if (!report.anytime.available) return nullptr;
  const auto collected = analysis::CollectFixedTargetEfforts(report, report.anytime.targets);
  const std::size_t experiments = report.experiments.size(), targets = collected.targets.size();
  // The log axis cannot show 0: a target reached at once is drawn at the axis' first tick.
  const double floorEffort = byTime ? 0.001 : 1.0;
  // hits[e][t]: the sorted efforts of the runs that reached the target; runs[e]: all traced runs, over problems.
  std::vector<std::vector<std::vector<double>>> hits(experiments, std::vector<std::vector<double>>(targets));
  std::vector<std::size_t> runs(experiments, 0);
  double lowest = INFINITY, highest = 0;
  for (const auto& problem : collected.efforts)
    for (std::size_t e = 0; e < experiments && e < problem.size(); ++e)
      for (std::size_t t = 0; t < targets; ++t) {
        if (t == 0) runs[e] += problem[e][t].size();
        for (const analysis::RunEffort& effort : problem[e][t]) {
          const double spent = std::max(byTime ? effort.cpuSeconds : effort.repairs, floorEffort);
          if (!std::isfinite(spent)) continue;
          highest = std::max(highest, spent);  // the unsuccessful runs' whole effort widens the axis too
          if (!effort.hit) continue;
          lowest = std::min(lowest, spent);
          hits[e][t].push_back(spent);
        }
      }
  if (highest == 0) return nullptr;
  if (!std::isfinite(lowest)) lowest = highest;
  const bool sat = report.problemType == kProblemSAT;
  QChart* chart = NewChart(QString("Fixed-target run-%1 distributions: fraction of runs that %2 within the %3")
                               .arg(byTime ? "time" : "length", sat ? "found a solution" : "reached each target",
                                    byTime ? "CPU time" : "repairs"));
  const auto [axisLow, axisHigh] = DecadesAround(lowest, highest);
  for (std::size_t e = 0; e < experiments; ++e)
    for (std::size_t t = 0; t < targets; ++t) {
      auto& efforts = hits[e][t];
      std::sort(efforts.begin(), efforts.end());
      auto* series = new QLineSeries;
      series->setName(ShortName(report.experiments[e]) +
                      (sat ? QString() : QStringLiteral(" ") + TargetName(report, collected.targets[t])));
      const double total = static_cast<double>(std::max<std::size_t>(runs[e], 1));
      double fraction = 0;
      series->append(axisLow, 0);
      for (std::size_t i = 0; i < efforts.size(); ++i) {
        if (i + 1 < efforts.size() && efforts[i + 1] == efforts[i]) continue;  // one step for ties
        series->append(efforts[i], fraction);
        fraction = static_cast<double>(i + 1) / total;
        series->append(efforts[i], fraction);
      }
      series->append(axisHigh, fraction);
      series->setPen(TargetPen(SeriesColour(e), t));
      chart->addSeries(series);
    }
  ChartKey key = MakeKey(report, ChartKeyEntry::Sample::kLine, [&](std::size_t e) {
    return QString("  (%1 traced runs)").arg(runs[e]);
  });
  for (qsizetype e = 0; e < key.entries.size(); ++e) key.entries[e].pen = QPen(SeriesColour(static_cast<std::size_t>(e)), 4.0);
  if (!sat)
    for (std::size_t t = 0; t < targets; ++t)
      key.entries.push_back({QStringLiteral("target: ") + TargetName(report, collected.targets[t]) +
                                 (t == 0 ? QString() : QStringLiteral(" above the best known cost")),
                             ChartKeyEntry::Sample::kLine, TargetPen(Qt::darkGray, t), QBrush()});
  AttachKey(*chart, key);
  auto* x = NewDecadeAxis(axisLow, axisHigh, byTime ? "%g" : "%.0f",
                          byTime ? "CPU seconds until the target was reached (log scale)"
                                 : "repairs until the target was reached (log scale)");
  auto* y = NewProbabilityAxis(sat ? "P(solved)" : "P(target reached)");
  AttachAxes(*chart, x, y);
  return chart;
}

}  // namespace

QChart* MakeTargetRepairsChart(const analysis::Report& report) { return MakeFixedTargetChart(report, false); }

QChart* MakeTargetSecondsChart(const analysis::Report& report) { return MakeFixedTargetChart(report, true); }

}  // namespace mirelock::charts
