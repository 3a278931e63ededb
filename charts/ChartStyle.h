#pragma once
#include <QColor>
#include <QPen>
#include <QString>
#include <cstddef>
#include <functional>
#include <utility>

#include "analysis/Report.h"
#include "charts/ChartKey.h"

class QLogValueAxis;

QT_BEGIN_NAMESPACE
class QChart;
class QValueAxis;
class QAbstractAxis;
QT_END_NAMESPACE

namespace mirelock::charts {

// The look every report chart shares, so that an experiment has the same colour and line on each.

// The chart names an experiment briefly; the key below it gives the full label.
QString ShortName(const analysis::ExperimentSummary& experiment);
QString FullCaption(const analysis::ExperimentSummary& experiment);

// Experiment `index`'s colour, line and box: ten colours, then the same with another line style and hatching.
QColor SeriesColour(std::size_t index);
QPen SeriesPen(std::size_t index);
QBrush BoxBrush(std::size_t index);
QPen BoxPen(std::size_t index);

// A key entry per experiment in its line or box style, `suffix(e)` after its label, and the settings every
// experiment shares as the footnote.
ChartKey MakeKey(const analysis::Report& report, ChartKeyEntry::Sample sample,
                 const std::function<QString(std::size_t)>& suffix = {});

// An empty chart with the report charts' title font, no animation, square corners.
QChart* NewChart(const QString& title);

// Puts `x` below and `y` left of the chart, every series of the chart on both, and the legend below.
void AttachAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y);

// The whole decades around [lowest, highest] for a distribution chart's log axis, with one more to the
// right when the two coincide, so that every curve's plateau shows.
std::pair<double, double> DecadesAround(double lowest, double highest);

// A base-10 log axis over the whole decades [low, high], labelled at every decade with `format` and with
// minor ticks between. The range is widened by a hair: Qt places the labels from the logarithms of the
// range's ends, and log10(0.001) falls just above -3, which would drop the first label.
QLogValueAxis* NewDecadeAxis(double low, double high, const char* format, const QString& title);

// The 0..1 axis of a distribution chart, ticked every 0.2.
QValueAxis* NewProbabilityAxis(const QString& title);

// A value axis over [low, high] with about `ticks` intervals on round numbers (1, 2, 2.5 or 5 times a power of
// ten, at least `minStep`), starting from 0 for values that cannot be negative.
void SetRoundTicks(QValueAxis& axis, double low, double high, bool nonNegative, int ticks = 6, double minStep = 0);

}  // namespace mirelock::charts
