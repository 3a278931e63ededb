#include "charts/ReportCharts.h"

#include <QBoxPlotSeries>
#include <QBarCategoryAxis>
#include <QBoxSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

#include "analysis/Ecdf.h"
#include "analysis/ReportNumbers.h"
#include "charts/ChartKey.h"
#include "charts/ChartStyle.h"

namespace mirelock::charts {

namespace {

// Whether most successful runs ended within one tick of the solvers' millisecond clock: their times are
// then mostly 0 and the chart would be a single step.
bool BelowClockResolution(const analysis::Report& report) {
  std::size_t runs = 0, belowTick = 0;
  for (const auto& run : report.runs)
    if (run.success.value_or(false) && run.cpuSeconds) {
      ++runs;
      if (*run.cpuSeconds < 0.001) ++belowTick;
    }
  return 2 * belowTick > runs;
}

QChart* MakeEffortChart(const analysis::Report& report, bool byTime) {
  // The log axis cannot show 0: a run that succeeded at once is drawn at the axis' first tick.
  const double floorEffort = byTime ? 0.001 : 1.0;
  double lowest = INFINITY, highest = 0;
  for (const auto& experiment : report.experiments) {
    const auto& steps = (byTime ? experiment.runTime : experiment.runLength).steps;
    if (steps.empty()) continue;
    lowest = std::min(lowest, std::max(steps.front().effort, floorEffort));
    highest = std::max(highest, std::max(steps.back().effort, floorEffort));
  }
  if (highest == 0) return nullptr;
  if (byTime && BelowClockResolution(report)) return nullptr;
  const bool sat = report.problemType == kProblemSAT;
  QChart* chart = NewChart(QString("Run-%1 distributions: fraction of runs that %2 within the %3")
                               .arg(byTime ? "time" : "length", sat ? "found a solution" : "reached the best known cost",
                                    byTime ? "CPU time" : "repairs"));
  const auto [axisLow, axisHigh] = DecadesAround(lowest, highest);
  for (std::size_t e = 0; e < report.experiments.size(); ++e) {
    const auto& experiment = report.experiments[e];
    const auto& distribution = byTime ? experiment.runTime : experiment.runLength;
    auto* series = new QLineSeries;
    series->setName(ShortName(experiment) + QString(" (%1/%2)").arg(distribution.successes).arg(distribution.runs));
    double fraction = 0;
    series->append(axisLow, 0);
    for (const auto& step : distribution.steps) {
      const double x = std::max(step.effort, floorEffort);
      series->append(x, fraction);
      series->append(x, step.fraction);
      fraction = step.fraction;
    }
    series->append(axisHigh, fraction);
    series->setPen(SeriesPen(e));
    chart->addSeries(series);
  }
  AttachKey(*chart, MakeKey(report, ChartKeyEntry::Sample::kLine, [&](std::size_t e) {
              const auto& distribution = byTime ? report.experiments[e].runTime : report.experiments[e].runLength;
              return QString("  (%1 of %2 runs succeeded)").arg(distribution.successes).arg(distribution.runs);
            }));
  auto* x = NewDecadeAxis(axisLow, axisHigh, byTime ? "%g" : "%.0f",
                          byTime ? "CPU seconds of the run (log scale)" : "repairs to the best solution (log scale)");
  auto* y = NewProbabilityAxis(sat ? "P(solved)" : "P(best known cost reached)");
  AttachAxes(*chart, x, y);
  return chart;
}

}  // namespace

QChart* MakeGapBoxPlot(const analysis::Report& report) {
  if (!report.HasGaps()) return nullptr;
  const bool anyGap = std::any_of(report.experiments.begin(), report.experiments.end(),
                                  [](const auto& experiment) { return !experiment.gaps.empty(); });
  if (!anyGap) return nullptr;
  const QString measure = report.problemType == kProblemMaxSAT ? "% relative error" : "% gap to best known cost";
  QChart* chart = NewChart("Final solution quality per experiment: " + measure + " of every run (lower is better)");
  auto* series = new QBoxPlotSeries;
  series->setBoxWidth(0.4);
  QStringList categories;
  double low = INFINITY, high = -INFINITY;
  // Beyond ten boxes "Exp 12" no longer fits under its box; the number alone does.
  const bool numbersOnly = report.experiments.size() > 10;
  std::vector<QBoxSet*> emptySlots;
  for (std::size_t e = 0; e < report.experiments.size(); ++e) {
    const auto& experiment = report.experiments[e];
    const QString caption = ShortName(experiment);
    categories << (numbersOnly ? QString::number(e) : caption);
    const auto& gaps = experiment.gaps;
    if (gaps.empty()) {
      // An empty slot keeps the experiments in order; drawn, its zeros would look like a box at gap 0
      // (hidden below, once the chart's theme has styled the sets).
      emptySlots.push_back(new QBoxSet(caption));
      series->append(emptySlots.back());
      continue;
    }
    const double min = *std::min_element(gaps.begin(), gaps.end());
    const double max = *std::max_element(gaps.begin(), gaps.end());
    low = std::min(low, min);
    high = std::max(high, max);
    QBoxSet* box = new QBoxSet(min, analysis::Quantile(gaps, 0.25), analysis::Quantile(gaps, 0.5),
                               analysis::Quantile(gaps, 0.75), max, caption);
    box->setBrush(BoxBrush(e));
    box->setPen(BoxPen(e));
    series->append(box);
  }
  chart->addSeries(series);
  // Below the axis, where the plot area clips it away (pen and brush alone do not hide the whisker line).
  const double outside = (std::isfinite(low) ? std::min(low, 0.0) : 0.0) - 1e9;
  for (QBoxSet* empty : emptySlots) {
    for (int i = 0; i < 5; ++i) empty->setValue(i, outside);
    empty->setPen(Qt::NoPen);
    empty->setBrush(Qt::NoBrush);
  }
  // The mean beside the quartiles: with many runs at gap 0 the boxes collapse, and the mean still tells
  // the experiments apart.
  auto* means = new QScatterSeries;
  means->setName("mean");
  means->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  means->setMarkerSize(9);
  means->setColor(QColor(0xd6, 0x27, 0x28));
  for (std::size_t e = 0; e < report.experiments.size(); ++e)
    if (const auto mean = report.experiments[e].meanGap) means->append(static_cast<double>(e), *mean);
  chart->addSeries(means);
  // One category axis for both series, so that mean e stands on box e.
  auto* x = new QBarCategoryAxis;
  x->append(categories);
  x->setTitleText(numbersOnly ? "experiment number (Exp N in the key below)" : "experiment (settings in the key below)");
  auto* y = new QValueAxis;
  // Gaps that cannot be negative get no negative axis.
  SetRoundTicks(*y, low, high, low >= 0);
  y->setTitleText(measure);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* each : chart->series()) {
    each->attachAxis(x);
    each->attachAxis(y);
  }
  // Only the mean marker needs a legend entry; the boxes are labelled by the axis.
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
  chart->legend()->setAlignment(Qt::AlignBottom);
  ChartKey key = MakeKey(report, ChartKeyEntry::Sample::kBox);
  key.entries.push_back({"mean of the experiment's runs", ChartKeyEntry::Sample::kBox, QPen(QColor(0xd6, 0x27, 0x28)),
                         QBrush(QColor(0xd6, 0x27, 0x28))});
  AttachKey(*chart, key);
  return chart;
}

