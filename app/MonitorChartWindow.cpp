#include "app/MonitorChartWindow.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "app/MonitorFileReader.h"

namespace mirelock {

MonitorChartWindow::MonitorChartWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Monitor chart"));
  setObjectName(QStringLiteral("monitorChart"));

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  axisX_ = new QValueAxis;
  axisX_->setTitleText(QStringLiteral("Repairs"));
  axisX_->setLabelFormat(QStringLiteral("%.0f"));
  axisY_ = new QValueAxis;
  axisY_->setTitleText(QStringLiteral("Cost"));
  axisY_->setLabelFormat(QStringLiteral("%g"));
  chart_->addAxis(axisX_, Qt::AlignBottom);
  chart_->addAxis(axisY_, Qt::AlignLeft);
  view_ = new QChartView(chart_);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumSize(640, 400);

  file_ = new QLabel(QStringLiteral("No monitor file"));
  file_->setObjectName(QStringLiteral("chartFile"));
  file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("chartStatus"));
  status_->setWordWrap(true);
  auto* open = new QPushButton(QStringLiteral("&Open monitor file..."));
  open->setObjectName(QStringLiteral("openMonitorFile"));
  connect(open, &QPushButton::clicked, this, &MonitorChartWindow::ChooseFile);

  auto* top = new QHBoxLayout;
  top->addWidget(file_, 1);
  top->addWidget(open);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(view_, 1);
  layout->addWidget(status_);

  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &MonitorChartWindow::Refresh);
}

MonitorChartWindow::~MonitorChartWindow() = default;

void MonitorChartWindow::Follow(const QString& path) {
  reader_ = std::make_unique<MonitorFileReader>(path.toStdString());
  file_->setText(path);
  for (QLineSeries* series : series_) {
    chart_->removeSeries(series);
    delete series;
  }
  series_.clear();
  status_->clear();
  Refresh();
  timer_.start();
}

QString MonitorChartWindow::FollowedPath() const {
  return reader_ ? QString::fromStdString(reader_->Path()) : QString();
}

int MonitorChartWindow::PointCount() const { return series_.isEmpty() ? 0 : series_.front()->count(); }

QStringList MonitorChartWindow::SeriesNames() const {
  QStringList names;
  for (const QLineSeries* series : series_) names << series->name();
  return names;
}

QString MonitorChartWindow::StatusText() const { return status_->text(); }

void MonitorChartWindow::ChooseFile() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open monitor file"), FollowedPath(),
                                                    QStringLiteral("Text files (*.txt);;All Files (*)"));
  if (!path.isEmpty()) Follow(path);
}

void MonitorChartWindow::Refresh() {
  if (!reader_) return;
  if (!reader_->Poll()) return;
  if (reader_->Error()) {
    // A malformed file stops the following; what was read stays on the chart.
    timer_.stop();
    status_->setText(QString::fromStdString(*reader_->Error()));
    emit chartUpdated();
    return;
  }
  ShowSeries();
  emit chartUpdated();
}

void MonitorChartWindow::ShowSeries() {
  const auto& columns = reader_->Columns();
  if (series_.size() != static_cast<int>(columns.size())) {
    for (QLineSeries* series : series_) {
      chart_->removeSeries(series);
      delete series;
    }
    series_.clear();
    for (const auto& column : columns) {
      auto* series = new QLineSeries;
      series->setName(QString::fromStdString(column.name));
      chart_->addSeries(series);
      series->attachAxis(axisX_);
      series->attachAxis(axisY_);
      series_ << series;
    }
  }
  const auto& repairs = reader_->Repairs();
  double low = 0.0, high = 1.0;
  bool any = false;
  for (int i = 0; i < series_.size(); ++i) {
    const auto& values = columns[static_cast<std::size_t>(i)].values;
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(values.size()));
    for (std::size_t k = 0; k < values.size(); ++k) {
      points.append(QPointF(repairs[k], values[k]));
      low = any ? std::min(low, values[k]) : values[k];
      high = any ? std::max(high, values[k]) : values[k];
      any = true;
    }
    series_[i]->replace(points);
  }
  const double first = repairs.empty() ? 0.0 : repairs.front();
  const double last = repairs.empty() ? 1.0 : std::max(repairs.back(), first + 1.0);
  axisX_->setRange(first, last);
  const double margin = std::max(1.0, (high - low) * 0.05);
  axisY_->setRange(any ? low - margin : 0.0, any ? high + margin : 1.0);
  axisY_->applyNiceNumbers();
  chart_->setTitle(QStringLiteral("Run %1, %2 points").arg(reader_->Run()).arg(repairs.size()));
  if (columns.empty())
    status_->setText(QStringLiteral("The file has a Repairs column but no cost columns to plot."));
}

}  // namespace mirelock
