#include "app/ProgressPane.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "runner/RunControls.h"

namespace mirelock {

ProgressPane::ProgressPane(RunControls& controls, QWidget* parent) : QWidget(parent), controls_(controls) {
  setObjectName(QStringLiteral("progressDetails"));
  state_ = new QLabel;
  state_->setObjectName(QStringLiteral("runState"));
  state_->setMinimumWidth(90);
  bar_ = new QProgressBar;
  bar_->setObjectName(QStringLiteral("runProgressBar"));
  bar_->setRange(0, 1000);
  bar_->setTextVisible(true);
  abandon_ = new QPushButton(QStringLiteral("&Abandon"));
  abandon_->setObjectName(QStringLiteral("abandonButton"));
  abandon_->setToolTip(QStringLiteral("End the paused run; the results files of finished pairs stay"));
  connect(abandon_, &QPushButton::clicked, this, &ProgressPane::abandonRequested);
  pairs_ = new QLabel;
  pairs_->setObjectName(QStringLiteral("runPairs"));
  work_ = new QLabel;
  work_->setObjectName(QStringLiteral("runWork"));
  work_->setWordWrap(true);
  work_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  time_ = new QLabel;
  time_->setObjectName(QStringLiteral("runTime"));

  auto* top = new QHBoxLayout;
  top->addWidget(state_);
  top->addWidget(bar_, 1);
  top->addWidget(abandon_);
  auto* facts = new QHBoxLayout;
  facts->addWidget(pairs_, 1);
  facts->addWidget(time_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->addLayout(top);
  layout->addLayout(facts);
  layout->addWidget(work_);

  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &ProgressPane::Refresh);
  ShowIdle();
}

QString ProgressPane::Duration(qint64 seconds) {
  if (seconds < 0) seconds = 0;
  const qint64 hours = seconds / 3600;
  const qint64 minutes = seconds / 60 % 60;
  const qint64 secs = seconds % 60;
  if (hours > 0)
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QLatin1Char('0')).arg(secs, 2, 10, QLatin1Char('0'));
  return QStringLiteral("%1:%2").arg(minutes).arg(secs, 2, 10, QLatin1Char('0'));
}

void ProgressPane::ShowIdle() {
  state_->setText(QStringLiteral("Idle"));
  state_->setStyleSheet(QString());
  pairs_->setText(QStringLiteral("No run is active. Solve, Start runs the batch; Monitor Run, Solve problem runs one problem."));
  work_->clear();
  work_->setVisible(false);
  if (last_.pairsTotal == 0) {
    time_->clear();
    bar_->setValue(0);
  }
  abandon_->setEnabled(false);
}

void ProgressPane::Refresh() {
  const RunProgress progress = controls_.Progress();
  const qint64 sinceLast = sinceLastRefresh_.isValid() ? sinceLastRefresh_.restart() : 0;
  if (!sinceLastRefresh_.isValid()) sinceLastRefresh_.start();

  if (!progress.hasWorker) {
    // The run ended: its last figures stay with the idle state until the next one.
    timer_.stop();
    const bool ended = last_.hasWorker;
    if (ended) elapsedMs_ += last_.running ? sinceLast : 0;
    last_.hasWorker = false;
    last_.running = false;
    ShowIdle();
    if (ended) {
      // The last tick saw the run before its end: say how it ended instead.
      const bool finished = controls_.LastOutcome() == RunOutcome::kFinished;
      if (finished) {
        bar_->setValue(1000);
        bar_->setFormat(QStringLiteral("100%"));
      }
      time_->setText((finished ? QStringLiteral("Finished after ") : QStringLiteral("Ended after ")) +
                     Duration(elapsedMs_ / 1000));
    }
    return;
  }
  if (!timer_.isActive()) timer_.start();
  if (progress.runSerial != serial_) {
    serial_ = progress.runSerial;
    elapsedMs_ = 0;
  } else if (last_.running && last_.hasWorker) {
    elapsedMs_ += sinceLast;
  }
  last_ = progress;

  const bool paused = !progress.running;
  if (paused) {
    state_->setText(QStringLiteral("PAUSED"));
    state_->setStyleSheet(QStringLiteral("QLabel { color: white; background: #c0392b; font-weight: bold; "
                                         "padding: 2px 6px; border-radius: 3px; }"));
  } else {
    state_->setText(progress.monitorRun ? QStringLiteral("Monitor run") : QStringLiteral("Running"));
    state_->setStyleSheet(QStringLiteral("QLabel { color: white; background: #2e7d32; font-weight: bold; "
                                         "padding: 2px 6px; border-radius: 3px; }"));
  }
  abandon_->setEnabled(paused);

  const double fraction = progress.WorkFraction();
  bar_->setValue(static_cast<int>(std::lround(fraction * 1000)));
  bar_->setFormat(QStringLiteral("%1%").arg(fraction * 100, 0, 'f', 1));

  QString pairs = QStringLiteral("Pairs done: %1 of %2").arg(progress.pairsDone).arg(progress.pairsTotal);
  if (progress.pairsSkipped > 0)
    pairs += QStringLiteral(" (%1 already complete, skipped)").arg(progress.pairsSkipped);
  pairs += QStringLiteral("   Problems done: %1 of %2   Experiments: %3")
               .arg(progress.problemsSolved)
               .arg(progress.problemsTotal)
               .arg(progress.experimentCount);
  pairs_->setText(pairs);

  QStringList lines;
  for (const WorkerProgress& worker : progress.workers) {
    const auto slash = worker.problem.find_last_of('/');
    const QString problem =
        QString::fromStdString(slash == std::string::npos ? worker.problem : worker.problem.substr(slash + 1));
    QString experiment;
    for (unsigned i = 0; i < worker.experiment.GetParamCount(); ++i)
      experiment += (i ? QStringLiteral(" ") : QString()) + QString::fromStdString(worker.experiment.GetParamAt(i));
    const QString run = worker.run == 0 ? QStringLiteral("reading the problem")
                                        : QStringLiteral("run %1 of %2").arg(worker.run).arg(worker.runs);
    lines << QStringLiteral("%1 with experiment %2 of %3, %4  [%5]")
                 .arg(problem)
                 .arg(worker.experimentIndex + 1)
                 .arg(progress.experimentCount)
                 .arg(run, experiment);
  }
  work_->setText(lines.isEmpty() ? QString() : QStringLiteral("Solving ") + lines.join(QStringLiteral("\nSolving ")));
  work_->setVisible(!lines.isEmpty());

  QString time = QStringLiteral("Elapsed %1").arg(Duration(elapsedMs_ / 1000));
  if (fraction > 0 && fraction < 1 && elapsedMs_ > 0) {
    const double left = elapsedMs_ / 1000.0 * (1 - fraction) / fraction;
    time += QStringLiteral(", about %1 left").arg(Duration(static_cast<qint64>(std::lround(left))));
  } else if (fraction < 1) {
    time += QStringLiteral(", time left not known yet");
  }
  if (paused) time += QStringLiteral(" (paused)");
  time_->setText(time);
}

QString ProgressPane::StateText() const { return state_->text(); }
QString ProgressPane::PairsText() const { return pairs_->text(); }
QString ProgressPane::WorkText() const { return work_->text(); }
QString ProgressPane::TimeText() const { return time_->text(); }
int ProgressPane::Percent() const { return bar_->value() / 10; }
bool ProgressPane::CanAbandon() const { return abandon_->isEnabled(); }

}  // namespace mirelock
