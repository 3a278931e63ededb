#include "app/DocumentSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "app/FileChooser.h"
#include "app/MonitorChartWindow.h"
#include "app/RecentFiles.h"
#include "app/ResultsWindow.h"
#include "experiments/DocumentFile.h"

namespace mirelock {

namespace {
// How long a switch waits for an abandoned run to leave its solver.
constexpr qint64 kAbandonWaitMs = 10000;
}  // namespace

DocumentSession::DocumentSession(UserMessages& messages, FileChooser& chooser, RecentFiles& recent, QWidget* window)
    : QObject(window),
      messages_(messages),
      chooser_(chooser),
      recent_(recent),
      window_(window),
      doc_(&messages),
      controls_(std::make_unique<RunControls>(doc_, messages)) {
  MarkSaved();
}

DocumentSession::~DocumentSession() {
  // The run controls abandon and join their workers before the document they write into goes.
  controls_.reset();
}

QString DocumentSession::DisplayName() const {
  return path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
}

void DocumentSession::SetResultsWindow(ResultsWindow* window) { results_ = window; }
ResultsWindow* DocumentSession::Results() const { return results_; }
void DocumentSession::SetMonitorChart(MonitorChartWindow* window) { chart_ = window; }
MonitorChartWindow* DocumentSession::MonitorChart() const { return chart_; }

bool DocumentSession::IsModified() const { return EncodeDocument(doc_) != savedBytes_; }

void DocumentSession::MarkSaved() {
  savedBytes_ = EncodeDocument(doc_);
  emit titleChanged();
}

bool DocumentSession::New() {
  if (controls_->IsRunning()) return false;
  if (!MaySwitch(QStringLiteral("start a new document"))) return false;
  ResetRunState();
  doc_.NewDocument();
  path_.clear();
  Replaced();
  return true;
}

bool DocumentSession::Open(const QString& path) {
  if (!QFileInfo::exists(path)) {
    // Nothing to read: the current document and its settings stay, and a
    // recent entry that points nowhere goes.
    recent_.Remove(path);
    messages_.Show("Cannot open " + path.toStdString() + ": the file does not exist. The current document is kept.");
    return false;
  }
  if (!MaySwitch(QStringLiteral("open another document"))) return false;
  ResetRunState();
  const bool read = OpenDocumentFile(doc_, path.toStdString(), messages_);
  // A file that failed leaves a new document behind, as File, New would.
  path_ = read ? path : QString();
  if (read) recent_.Add(path);
  Replaced();
  return read;
}

bool DocumentSession::OpenChosen() {
  if (controls_->IsRunning()) return false;
  QFileDialog dialog(window_, QStringLiteral("Open"), path_, QStringLiteral("All Files (*)"));
  dialog.setObjectName(QStringLiteral("openChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QString path = chooser_.Run(dialog);
  return !path.isEmpty() && Open(path);
}

void DocumentSession::Replaced() {
  DropMonitorProblemOfOtherType();
  if (results_) results_->close();
  if (chart_) chart_->close();
  MarkSaved();
  emit replaced();
}

bool DocumentSession::Save() {
  if (path_.isEmpty()) return SaveAs();
  try {
    SaveDocumentFile(doc_, path_.toStdString());
  } catch (const DocumentFileError& error) {
    messages_.Show(error.what());
    return false;
  }
  recent_.Add(path_);
  MarkSaved();
  return true;
}

bool DocumentSession::SaveAs() {
  QFileDialog dialog(window_, QStringLiteral("Save As"), path_, QStringLiteral("All Files (*)"));
  dialog.setObjectName(QStringLiteral("saveAsChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QString path = chooser_.Run(dialog);
  if (path.isEmpty()) return false;
  try {
    SaveDocumentFile(doc_, path.toStdString());
  } catch (const DocumentFileError& error) {
    messages_.Show(error.what());
    return false;
  }
  path_ = path;
  recent_.Add(path);
  MarkSaved();
  return true;
}

bool DocumentSession::MayClose() {
  const bool hadWorker = controls_->HasWorker();
  if (hadWorker && !AskToAbandonRun(QStringLiteral("close Mirelock"))) return false;
  if (!MaySaveChanges()) return false;
  if (hadWorker) controls_->Cancel();
  return true;
}

bool DocumentSession::MaySwitch(const QString& what) {
  // Events run while an abandoned run ends; a second switch meanwhile waits for the first.
  if (switching_) return false;
  switching_ = true;
  const bool hadWorker = controls_->HasWorker();
  const bool agreed = (!hadWorker || AskToAbandonRun(what)) && MaySaveChanges() && (!hadWorker || AbandonRun());
  switching_ = false;
  return agreed;
}

bool DocumentSession::AskToAbandonRun(const QString& what) {
  if (runQuestion_) return runQuestion_(what);
  const QString state = controls_->IsRunning() ? QStringLiteral("A run is in progress.")
                                               : QStringLiteral("A run is paused.");
  QMessageBox box(QMessageBox::Question, QStringLiteral("Mirelock"),
                  state + QStringLiteral(" Abandon it and %1?\n\nResults files of finished pairs stay; the next "
                                         "Start resumes from the first incomplete pair.")
                              .arg(what),
                  QMessageBox::NoButton, window_);
  box.setObjectName(QStringLiteral("abandonRunBox"));
  QPushButton* abandon = box.addButton(QStringLiteral("&Abandon run"), QMessageBox::AcceptRole);
  QPushButton* stay = box.addButton(QStringLiteral("&Stay"), QMessageBox::RejectRole);
  box.setDefaultButton(stay);
  box.exec();
  return box.clickedButton() == abandon;
}

bool DocumentSession::MaySaveChanges() {
  if (!IsModified()) return true;
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Mirelock"), QStringLiteral("Save changes?"),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window_);
  box.setObjectName(QStringLiteral("saveChangesBox"));
  box.setInformativeText(QStringLiteral("%1 has changes that are not saved.").arg(DisplayName()));
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return Save();
    case QMessageBox::Discard:
      return true;
    default:
      return false;
  }
}

bool DocumentSession::AbandonRun() {
  controls_->Cancel();
  // The worker may want a message read on this thread before it ends, so events go on while waiting.
  QElapsedTimer clock;
  clock.start();
  while (!controls_->WaitForWorkerEnd(std::chrono::milliseconds(20))) {
    if (clock.elapsed() > kAbandonWaitMs) {
      messages_.Show("The run is still finishing the solver it was in; the current document is kept. Try again "
                     "in a moment.");
      return false;
    }
    QApplication::processEvents();
  }
  return true;
}

void DocumentSession::ResetRunState() {
  // Nothing of the old document's runs may decide what the next one summarises or resumes.
  controls_->UnderLock([this] {
    doc_.m_nProblemsSolved = 0;
    doc_.m_nTotalProblems = 0;
    doc_.m_solvedProblems.clear();
    doc_.m_strCurrentProblem.clear();
    doc_.m_bRunStarted = false;
    doc_.m_bSettingsChanged = false;
  });
}

bool DocumentSession::MonitorProblemFitsType() const {
  if (doc_.m_strMonitorProblem.empty()) return true;
  const auto type = ProblemTypeFromPath(doc_.m_strMonitorProblem);
  return !type || *type == doc_.m_nProblemType;
}

void DocumentSession::DropMonitorProblemOfOtherType() {
  if (MonitorProblemFitsType()) return;
  doc_.m_strMonitorProblem.clear();
  doc_.m_bSettingsChanged = true;
}

void DocumentSession::SetProblemType(ProblemType type) {
  if (controls_->IsRunning()) return;
  doc_.m_nProblemType = type;
  DropMonitorProblemOfOtherType();
  emit titleChanged();
}

}  // namespace mirelock
