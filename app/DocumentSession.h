#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "experiments/CMirelockDoc.h"
#include "runner/RunControls.h"

class QWidget;

namespace mirelock {

class FileChooser;
class MonitorChartWindow;
class RecentFiles;
class ResultsWindow;

// The current document and everything tied to it: the file it came from,
// whether it holds unsaved edits, the run controls with the batch progress
// they publish into it (solved names, run started), the monitor set-up and
// the results and monitor chart windows that show its runs. New, Open and
// closing go through here: a run in progress or paused is abandoned only when
// the user agrees, unsaved edits are saved or discarded only when the user
// says so, and a new document starts with none of the old one's run state.
class DocumentSession : public QObject {
  Q_OBJECT
 public:
  DocumentSession(UserMessages& messages, FileChooser& chooser, RecentFiles& recent, QWidget* window);
  ~DocumentSession() override;

  CMirelockDoc& Document() { return doc_; }
  const CMirelockDoc& Document() const { return doc_; }
  RunControls& Controls() { return *controls_; }
  const QString& Path() const { return path_; }
  // The file name shown in the title and the printout ("Untitled" before the first save).
  QString DisplayName() const;

  // Whether the stored part of the document differs from the file (or, for a
  // new document, from how it was made). Read afresh on every call.
  bool IsModified() const;

  bool New();
  bool Open(const QString& path);
  // File, Open: the chooser, then Open.
  bool OpenChosen();
  // Save to the document's file, or ask for one; false when nothing was written.
  bool Save();
  bool SaveAs();
  // Before the window closes: the same questions as a switch; a run the user
  // agreed to give up is told to stop (the window's end waits for it).
  bool MayClose();

  // Problem type menu: a monitor problem of another type goes with the old type.
  void SetProblemType(ProblemType type);
  // Whether the monitor problem's extension is the current type's.
  bool MonitorProblemFitsType() const;

  // The windows that show this document's runs; closed when it is replaced.
  void SetResultsWindow(ResultsWindow* window);
  ResultsWindow* Results() const;
  void SetMonitorChart(MonitorChartWindow* window);
  MonitorChartWindow* MonitorChart() const;

  // Asks whether a running or paused run may be abandoned for `what` ("close
  // Mirelock", ...); true lets it go. Tests replace the question box.
  using RunQuestion = std::function<bool(const QString& what)>;
  void SetRunQuestion(RunQuestion question) { runQuestion_ = std::move(question); }

 signals:
  // Another document (or a new one) replaced the old; its run state is reset.
  void replaced();
  // The file name or the modified state may have changed.
  void titleChanged();

 private:
  bool MaySwitch(const QString& what);
  bool AskToAbandonRun(const QString& what);
  // Save, Discard or Cancel; true unless the user cancelled or the save failed.
  bool MaySaveChanges();
  // Tells the current run to end and waits for it; false when it would not end.
  bool AbandonRun();
  void ResetRunState();
  void DropMonitorProblemOfOtherType();
  void MarkSaved();
  void Replaced();

  UserMessages& messages_;
  FileChooser& chooser_;
  RecentFiles& recent_;
  QWidget* window_;
  CMirelockDoc doc_;
  std::unique_ptr<RunControls> controls_;
  QString path_;
  std::vector<std::uint8_t> savedBytes_;
  RunQuestion runQuestion_;
  bool switching_ = false;
  QPointer<ResultsWindow> results_;
  QPointer<MonitorChartWindow> chart_;
};

}  // namespace mirelock
