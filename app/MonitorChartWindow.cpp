#include "app/MonitorChartWindow.h"

#include <QChart>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QCategoryAxis>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/ChartAxisScales.h"
#include "app/MonitorFileReader.h"
#include "app/NiceScale.h"
#include "app/ZoomableChartView.h"

namespace mirelock {

namespace {

const QString kCost = QStringLiteral("Cost");
const QString kBestCost = QStringLiteral("Best cost");
const QString kAugmented = QStringLiteral("Augmented cost");
const QString kBestKnown = QStringLiteral("Best known cost");

}  // namespace

MonitorChartWindow::MonitorChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Monitor chart"));
  setObjectName(QStringLiteral("monitorChart"));

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  axisX_ = new QValueAxis;
  axisX_->setTitleText(QStringLiteral("Repairs"));
  chart_->addAxis(axisX_, Qt::AlignBottom);
  view_ = new ZoomableChartView(chart_);
  view_->setMinimumSize(640, 400);
  connect(view_, &ZoomableChartView::userZoomed, this, [this] {
    zoomed_ = true;
    // Round ticks for the range now in view, with a step chosen for that range (a step kept from before
    // would multiply the ticks with each zoom out). The log axes place their labels themselves.
    for (QAbstractAxis* axis : chart_->axes())
      if (auto* valueAxis = qobject_cast<QValueAxis*>(axis); valueAxis && !qobject_cast<QCategoryAxis*>(axis)) {
        const double low = valueAxis->min();
        const double high = valueAxis->max();
        ApplyScale(valueAxis, MakeNiceScale(low, high, 7), low, high);
      }
  });

  file_ = new QLabel(QStringLiteral("No monitor file"));
  file_->setObjectName(QStringLiteral("chartFile"));
  file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  experiment_ = new QLabel;
  experiment_->setObjectName(QStringLiteral("chartExperiment"));
  experiment_->setWordWrap(true);
  experiment_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("chartStatus"));
  status_->setWordWrap(true);
  auto* open = new QPushButton(QStringLiteral("&Open monitor file..."));
  open->setObjectName(QStringLiteral("openMonitorFile"));
  connect(open, &QPushButton::clicked, this, &MonitorChartWindow::ChooseFile);

  auto* controls = new QHBoxLayout;
  for (const QString& name : {kCost, kBestCost, kAugmented, kBestKnown}) {
    auto* check = new QCheckBox(name);
    check->setChecked(true);
    check->setEnabled(false);
    connect(check, &QCheckBox::toggled, this, [this, name](bool on) { SetSeriesVisible(name, on); });
    seriesChecks_ << check;
    controls->addWidget(check);
  }
  controls->addStretch(1);
  logScale_ = new QCheckBox(QStringLiteral("&Log scale"));
  logScale_->setObjectName(QStringLiteral("logScale"));
  connect(logScale_, &QCheckBox::toggled, this, [this] {
    RebuildYAxes();
    RedrawSeries();
    FitAxes();
  });
  controls->addWidget(logScale_);
  auto* reset = new QPushButton(QStringLiteral("&Reset zoom"));
  reset->setObjectName(QStringLiteral("resetZoom"));
  reset->setToolTip(QStringLiteral("Drag a rectangle to zoom in, right-click or the wheel to zoom out, "
                                   "arrow keys or the middle button to pan"));
  connect(reset, &QPushButton::clicked, this, &MonitorChartWindow::ResetZoom);
  controls->addWidget(reset);

  auto* top = new QHBoxLayout;
  top->addWidget(file_, 1);
  top->addWidget(open);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(experiment_);
  layout->addLayout(controls);
  layout->addWidget(view_, 1);
  layout->addWidget(status_);

  RebuildYAxes();
  ClearChart();
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &MonitorChartWindow::Refresh);
}

MonitorChartWindow::~MonitorChartWindow() = default;

void MonitorChartWindow::Follow(const QString& path) { FollowRun(path, MonitorRunContext{}); }

