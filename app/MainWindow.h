#pragma once
#include <QMainWindow>
#include <functional>
#include <memory>

#include "experiments/CMirelockDoc.h"
#include "runner/RunControls.h"

class QAction;
class QFileDialog;
class QMenu;
class QPrinter;
class QToolBar;

namespace mirelock {

class DocumentSession;
class DocumentView;
class FileChooser;
class MonitorChartWindow;
class MonitorCommands;
class PrintCommands;
class ProgressPane;
class ProgressStatusBar;
class RecentFiles;
class ResultsWindow;
class RunCommands;
class SettingsCommands;
class WindowMessages;

// The main window: menus, toolbar, status bar and the run progress pane
// around the view. The commands live in pieces of their own (the document
// session for File and closing, settings, monitor, run and print commands);
// the window builds the menus over them and keeps the enabled states in step
// with the running flag.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Opens a document file (File, Open without the chooser); false when it was not read.
  bool OpenDocument(const QString& path);

  DocumentSession& Session() { return *session_; }
  CMirelockDoc& Document();
  RunControls& Controls();
  WindowMessages& Messages() { return *messages_; }
  DocumentView* View() const { return view_; }
  ProgressStatusBar* ProgressBar() const { return status_; }
  ProgressPane* Progress() const { return progress_; }
  MonitorChartWindow* MonitorChart() const;
  ResultsWindow* Results() const;
  // Lays out the view's lines on `printer` (Print and Print Preview use it); returns the pages printed.
  int PrintTo(QPrinter& printer) const;
  void SetWorkers(unsigned workers);
  unsigned Workers() const;
  // A command by its object name ("actionStart", ...), for tests and scripts.
  QAction* Action(const QString& name) const;
  QStringList RecentFiles() const;

  // Runs a prepared file or folder chooser and returns the confirmed path
  // (empty when cancelled). Tests replace it to pick a path as a user would.
  using ChooserRunner = std::function<QString(QFileDialog&)>;
  void SetChooserRunner(ChooserRunner runner);
  // Asks whether a running or paused batch may be abandoned when the window
  // closes or the document is replaced; true lets it go. Tests replace the box.
  using CloseQuestion = std::function<bool()>;
  void SetCloseQuestion(CloseQuestion question);

 public slots:
  // Re-reads the running flag and enables the commands accordingly.
  void UpdateCommands();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // A command whose triggering calls `slot` on `target`.
  template <typename Target, typename Result>
  QAction* NewAction(const QString& text, const char* name, Target* target, Result (Target::*slot)(),
                     const QKeySequence& shortcut = {});
  QAction* NewAction(const QString& text, const char* name);
  void CreateFileMenu();
  void CreateViewMenus();
  void CreateCommandMenus();
  void CreateToolBar();
  void DocumentChanged();
  void DocumentReplaced();
  void RefreshTitle();
  void RefreshRunState();
  void HelpTopics();
  void About();

  std::unique_ptr<WindowMessages> messages_;
  std::unique_ptr<FileChooser> chooser_;
  mirelock::RecentFiles* recent_ = nullptr;
  DocumentSession* session_ = nullptr;
  SettingsCommands* settings_ = nullptr;
  MonitorCommands* monitor_ = nullptr;
  RunCommands* run_ = nullptr;
  PrintCommands* print_ = nullptr;

  DocumentView* view_ = nullptr;
  ProgressStatusBar* status_ = nullptr;
  ProgressPane* progress_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QList<QAction*> typeActions_;
  // Commands that only make sense while no run is active.
  QList<QAction*> idleOnly_;
  QAction* start_ = nullptr;
  QAction* stop_ = nullptr;
  QAction* abandon_ = nullptr;
};

}  // namespace mirelock
