#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "runner/RunProgress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace mirelock {

class RunControls;

// The run in detail, beside the status line: pairs of problem and experiment
// done out of the total, what each worker is solving (problem, experiment,
// run k of n), the time the run has been going, an estimate of the time
// left, and a progress bar. A paused run says so plainly and offers Abandon.
// It refreshes itself every half second while a worker exists.
class ProgressPane : public QWidget {
  Q_OBJECT
 public:
  ProgressPane(RunControls& controls, QWidget* parent = nullptr);

  // Reads the run controls now (the main window calls it after each command).
  void Refresh();
  // Forgets the last run (another document replaced the one it belonged to).
  void Clear();

  // Every pair of the run is done: the worker is only saying so.
  static bool AllPairsDone(const RunProgress& progress);
  // Share of the whole batch done, pairs found complete included.
  static double BatchFraction(const RunProgress& progress);

  // What the pane shows, for tests and the screenshot program.
  QString StateText() const;
  QString PairsText() const;
  QString WorkText() const;
  QString TimeText() const;
  int Percent() const;
  bool CanAbandon() const;
  const RunProgress& Last() const { return last_; }

 signals:
  // The user pressed Abandon on a paused run.
  void abandonRequested();

 private:
  void ShowIdle();
  void ShowState(const QString& text, const QString& background);
  void ShowWork(const RunProgress& progress);
  void ShowEnd();
  static QString Duration(qint64 seconds);

  RunControls& controls_;
  QTimer timer_;
  QLabel* state_;
  QLabel* pairs_;
  QLabel* work_;
  QLabel* time_;
  QProgressBar* bar_;
  QPushButton* abandon_;
  RunProgress last_;
  std::uint64_t serial_ = 0;
  qint64 elapsedMs_ = 0;  // time the run has been running, pauses left out
  QElapsedTimer sinceLastRefresh_;
};

}  // namespace mirelock