void MonitorChartWindow::FollowRun(const QString& path, const MonitorRunContext& context) {
  reader_ = std::make_unique<MonitorFileReader>(path.toStdString());
  context_ = context;
  file_->setText(path);
  experiment_->setText(context.experiment.isEmpty() ? QString()
                                                    : QStringLiteral("Experiment: ") + context.experiment);
  experiment_->setVisible(!context.experiment.isEmpty());
  ClearChart();
  Refresh();
  timer_.start();
}

void MonitorChartWindow::ClearChart() {
  for (auto& plot : plots_) {
    chart_->removeSeries(plot->series);
    delete plot->series;
  }
  plots_.clear();
  if (bestKnown_) {
    chart_->removeSeries(bestKnown_);
    delete bestKnown_;
    bestKnown_ = nullptr;
  }
  for (QCheckBox* check : seriesChecks_) {
    const QSignalBlocker block(check);
    check->setChecked(true);
    check->setEnabled(false);
  }
  shownRun_ = 0;
  runNumber_ = 0;
  consumed_ = 0;
  zoomed_ = false;
  status_->clear();
  ApplyScale(axisX_, MakeNiceScale(0, 1));
  FitAxes();
  UpdateTitle();
}

QString MonitorChartWindow::FollowedPath() const {
  return reader_ ? QString::fromStdString(reader_->Path()) : QString();
}

int MonitorChartWindow::PointCount() const {
  return reader_ ? static_cast<int>(reader_->Repairs().size()) : 0;
}

int MonitorChartWindow::DrawnPointCount() const {
  return plots_.empty() ? 0 : static_cast<int>(plots_.front()->series->count());
}

QStringList MonitorChartWindow::SeriesNames() const {
  QStringList names;
  for (const auto& plot : plots_) names << plot->name;
  return names;
}

QString MonitorChartWindow::StatusText() const { return status_->text(); }

QString MonitorChartWindow::Title() const { return chart_->title(); }

bool MonitorChartWindow::HasPendingData() const { return reader_ && reader_->HasMore(); }

QCheckBox* MonitorChartWindow::CheckFor(const QString& name) const {
  for (QCheckBox* check : seriesChecks_)
    if (check->text() == name) return check;
  return nullptr;
}

void MonitorChartWindow::SetSeriesVisible(const QString& name, bool visible) {
  if (QCheckBox* check = CheckFor(name)) {
    const QSignalBlocker block(check);
    check->setChecked(visible);
  }
  for (auto& plot : plots_)
    if (plot->name == name) plot->series->setVisible(visible);
  if (name == kBestKnown && bestKnown_) bestKnown_->setVisible(visible);
  FitAxes();
}

bool MonitorChartWindow::IsSeriesVisible(const QString& name) const {
  for (const auto& plot : plots_)
    if (plot->name == name) return plot->series->isVisible();
  if (name == kBestKnown && bestKnown_) return bestKnown_->isVisible();
  return false;
}

void MonitorChartWindow::SetLogScale(bool on) { logScale_->setChecked(on); }

bool MonitorChartWindow::IsLogScale() const { return logScale_->isChecked(); }

void MonitorChartWindow::ResetZoom() {
  chart_->zoomReset();
  zoomed_ = false;
  FitAxes();
}

void MonitorChartWindow::ChooseFile() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open monitor file"), FollowedPath(),
                                                    QStringLiteral("Text files (*.txt);;All Files (*)"));
  if (!path.isEmpty()) Follow(path);
}

