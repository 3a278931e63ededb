#pragma once
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "experiments/CMirelockDoc.h"
#include "runner/RunControls.h"

class QAction;
class QFileDialog;
class QActionGroup;
class QMenu;
class QPrinter;
class QToolBar;

namespace mirelock {

class DocumentView;
class MonitorChartWindow;
class ProgressPane;
class ProgressStatusBar;
class ResultsWindow;
class WindowMessages;

// The main window: menus, toolbar and status bar over the one document, the
// view that draws it, and the run controls shared with the command line.
// Every command is a call on the model; the window adds only the dialogs and
// the enabled states that follow the running flag.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Opens a document file (File, Open without the chooser); false when it could not be read.
  bool OpenDocument(const QString& path);

  CMirelockDoc& Document() { return doc_; }
  RunControls& Controls() { return *controls_; }
  WindowMessages& Messages() { return *messages_; }
  DocumentView* View() const { return view_; }
  ProgressStatusBar* ProgressBar() const { return status_; }
  ProgressPane* Progress() const { return progress_; }
  MonitorChartWindow* MonitorChart() const;
  ResultsWindow* Results() const;
  // Lays out the view's lines on `printer` (Print and Print Preview use it); returns the pages printed.
  int PrintTo(QPrinter& printer) const;
  // Workers of the batch runs started from now on; kept in the user's settings.
  void SetWorkers(unsigned workers);
  unsigned Workers() const;
  // A command by its object name ("actionStart", ...), for tests and scripts.
  QAction* Action(const QString& name) const;
  QStringList RecentFiles() const;

  // Runs a prepared file or folder chooser and returns the confirmed path
  // (empty when cancelled). Tests replace it to pick a path as a user would,
  // after checking the chooser's title, filters and default suffix.
  using ChooserRunner = std::function<QString(QFileDialog&)>;
  void SetChooserRunner(ChooserRunner runner) { runChooser_ = std::move(runner); }
  // Asks whether a running or paused batch may be abandoned when the window
  // closes; true lets it close. Tests replace the question box.
  using CloseQuestion = std::function<bool()>;
  void SetCloseQuestion(CloseQuestion question) { closeQuestion_ = std::move(question); }

 public slots:
  // Re-reads the running flag and enables the commands accordingly.
  void UpdateCommands();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* NewAction(const QString& text, const char* name, void (MainWindow::*slot)(),
                     const QKeySequence& shortcut = {});
  void CreateMenus();
  void CreateToolBar();
  void DocumentChanged();

  // File
  void FileNew();
  void FileOpen();
  void FileSave();
  void FileSaveAs();
  void FilePrint();
  void FilePrintPreview();
  void FilePrintSetup();
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);
  void StoreRecentFiles(QStringList files);
  void ShowRecentFiles();
  // Problem type, Options
  void SetProblemType(ProblemType type);
  void SelectProblemsDirectory();
  void ChangeResultsDirectory();
  void ChangeFullResultsFile();
  void ChangeSummaryFile();
  void EditExperimentList();
  void EditOrderingAndSeeds();
  // Monitor Run
  void SelectMonitorProblem();
  void SetMonitorParameters();
  void SelectMonitorOutputFile();
  void SetMonitorEvery();
  void SolveProblem();
  void ShowMonitorChart();
  // Solve, Summarise, Help
  void Start();
  void Stop();
  void Abandon();
  void ChooseWorkers();
  void Summarise();
  void ShowResults();
  void HelpTopics();
  void About();

  // The chooser's result with its default suffix added when the name has none.
  QString RunChooser(QFileDialog& dialog);
  bool ChooseDirectory(const QString& prompt, std::string& directory);
  bool ChooseResultsFile(std::string& file);
  void Message(const std::string& text);
  void RefreshTitle();
  void RefreshRunState();
  QPrinter& Printer();
  bool AskToAbandonRun();

  std::unique_ptr<WindowMessages> messages_;
  CMirelockDoc doc_;
  std::unique_ptr<RunControls> controls_;
  QString documentPath_;
  std::unique_ptr<QPrinter> printer_;
  ChooserRunner runChooser_;
  CloseQuestion closeQuestion_;

  DocumentView* view_ = nullptr;
  ProgressStatusBar* status_ = nullptr;
  ProgressPane* progress_ = nullptr;
  QPointer<ResultsWindow> results_;
  QToolBar* toolBar_ = nullptr;
  QPointer<MonitorChartWindow> chart_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  QList<QAction*> recentActions_;
  QActionGroup* problemTypes_ = nullptr;
  QList<QAction*> typeActions_;
  // Commands that only make sense while no run is active.
  QList<QAction*> idleOnly_;
  QAction* stop_ = nullptr;
  QAction* abandon_ = nullptr;
};

}  // namespace mirelock
