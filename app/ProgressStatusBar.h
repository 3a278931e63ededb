#pragma once
#include <QStatusBar>
#include <QTimer>
#include <functional>
#include <string>

class QLabel;

namespace mirelock {

class RunControls;

// The status bar: the progress line in its first pane, refreshed every 500 ms
// while a run is active, and the keyboard lock states where the platform
// reports them.
class ProgressStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  ProgressStatusBar(RunControls& controls, QWidget* parent = nullptr);

  // Starts the 500 ms refresh (a no-op when it is already running).
  void StartProgressTimer();
  void StopProgressTimer();
  bool IsProgressTimerActive() const { return timer_.isActive(); }
  QString ProgressLine() const;

 signals:
  // After every tick of the timer, with the text it put up.
  void progressRefreshed(const QString& text);

 private:
  void Tick();
  void UpdateLockPanes();

  RunControls& controls_;
  QTimer timer_;
  QLabel* progress_;
  QLabel* caps_ = nullptr;
  QLabel* num_ = nullptr;
  QLabel* scroll_ = nullptr;
};

}  // namespace mirelock
