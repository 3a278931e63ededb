#pragma once
#include <QTimer>
#include <QWidget>
#include <memory>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace mirelock {

class MonitorFileReader;

// "Monitor chart": cost, best cost and augmented cost against repairs from a
// monitor output file. It re-reads the lines appended to the file every half
// second, so it follows a monitor run while the solver writes; any monitor
// file can be loaded afterwards.
class MonitorChartWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MonitorChartWindow(QWidget* parent = nullptr);
  ~MonitorChartWindow() override;

  // Follows `path` from its start (the file need not exist yet).
  void Follow(const QString& path);
  QString FollowedPath() const;
  // Points in the chart's first series (0 without data); for tests and the title.
  int PointCount() const;
  QStringList SeriesNames() const;
  QString StatusText() const;

  // Reads what was appended to the file now, without waiting for the timer.
  void Refresh();

 signals:
  void chartUpdated();

 private:
  void ChooseFile();
  void ShowSeries();

  std::unique_ptr<MonitorFileReader> reader_;
  QTimer timer_;
  QChart* chart_;
  QChartView* view_;
  QValueAxis* axisX_;
  QValueAxis* axisY_;
  QList<QLineSeries*> series_;
  QLabel* file_;
  QLabel* status_;
};

}  // namespace mirelock
