#pragma once
#include <QByteArray>
#include <QSize>
#include <QString>

#include "analysis/Report.h"

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace mirelock::charts {

// The charts of an analysis report. Each function returns a new chart that
// the caller owns (a QChartView takes it over with setChart), or nullptr when
// the report has nothing to draw (the text of the report says why). They need
// a QApplication, which may run on the "offscreen" platform. Experiments are
// named briefly on the chart ("Exp 3"); each chart carries a key (ChartKey.h)
// with every experiment's full label and its line or box style, which
// RenderChart draws below the chart. Beyond ten experiments the ten colours
// repeat with dashed lines and hatched boxes.

// Box plot of every run's gap (MAX-SAT: relative error) per experiment;
// whiskers span the smallest and the largest gap; a marker shows the mean
// (a second series). Nothing for SAT, or when no
// problem has a best known cost.
QChart* MakeGapBoxPlot(const analysis::Report& report);

// Critical-difference chart: each experiment's mean rank with an interval of
// the Nemenyi critical difference (alpha 0.05) centred on it, best first; two
// experiments whose intervals do not overlap differ significantly. Without a
// critical difference the mean ranks alone. Nothing without the rank tests.
QChart* MakeCriticalDifferenceChart(const analysis::Report& report);

// Run-length distributions: per experiment, the fraction of all runs that
// reached a solution (SAT) or the best known cost within a number of repairs,
// on a logarithmic repairs axis. Nothing when no run succeeded.
QChart* MakeRunLengthChart(const analysis::Report& report);

// Run-time distributions: as the run-length chart, over CPU seconds of the
// whole run (log axis). Nothing also when most successful runs took less
// than the 1 ms tick of the solvers' clock, and when the runs' traces give
// the fixed-target chart over CPU seconds instead (anytime.available).
QChart* MakeRunTimeChart(const analysis::Report& report);

// Fixed-target run-time distributions from the runs' traces (the seconds
// chart replaces the run-time chart when the batch has traces): per experiment (colour) and
// target of the ladder (line style; SAT: solved), the fraction of its traced
// runs over all problems that reached the target within a number of repairs,
// or of CPU seconds (log axes). Nothing without traces, or for problems
// without a best known cost.
QChart* MakeTargetRepairsChart(const analysis::Report& report);
QChart* MakeTargetSecondsChart(const analysis::Report& report);

// Fixed-budget quality from the runs' traces: per experiment, the median of
// its traced runs' gap (MAX-SAT: relative error) after a number of repairs
// (log axis), over all problems, in a band from the first to the third
// quartile. A run's gap at a budget is that of its best within it. Nothing
// without traces, for SAT, or without best known costs.
QChart* MakeFixedBudgetChart(const analysis::Report& report);
// The same for the runs of one problem: `report.anytime.budgetProblem` (nothing when there is none),
// or the problem given.
QChart* MakeProblemFixedBudgetChart(const analysis::Report& report);
QChart* MakeFixedBudgetChartFor(const analysis::Report& report, std::size_t problem);

enum class ImageFormat { kPng, kSvg };

// The size the report command draws charts at.
inline constexpr QSize kReportChartSize{960, 540};

// Draws the chart without any window into PNG or SVG bytes; empty on failure.
// The chart is laid out at `size`, its key (if any) drawn below it, so the
// image is as wide as `size` and taller by the key. The chart stays owned by
// the caller, in the scene it was in.
QByteArray RenderChart(QChart& chart, QSize size, ImageFormat format);

// RenderChart, written to `path` whole or not at all (an earlier file stays
// when the disk is full). False when the file cannot be written.
bool SaveChart(QChart& chart, const QString& path, QSize size, ImageFormat format);

}  // namespace mirelock::charts
