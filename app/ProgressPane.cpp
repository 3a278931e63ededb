#include "app/ProgressPane.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
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
  if (last_.pairsTotal == 0) {
    time_->clear();
    bar_->setValue(0);
  }
  abandon_->setEnabled(false);
}

bool ProgressPane::AllPairsDone(const RunProgress& progress) {
  return progress.hasWorker && progress.pairsTotal > 0 && progress.pairsDone >= progress.pairsTotal &&
         progress.workers.empty();
}

double ProgressPane::BatchFraction(const RunProgress& progress) {
  if (progress.pairsTotal == 0) return 0.0;
  const double done = static_cast<double>(progress.pairsDone) + progress.PairsInHand();
  return std::min(1.0, done / static_cast<double>(progress.pairsTotal));
}

void ProgressPane::Clear() {
  timer_.stop();
  last_ = RunProgress{};
  elapsedMs_ = 0;
  bar_->setFormat(QStringLiteral("%p%"));
  ShowIdle();
}

void ProgressPane::ShowState(const QString& text, const QString& background) {
  state_->setText(text);
  state_->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1; font-weight: bold; "
                                       "padding: 2px 6px; border-radius: 3px; }")
                            .arg(background));
}

void ProgressPane::ShowEnd() {
  const bool finished = AllPairsDone(last_) || controls_.LastOutcome() == RunOutcome::kFinished;
  if (finished) {
    bar_->setValue(1000);
    bar_->setFormat(QStringLiteral("100%"));
  }
  time_->setText((finished ? QStringLiteral("Finished after ") : QStringLiteral("Ended after ")) +
                 Duration(elapsedMs_ / 1000));
}

void ProgressPane::Refresh() {
  const RunProgress progress = controls_.Progress();
  const qint64 sinceLast = sinceLastRefresh_.isValid() ? sinceLastRefresh_.restart() : 0;
  if (!sinceLastRefresh_.isValid()) sinceLastRefresh_.start();
  // Time counts while the run solves: not while paused, nor once its last pair is done.
  const bool lastWasSolving = last_.hasWorker && last_.running && !AllPairsDone(last_);

  if (!progress.hasWorker) {
    // The run ended: its last figures stay with the idle state until the next one.
    timer_.stop();
    const bool ended = last_.hasWorker;
    if (ended && lastWasSolving) elapsedMs_ += sinceLast;
    last_.hasWorker = false;
    last_.running = false;
    ShowIdle();
    if (ended) ShowEnd();
    return;
  }
  if (!timer_.isActive()) timer_.start();
  if (progress.runSerial != serial_) {
    serial_ = progress.runSerial;
    elapsedMs_ = 0;
  } else if (lastWasSolving) {
    elapsedMs_ += sinceLast;
  }
  last_ = progress;

  const bool done = AllPairsDone(progress);
  const bool paused = !progress.running;
  if (done)
    ShowState(QStringLiteral("Finished"), QStringLiteral("#455a64"));
  else if (paused)
    ShowState(QStringLiteral("PAUSED"), QStringLiteral("#c0392b"));
  else
    ShowState(progress.monitorRun ? QStringLiteral("Monitor run") : QStringLiteral("Running"),
              QStringLiteral("#2e7d32"));
  abandon_->setEnabled(paused && !done);

  const double shown = BatchFraction(progress);
  bar_->setValue(static_cast<int>(std::lround(shown * 1000)));
  bar_->setFormat(QStringLiteral("%1%").arg(shown * 100, 0, 'f', 1));

  QString pairs = QStringLiteral("Pairs done: %1 of %2").arg(progress.pairsDone).arg(progress.pairsTotal);
  if (progress.pairsSkipped > 0)
    pairs += QStringLiteral(" (%1 already complete, skipped)").arg(progress.pairsSkipped);
  pairs += QStringLiteral("   Problems done: %1 of %2   Experiments: %3")
               .arg(progress.problemsSolved)
               .arg(progress.problemsTotal)
               .arg(progress.experimentCount);
  pairs_->setText(pairs);
  ShowWork(progress);

  if (done) {
    ShowEnd();
    return;
  }
  // The estimate rests on this run's own pace, so pairs found complete count neither way.
  const double fraction = progress.WorkFraction();
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

void ProgressPane::ShowWork(const RunProgress& progress) {
  QStringList lines;
  for (const WorkerProgress& worker : progress.workers) {
    const auto slash = worker.problem.find_last_of('/');
    const QString problem =
        QString::fromStdString(slash == std::string::npos ? worker.problem : worker.problem.substr(slash + 1));
    QString experiment;
    for (unsigned i = 0; i < worker.experiment.GetParamCount(); ++i)
      experiment += (i ? QStringLiteral(" ") : QString()) + QString::fromStdString(worker.experiment.GetParamAt(i));
    QString run = worker.run == 0 ? QStringLiteral("reading the problem")
                                  : QStringLiteral("run %1 of %2").arg(worker.run).arg(worker.runs);
    if (const auto share = worker.RunShare()) run += QStringLiteral(" (%1 %)").arg(static_cast<int>(*share * 100));
    lines << QStringLiteral("%1 with experiment %2 of %3, %4  [%5]")
                 .arg(problem)
                 .arg(worker.experimentIndex + 1)
                 .arg(progress.experimentCount)
                 .arg(run, experiment);
  }
  work_->setText(lines.isEmpty() ? QString() : QStringLiteral("Solving ") + lines.join(QStringLiteral("\nSolving ")));
  // Room for each pair's line and its wrapped experiment, so the dock grows instead of hiding a line.
  const int rows = 2 * std::max<int>(1, static_cast<int>(lines.size()));
  work_->setMinimumHeight(work_->fontMetrics().lineSpacing() * rows);
}

QString ProgressPane::StateText() const { return state_->text(); }
QString ProgressPane::PairsText() const { return pairs_->text(); }
QString ProgressPane::WorkText() const { return work_->text(); }
QString ProgressPane::TimeText() const { return time_->text(); }
int ProgressPane::Percent() const { return bar_->value() / 10; }
bool ProgressPane::CanAbandon() const { return abandon_->isEnabled(); }

}  // namespace mirelock