QChart* MakeCriticalDifferenceChart(const analysis::Report& report) {
  if (!report.friedman) return nullptr;
  const std::size_t k = report.experiments.size();
  std::vector<std::size_t> order(k);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return report.experiments[a].meanRank.value_or(0) < report.experiments[b].meanRank.value_or(0);
  });
  const auto cd = report.criticalDifference;
  QChart* chart = NewChart(
      cd ? QString("Mean ranks over %1 problems, Nemenyi critical difference %2 (alpha 0.05)")
               .arg(report.rankedProblemCount)
               .arg(QString::fromStdString(analysis::FixedDecimals(*cd, 3)))
         : QString("Mean ranks over %1 problems (lower is better)").arg(report.rankedProblemCount));
  auto* points = new QScatterSeries;
  points->setMarkerSize(11);
  points->setName("mean rank");
  auto* yAxis = new QCategoryAxis;
  yAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const QPen intervalPen(QColor(0x1f, 0x5f, 0xa8), 3);
  std::vector<QLineSeries*> intervals;
  // Best on top: the first of the order gets the highest row. Category axes
  // take their rows in ascending order, so the worst comes first.
  for (std::size_t i = k; i-- > 0;) {
    const std::size_t e = order[i];
    const double row = static_cast<double>(k - i);
    const double rank = report.experiments[e].meanRank.value_or(0);
    points->append(rank, row);
    yAxis->append(ShortName(report.experiments[e]) +
                      QString("  (%1)").arg(QString::fromStdString(analysis::FixedDecimals(rank, 2))),
                  row);
    if (cd) {
      auto* interval = new QLineSeries;
      interval->setPen(intervalPen);
      interval->append(rank - *cd / 2, row);
      interval->append(rank + *cd / 2, row);
      intervals.push_back(interval);
    }
  }
  for (QLineSeries* interval : intervals) chart->addSeries(interval);
  chart->addSeries(points);
  yAxis->setRange(0.5, static_cast<double>(k) + 0.5);
  yAxis->setGridLineVisible(false);
  auto* xAxis = new QValueAxis;
  const double half = cd ? *cd / 2 : 0;
  double lowest = 1, highest = static_cast<double>(k);
  for (const auto& experiment : report.experiments) {
    lowest = std::min(lowest, experiment.meanRank.value_or(1) - half);
    highest = std::max(highest, experiment.meanRank.value_or(1) + half);
  }
  // Ticks on round ranks, half ranks at the finest.
  SetRoundTicks(*xAxis, lowest - 0.25, highest + 0.25, false, 8, 0.5);
  xAxis->setTitleText("mean rank (1 = best); bars that do not overlap differ significantly");
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);
  for (QAbstractSeries* series : chart->series()) {
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
  }
  chart->legend()->hide();
  AttachKey(*chart, MakeKey(report, ChartKeyEntry::Sample::kNone));
  return chart;
}

QChart* MakeRunLengthChart(const analysis::Report& report) { return MakeEffortChart(report, false); }

// The total CPU time of a run says little about when it found its best (QAP and TSP runs always use their
// whole budget); the traces tell exactly.
QChart* MakeRunTimeChart(const analysis::Report& report) {
  return report.anytime.available ? nullptr : MakeEffortChart(report, true);
}

}  // namespace mirelock::charts
