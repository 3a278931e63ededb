#include "app/RunCommands.h"

#include <QApplication>
#include <QDesktopServices>
#include <QInputDialog>
#include <QStatusBar>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <chrono>

#include "app/DocumentSession.h"
#include "app/ResultsCharts.h"
#include "app/ResultsWindow.h"
#include "app/UserSettings.h"
#include "summary/CSummariser.h"

namespace mirelock {

namespace {
constexpr const char* kWorkersKey = "Solve/Workers";
}  // namespace

RunCommands::RunCommands(DocumentSession& session, UserMessages& messages, QWidget* window, QStatusBar& statusBar)
    : QObject(window), session_(session), messages_(messages), window_(window), statusBar_(statusBar) {
  const unsigned workers = UserSettings().value(QString::fromLatin1(kWorkersKey), 1u).toUInt();
  session_.Controls().SetPartition(BatchPartition{std::clamp(workers, 1u, kMaxJobs), 0, 1});
}

void RunCommands::Start() {
  if (session_.Controls().IsRunning()) return;
  session_.Controls().Start();
  emit runStateChanged();
}

void RunCommands::Stop() {
  session_.Controls().Stop();
  emit runStateChanged();
}

void RunCommands::Abandon() {
  // Only a paused run: a running one is paused first with Stop, so that a
  // slip of the hand does not end hours of work.
  RunControls& controls = session_.Controls();
  if (controls.IsRunning() || !controls.HasWorker()) return;
  controls.Cancel();
  controls.WaitForWorkerEnd(std::chrono::seconds(10));
  statusBar_.showMessage(QStringLiteral("The paused run was abandoned; finished pairs keep their results files."),
                         8000);
  emit runStateChanged();
}

unsigned RunCommands::Workers() const { return session_.Controls().Partition().jobs; }

void RunCommands::SetWorkers(unsigned workers) {
  workers = std::clamp(workers, 1u, kMaxJobs);
  session_.Controls().SetPartition(BatchPartition{workers, 0, 1});
  UserSettings().setValue(QString::fromLatin1(kWorkersKey), workers);
}

void RunCommands::ChooseWorkers() {
  bool ok = false;
  const int workers = QInputDialog::getInt(
      window_, QStringLiteral("Workers"),
      QStringLiteral("Pairs of problem and experiment solved at once\n(for batch runs started from now on; "
                     "this computer has %1 cores):")
          .arg(QThread::idealThreadCount()),
      static_cast<int>(Workers()), 1, static_cast<int>(kMaxJobs), 1, &ok);
  if (ok) SetWorkers(static_cast<unsigned>(workers));
}

void RunCommands::Summarise() {
  const CMirelockDoc& doc = session_.Document();
  if (doc.m_experiments.empty()) {
    messages_.Show("Please input some experiments to summarise");
    return;
  }
  // The summariser copies the batch progress, which the worker writes under the lock.
  auto summariser =
      session_.Controls().UnderLock([&] { return std::make_unique<CSummariser>(doc, messages_); });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool summarised = summariser->Summarise();
  QApplication::restoreOverrideCursor();
  if (!summarised) return;
  QStringList written;
  if (summariser->SummaryWritten()) written << QString::fromStdString(doc.m_strSummaryFile);
  if (summariser->FullResultsWritten()) written << QString::fromStdString(doc.m_strFullResultsFile);
  statusBar_.showMessage(written.isEmpty() ? QStringLiteral("Summarised; no report file could be written")
                                           : QStringLiteral("Summary written: ") + written.join(QStringLiteral(", ")),
                         15000);
  ResultsWindow* results = session_.Results();
  if (!results) {
    results = new ResultsWindow(window_);
    results->setAttribute(Qt::WA_DeleteOnClose);
    connect(results, &ResultsWindow::openFolderRequested, this,
            [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); });
    session_.SetResultsWindow(results);
  }
  ShowSummaryResults(*results, *summariser, doc, session_.Controls());
  results->show();
  results->raise();
}

void RunCommands::ShowResults() {
  if (ResultsWindow* results = session_.Results()) {
    results->show();
    results->raise();
    return;
  }
  Summarise();
}

}  // namespace mirelock