void MonitorChartWindow::Refresh() {
  if (!reader_) return;
  QElapsedTimer clock;
  clock.start();
  const bool changed = reader_->Poll();
  if (reader_->Error()) {
    // A malformed file stops the following; what was read stays on the chart.
    timer_.stop();
    status_->setText(QString::fromStdString(*reader_->Error()));
    lastRefreshMs_ = clock.elapsed();
    emit chartUpdated();
    return;
  }
  if (changed) {
    AppendNewPoints();
    RedrawSeries();
    FitAxes();
    UpdateTitle();
  } else if (!reader_->Exists()) {
    UpdateTitle();
  }
  if (reader_->HasMore() && !catchUpQueued_) {
    // A big file is read in steps, each a short refresh, with the window live in between.
    catchUpQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      catchUpQueued_ = false;
      Refresh();
    });
  }
  lastRefreshMs_ = clock.elapsed();
  emit chartUpdated();
}

void MonitorChartWindow::AppendNewPoints() {
  const auto& columns = reader_->Columns();
  const auto& repairs = reader_->Repairs();
  const bool newRun = reader_->Run() != shownRun_ || repairs.size() < consumed_;
  if (newRun || plots_.size() != columns.size()) {
    if (reader_->Run() != shownRun_) {
      shownRun_ = reader_->Run();
      // A live run names the run the solver is on; a file alone counts the runs it has seen.
      runNumber_ = context_.liveRun ? std::max(context_.liveRun(), 1u) : static_cast<unsigned>(shownRun_);
    }
    consumed_ = 0;
    if (plots_.size() != columns.size()) {
      for (auto& plot : plots_) {
        chart_->removeSeries(plot->series);
        delete plot->series;
      }
      plots_.clear();
      for (const auto& column : columns) {
        auto plot = std::make_unique<Plot>();
        plot->name = QString::fromStdString(column.name);
        plot->rightAxis = plot->name == kAugmented;
        plot->series = new QLineSeries;
        plot->series->setName(plot->name);
        chart_->addSeries(plot->series);
        // A thin pen: the theme's wide one makes the painter stroke thousands of segments as outlines.
        QPen pen = plot->series->pen();
        pen.setWidthF(1.0);
        plot->series->setPen(pen);
        plot->series->attachAxis(axisX_);
        plot->series->attachAxis(plot->rightAxis ? axisAugmented_ : axisCost_);
        if (QCheckBox* check = CheckFor(plot->name)) {
          check->setEnabled(true);
          plot->series->setVisible(check->isChecked());
        }
        plots_.push_back(std::move(plot));
      }
      UpdateBestKnownLine();
    }
    for (auto& plot : plots_) plot->decimator.Clear();
  }
  for (std::size_t i = 0; i < plots_.size(); ++i) {
    const auto& values = columns[i].values;
    for (std::size_t k = consumed_; k < values.size(); ++k) plots_[i]->decimator.Append(repairs[k], values[k]);
  }
  consumed_ = repairs.size();
  if (plots_.empty() && reader_->Exists() && !columns.empty()) return;
  if (!reader_->Repairs().empty() && columns.empty())
    status_->setText(QStringLiteral("The file has a Repairs column but no cost columns to plot."));
}

void MonitorChartWindow::UpdateBestKnownLine() {
  if (bestKnown_) {
    chart_->removeSeries(bestKnown_);
    delete bestKnown_;
    bestKnown_ = nullptr;
  }
  QCheckBox* check = CheckFor(kBestKnown);
  if (!context_.bestKnownCost || plots_.empty()) return;
  bestKnown_ = new QLineSeries;
  bestKnown_->setName(QStringLiteral("Best known cost (%1)").arg(*context_.bestKnownCost, 0, 'g', 10));
  // Dark red, apart from the theme's colours of the three cost series.
  QPen pen(QColor(176, 32, 32));
  pen.setStyle(Qt::DashLine);
  pen.setWidthF(1.5);
  bestKnown_->setPen(pen);
  chart_->addSeries(bestKnown_);
  bestKnown_->attachAxis(axisX_);
  bestKnown_->attachAxis(axisCost_);
  check->setEnabled(true);
  bestKnown_->setVisible(check->isChecked());
}

