#pragma once
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/SeriesDecimator.h"

class QAbstractAxis;
class QChart;
class QCheckBox;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace mirelock {

class MonitorFileReader;
class ZoomableChartView;

// What the window knows about the monitor run whose file it follows.
struct MonitorRunContext {
  QString problem;          // file name of the problem
  QString problemType;      // "QAP", "SAT", ...
  QString experiment;       // the eight parameter texts
  unsigned runs = 0;        // runs of the experiment; 0 when unknown
  std::optional<double> bestKnownCost;
  // The run the live solver is on (from 1), read when the file starts a new run; null when not live.
  std::function<unsigned()> liveRun;
};

// "Monitor chart": the search of a monitor run against repairs. Cost and best
// cost share the left axis, the augmented cost (which grows with the
// penalties) has its own axis on the right, and the best known cost is a
// dashed line. Each series can be hidden, the costs shown on a log scale,
// and the chart zoomed and panned. The window re-reads what was appended to
// the file every half second; points go into a decimator, so a refresh costs
// the same whether the run has written a thousand lines or a million.
class MonitorChartWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MonitorChartWindow(QWidget* parent = nullptr);
  ~MonitorChartWindow() override;

  // Follows `path` from its start (the file need not exist yet), forgetting
  // everything shown before.
  void Follow(const QString& path);
  // The same, for the file of a monitor run described by `context`.
  void FollowRun(const QString& path, const MonitorRunContext& context);
  QString FollowedPath() const;
  // Points read for the run shown (0 without data).
  int PointCount() const;
  // Points drawn for the first series after decimation.
  int DrawnPointCount() const;
  QStringList SeriesNames() const;
  QString StatusText() const;
  QString Title() const;
  // Shows or hides a series by its name ("Cost", "Best cost", "Augmented cost", "Best known cost").
  void SetSeriesVisible(const QString& name, bool visible);
  bool IsSeriesVisible(const QString& name) const;
  void SetLogScale(bool on);
  bool IsLogScale() const;
  // Fits the axes to the data again after a zoom or pan.
  void ResetZoom();
  // Zooms into a rectangle of the chart (see PlotArea), as dragging one does.
  void ZoomTo(const QRectF& plotRect);
  QRectF PlotArea() const;
  // The repairs axis's tick anchor and step.
  std::pair<double, double> RepairsTicks() const;
  // The labels of the log-scale cost (left) or augmented cost (right) axis, bottom up.
  QStringList AxisLabels(bool right) const;
  // The values at the ends of the cost (left) or augmented cost (right) axis.
  std::pair<double, double> AxisRange(bool right) const;
  // Whether the cost (left) or augmented cost (right) axis is shown.
  bool IsAxisVisible(bool right) const;
  // Milliseconds the last Refresh took.
  qint64 LastRefreshMs() const { return lastRefreshMs_; }
  // Whether the file has appended bytes not read yet (a big file loads in steps).
  bool HasPendingData() const;

  // Reads what was appended to the file now, without waiting for the timer.
  void Refresh();

 signals:
  void chartUpdated();

 private:
  static constexpr std::size_t kBuckets = 400;
  struct Plot {
    QString name;
    QLineSeries* series = nullptr;
    // About one bucket per pixel of a maximised chart's plot area.
    SeriesDecimator decimator{kBuckets};
    bool rightAxis = false;
  };

  void ChooseFile();
  void ClearChart();
  void AppendNewPoints();
  void RedrawSeries();
  void FitAxes();
  void RebuildYAxes();
  void UpdateTitle();
  void UpdateBestKnownLine();
  QCheckBox* CheckFor(const QString& name) const;

  std::unique_ptr<MonitorFileReader> reader_;
  MonitorRunContext context_;
  QTimer timer_;
  QChart* chart_;
  ZoomableChartView* view_;
  QValueAxis* axisX_;
  // The axes in use: the linear or the logarithmic pair below.
  QAbstractAxis* axisCost_ = nullptr;
  QAbstractAxis* axisAugmented_ = nullptr;
  QAbstractAxis* linearCost_ = nullptr;
  QAbstractAxis* linearAugmented_ = nullptr;
  QAbstractAxis* logCost_ = nullptr;
  QAbstractAxis* logAugmented_ = nullptr;
  std::vector<std::unique_ptr<Plot>> plots_;
  QLineSeries* bestKnown_ = nullptr;
  QList<QCheckBox*> seriesChecks_;
  QCheckBox* logScale_;
  QLabel* file_;
  QLabel* experiment_;
  QLabel* status_;
  int shownRun_ = 0;
  unsigned runNumber_ = 0;  // the run as the title names it
  std::size_t consumed_ = 0;  // reader points already in the decimators
  bool zoomed_ = false;
  bool catchUpQueued_ = false;
  bool relabelling_ = false;  // a log axis's labels are being placed
  qint64 lastRefreshMs_ = 0;
};

}  // namespace mirelock
