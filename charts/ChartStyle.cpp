#include "charts/ChartStyle.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLegend>
#include <QLogValueAxis>
#include <QValueAxis>
#include <cmath>
#include <algorithm>
#include <iterator>

namespace mirelock::charts {

namespace {

constexpr QRgb kPalette[] = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd,
                             0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf};
constexpr std::size_t kColours = std::size(kPalette);

// The settings every experiment shares, for the key's last line.
QString SharedSettings(const analysis::Report& report) {
  const std::string shared = report.fixedText.substr(std::min(report.fixedText.find_first_not_of(' '), report.fixedText.size()));
  return shared.empty() ? QString() : QStringLiteral("Shared by all experiments: ") + QString::fromStdString(shared);
}

// A step of 1, 2, 2.5 or 5 times a power of ten giving about `ticks` intervals over `span`.
double NiceStep(double span, int ticks) {
  const double raw = span / ticks;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (factor * magnitude >= raw * (1 - 1e-9)) return factor * magnitude;
  return 10 * magnitude;
}

}  // namespace

// The chart names an experiment briefly; the key below it gives the full label.
QString ShortName(const analysis::ExperimentSummary& experiment) { return QString::fromStdString(experiment.name); }

QString FullCaption(const analysis::ExperimentSummary& experiment) {
  return QString::fromStdString(experiment.label.empty() ? experiment.name : experiment.name + "  " + experiment.label);
}

// Ten colours told apart also in print and by most colour-blind readers (the "tab10" palette); beyond ten
// experiments the colours repeat with another line style and box hatching, so that every experiment keeps
// a look of its own.
QColor SeriesColour(std::size_t index) { return QColor(kPalette[index % kColours]); }

QPen SeriesPen(std::size_t index) {
  static const Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
  QPen pen(SeriesColour(index), 2.0);
  pen.setStyle(kStyles[(index / kColours) % std::size(kStyles)]);
  return pen;
}

QBrush BoxBrush(std::size_t index) {
  static const Qt::BrushStyle kFills[] = {Qt::SolidPattern, Qt::BDiagPattern, Qt::FDiagPattern, Qt::DiagCrossPattern};
  QColor colour = SeriesColour(index);
  const Qt::BrushStyle fill = kFills[(index / kColours) % std::size(kFills)];
  if (fill == Qt::SolidPattern) colour.setAlpha(110);
  return QBrush(colour, fill);
}

QPen BoxPen(std::size_t index) { return QPen(SeriesColour(index).darker(130), 1.5); }

ChartKey MakeKey(const analysis::Report& report, ChartKeyEntry::Sample sample,
                 const std::function<QString(std::size_t)>& suffix) {
  ChartKey key;
  for (std::size_t e = 0; e < report.experiments.size(); ++e) {
    ChartKeyEntry entry;
    entry.text = FullCaption(report.experiments[e]) + (suffix ? suffix(e) : QString());
    entry.sample = sample;
    entry.pen = sample == ChartKeyEntry::Sample::kBox ? BoxPen(e) : SeriesPen(e);
    entry.brush = BoxBrush(e);
    key.entries.push_back(entry);
  }
  key.footnote = SharedSettings(report);
  return key;
}

QChart* NewChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setBackgroundRoundness(0);
  QFont font = chart->titleFont();
  font.setPointSize(12);
  font.setBold(true);
  chart->setTitleFont(font);
  return chart;
}

// A value axis over [low, high] with ticks on round numbers, starting from 0 for values that cannot be
// negative.
void SetRoundTicks(QValueAxis& axis, double low, double high, bool nonNegative, int ticks, double minStep) {
  if (!(high > low)) {
    const double pad = std::max(std::fabs(low) * 0.05, 1.0);
    low -= pad;
    high += pad;
  }
  const double step = std::max(minStep, NiceStep(high - low, ticks));
  double first = std::floor(low / step) * step;
  const double last = std::ceil(high / step) * step;
  if (nonNegative && first < 0) first = 0;
  axis.setRange(first, last);
  axis.setTickType(QValueAxis::TicksDynamic);
  axis.setTickAnchor(first);
  axis.setTickInterval(step);
  // Enough decimals for the step (2.5 needs one more than its power of ten).
  int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  if (std::fabs(step / std::pow(10.0, -decimals) - std::round(step / std::pow(10.0, -decimals))) > 1e-6) ++decimals;
  axis.setLabelFormat(QString("%.%1f").arg(decimals));
}


std::pair<double, double> DecadesAround(double lowest, double highest) {
  return {std::pow(10.0, std::floor(std::log10(lowest))),
          std::pow(10.0, std::ceil(std::log10(highest * 1.0001)) + (highest == lowest ? 1 : 0))};
}

QLogValueAxis* NewDecadeAxis(double low, double high, const char* format, const QString& title) {
  auto* axis = new QLogValueAxis;
  axis->setBase(10);
  axis->setRange(low * (1 - 1e-9), high * (1 + 1e-9));
  axis->setLabelFormat(format);
  axis->setMinorTickCount(8);
  axis->setTitleText(title);
  return axis;
}

QValueAxis* NewProbabilityAxis(const QString& title) {
  auto* axis = new QValueAxis;
  axis->setRange(0, 1.0);
  axis->setTickCount(6);
  axis->setLabelFormat("%.1f");
  axis->setTitleText(title);
  return axis;
}

void AttachAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y) {
  chart.addAxis(x, Qt::AlignBottom);
  chart.addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* series : chart.series()) {
    series->attachAxis(x);
    series->attachAxis(y);
  }
  chart.legend()->setAlignment(Qt::AlignBottom);
}

}  // namespace mirelock::charts
