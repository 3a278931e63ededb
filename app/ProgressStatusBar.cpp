#include "app/ProgressStatusBar.h"

#include <QLabel>

#include "runner/RunControls.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace mirelock {

ProgressStatusBar::ProgressStatusBar(RunControls& controls, QWidget* parent)
    : QStatusBar(parent), controls_(controls) {
  setObjectName(QStringLiteral("statusBar"));
  progress_ = new QLabel;
  progress_->setObjectName(QStringLiteral("progressPane"));
  progress_->setTextFormat(Qt::PlainText);
  addWidget(progress_, 1);

#ifdef Q_OS_WIN
  // Only Windows tells a program the lock-key states; other platforms get no panes
  // rather than panes that may lie.
  caps_ = new QLabel;
  num_ = new QLabel;
  scroll_ = new QLabel;
  for (QLabel* pane : {caps_, num_, scroll_}) {
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
    addPermanentWidget(pane);
  }
  auto* lockTimer = new QTimer(this);
  connect(lockTimer, &QTimer::timeout, this, &ProgressStatusBar::UpdateLockPanes);
  lockTimer->start(250);
  UpdateLockPanes();
#endif

  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &ProgressStatusBar::Tick);
}

void ProgressStatusBar::StartProgressTimer() {
  if (!timer_.isActive()) timer_.start();
}

void ProgressStatusBar::StopProgressTimer() { timer_.stop(); }

QString ProgressStatusBar::ProgressLine() const { return progress_->text(); }

void ProgressStatusBar::Tick() {
  // ProgressText reads the shared progress under the run controls' lock and
  // is empty once the running flag is off; then the timer has done its work.
  const bool running = controls_.IsRunning();
  const std::string text = controls_.ProgressText();
  if (!running) timer_.stop();
  // The progress line separates its two parts by a tab; a label shows it as a gap.
  const QString shown = QString::fromStdString(text).replace(QLatin1Char('\t'), QStringLiteral("    "));
  progress_->setText(shown);
  emit progressRefreshed(shown);
}

void ProgressStatusBar::UpdateLockPanes() {
#ifdef Q_OS_WIN
  caps_->setText((GetKeyState(VK_CAPITAL) & 1) ? QStringLiteral("CAP") : QString());
  num_->setText((GetKeyState(VK_NUMLOCK) & 1) ? QStringLiteral("NUM") : QString());
  scroll_->setText((GetKeyState(VK_SCROLL) & 1) ? QStringLiteral("SCRL") : QString());
#endif
}

}  // namespace mirelock