void MonitorChartWindow::RedrawSeries() {
  const bool log = logScale_->isChecked();
  double floor = -1e308;
  if (log) {
    // A log axis cannot show 0: such points sit on the axis floor, a decade below the smallest positive value.
    double smallest = 0;
    for (const auto& plot : plots_)
      if (plot->decimator.MinPositiveY() > 0)
        smallest = smallest == 0 ? plot->decimator.MinPositiveY() : std::min(smallest, plot->decimator.MinPositiveY());
    floor = smallest > 0 ? std::pow(10.0, std::floor(std::log10(smallest))) : 1.0;
  }
  for (auto& plot : plots_) {
    QList<QPointF> points = plot->decimator.Points(floor);
    if (log)
      for (QPointF& point : points) point.setY(std::log10(point.y()));
    plot->series->replace(points);
  }
  if (bestKnown_ && !plots_.empty() && !plots_.front()->decimator.Empty()) {
    const auto& repairs = reader_->Repairs();
    const double y = log ? std::log10(std::max(*context_.bestKnownCost, floor)) : *context_.bestKnownCost;
    bestKnown_->replace({QPointF(repairs.front(), y), QPointF(std::max(repairs.back(), repairs.front() + 1), y)});
  }
}

void MonitorChartWindow::FitAxes() {
  double xLow = 0, xHigh = 1;
  if (reader_ && !reader_->Repairs().empty()) {
    xLow = reader_->Repairs().front();
    xHigh = std::max(reader_->Repairs().back(), xLow + 1);
  }
  // The repairs axis spans the data exactly; its ticks stay round.
  if (!zoomed_) ApplyScale(axisX_, MakeNiceScale(xLow, xHigh, 7), xLow, xHigh);

  const bool log = logScale_->isChecked();
  for (const bool right : {false, true}) {
    double low = 0, high = 1, positive = 0;
    bool any = false;
    const auto include = [&](double lo, double hi, double pos) {
      low = any ? std::min(low, lo) : lo;
      high = any ? std::max(high, hi) : hi;
      if (pos > 0) positive = positive == 0 ? pos : std::min(positive, pos);
      any = true;
    };
    for (const auto& plot : plots_)
      if (plot->rightAxis == right && plot->series->isVisible() && !plot->decimator.Empty())
        include(plot->decimator.MinY(), plot->decimator.MaxY(), plot->decimator.MinPositiveY());
    if (!right && bestKnown_ && bestKnown_->isVisible()) {
      const double best = *context_.bestKnownCost;
      include(best, best, best);
    }
    QAbstractAxis* axis = right ? axisAugmented_ : axisCost_;
    // An axis whose series are all hidden goes with them; the cost axis stays while there is nothing yet.
    axis->setVisible(any || (!right && plots_.empty()));
    if (zoomed_) continue;
    if (log) {
      // The values in view, a twentieth of their span to spare at each end; values of 0 or less sit a
      // decade below the smallest positive one (RedrawSeries puts them there).
      const double smallest = positive > 0 ? positive : 1.0;
      const double bottom = any && low <= 0 ? std::floor(std::log10(smallest)) : std::log10(smallest);
      const double top = std::log10(std::max(high, smallest));
      const double spare = top > bottom ? (top - bottom) / 20 : 0.5;
      static_cast<QCategoryAxis*>(axis)->setRange(bottom - spare, top + spare);
    } else {
      ApplyScale(static_cast<QValueAxis*>(axis), MakeNiceScale(any ? low : 0, any ? high : 1));
    }
  }
}

void MonitorChartWindow::RebuildYAxes() {
  // Both kinds of axis live as long as the chart; switching scale moves the
  // series between them and shows one pair. (An axis removed from a chart
  // leaves its labels on screen until the event loop deletes its items.)
  if (!linearCost_) {
    linearCost_ = new QValueAxis;
    linearAugmented_ = new QValueAxis;
    auto* logCost = new QCategoryAxis;
    auto* logAugmented = new QCategoryAxis;
    for (QCategoryAxis* axis : {logCost, logAugmented}) {
      axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
      connect(axis, &QValueAxis::rangeChanged, this, [this, axis] {
        if (relabelling_) return;
        relabelling_ = true;
        LabelLogAxis(axis);
        relabelling_ = false;
      });
    }
    logCost_ = logCost;
    logAugmented_ = logAugmented;
    for (QAbstractAxis* axis : {linearCost_, logCost_}) {
      axis->setTitleText(QStringLiteral("Cost and best cost"));
      chart_->addAxis(axis, Qt::AlignLeft);
    }
    for (QAbstractAxis* axis : {linearAugmented_, logAugmented_}) {
      axis->setTitleText(QStringLiteral("Augmented cost"));
      // One grid, the left axis's: the right axis's lines would fall between them.
      axis->setGridLineVisible(false);
      axis->setMinorGridLineVisible(false);
      chart_->addAxis(axis, Qt::AlignRight);
    }
  }
  const bool log = logScale_->isChecked();
  QAbstractAxis* oldCost = axisCost_;
  QAbstractAxis* oldAugmented = axisAugmented_;
  axisCost_ = log ? logCost_ : linearCost_;
  axisAugmented_ = log ? logAugmented_ : linearAugmented_;
  for (auto& plot : plots_) {
    if (oldCost) plot->series->detachAxis(plot->rightAxis ? oldAugmented : oldCost);
    plot->series->attachAxis(plot->rightAxis ? axisAugmented_ : axisCost_);
  }
  if (bestKnown_) {
    if (oldCost) bestKnown_->detachAxis(oldCost);
    bestKnown_->attachAxis(axisCost_);
  }
  linearCost_->setVisible(!log);
  linearAugmented_->setVisible(!log);
  logCost_->setVisible(log);
  logAugmented_->setVisible(log);
}

QStringList MonitorChartWindow::AxisLabels(bool right) const {
  QAbstractAxis* axis = right ? axisAugmented_ : axisCost_;
  if (auto* category = qobject_cast<QCategoryAxis*>(axis)) return category->categoriesLabels();
  return {};
}

std::pair<double, double> MonitorChartWindow::AxisRange(bool right) const {
  const auto* axis = static_cast<const QValueAxis*>(right ? axisAugmented_ : axisCost_);
  if (IsLogScale()) return {std::pow(10.0, axis->min()), std::pow(10.0, axis->max())};
  return {axis->min(), axis->max()};
}

bool MonitorChartWindow::IsAxisVisible(bool right) const {
  return (right ? axisAugmented_ : axisCost_)->isVisible();
}

QRectF MonitorChartWindow::PlotArea() const { return chart_->plotArea(); }

std::pair<double, double> MonitorChartWindow::RepairsTicks() const {
  return {axisX_->tickAnchor(), axisX_->tickInterval()};
}

void MonitorChartWindow::ZoomTo(const QRectF& plotRect) {
  chart_->zoomIn(plotRect);
  emit view_->userZoomed();
}

void MonitorChartWindow::UpdateTitle() {
  QString subject = context_.problem;
  if (subject.isEmpty() && reader_) subject = QFileInfo(QString::fromStdString(reader_->Path())).fileName();
  if (!context_.problemType.isEmpty()) subject += QStringLiteral(" (%1)").arg(context_.problemType);
  if (!reader_) {
    chart_->setTitle(QStringLiteral("No monitor file"));
    return;
  }
  if (!reader_->Exists()) {
    chart_->setTitle(subject + QStringLiteral(": waiting for the solver to write the file"));
    return;
  }
  QString run;
  if (runNumber_ > 0)
    run = context_.runs > 0 ? QStringLiteral("run %1 of %2").arg(runNumber_).arg(context_.runs)
                            : QStringLiteral("run %1").arg(runNumber_);
  const QString points = QStringLiteral("%1 points").arg(reader_->Repairs().size());
  chart_->setTitle(run.isEmpty() ? subject + QStringLiteral(", ") + points
                                 : subject + QStringLiteral(", ") + run + QStringLiteral(", ") + points);
}

}  // namespace mirelock
