#include "app/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QStyle>
#include <QToolBar>

#include "app/AboutDialog.h"
#include "app/DocumentSession.h"
#include "app/DocumentView.h"
#include "app/FileChooser.h"
#include "app/MonitorChartWindow.h"
#include "app/MonitorCommands.h"
#include "app/PrintCommands.h"
#include "app/ProgressPane.h"
#include "app/ProgressStatusBar.h"
#include "app/ResultsWindow.h"
#include "app/RecentFiles.h"
#include "app/RunCommands.h"
#include "app/SettingsCommands.h"
#include "app/ToolbarIcons.h"
#include "app/UserSettings.h"
#include "app/WindowMessages.h"

namespace mirelock {

namespace {

constexpr const char* kGeometryKey = "Window/Geometry";
constexpr const char* kStateKey = "Window/State";

// The problem type entries with an Alt key each.
QString TypeMenuText(ProblemType type) {
  switch (type) {
    case kProblemSAT:
      return QStringLiteral("&SAT");
    case kProblemMaxSAT:
      return QStringLiteral("&MAX-SAT");
    case kProblemQAP:
      return QStringLiteral("&QAP");
    default:
      return QStringLiteral("&TSP");
  }
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      messages_(std::make_unique<WindowMessages>(this)),
      chooser_(std::make_unique<FileChooser>()) {
  setObjectName(QStringLiteral("mainWindow"));
  recent_ = new mirelock::RecentFiles(this);
  session_ = new DocumentSession(*messages_, *chooser_, *recent_, this);
  view_ = new DocumentView(Document());
  // The view asks for the size of its lines; the scroll area shows scroll bars instead of clipping.
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("documentScroll"));
  scroll->setWidget(view_);
  scroll->setWidgetResizable(true);
  scroll->setBackgroundRole(QPalette::Base);
  setCentralWidget(scroll);
  status_ = new ProgressStatusBar(Controls(), this);
  setStatusBar(status_);
  progress_ = new ProgressPane(Controls());
  auto* dock = new QDockWidget(QStringLiteral("Run progress"), this);
  dock->setObjectName(QStringLiteral("progressDock"));
  dock->setWidget(progress_);
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::BottomDockWidgetArea, dock);

  settings_ = new SettingsCommands(*session_, *chooser_, *messages_, this);
  monitor_ = new MonitorCommands(*session_, *chooser_, *messages_, this);
  run_ = new RunCommands(*session_, *messages_, this, *status_);
  print_ = new PrintCommands([this] { return view_->PrintLines(); },
                             [this] { return session_->DisplayName() + QStringLiteral(" - Mirelock"); }, this);
  connect(settings_, &SettingsCommands::changed, this, &MainWindow::DocumentChanged);
  connect(monitor_, &MonitorCommands::changed, this, &MainWindow::DocumentChanged);
  connect(monitor_, &MonitorCommands::runStateChanged, this, &MainWindow::RefreshRunState);
  connect(run_, &RunCommands::runStateChanged, this, &MainWindow::RefreshRunState);
  connect(progress_, &ProgressPane::abandonRequested, run_, &RunCommands::Abandon);
  connect(session_, &DocumentSession::replaced, this, &MainWindow::DocumentReplaced);
  connect(session_, &DocumentSession::titleChanged, this, &MainWindow::RefreshTitle);
  connect(recent_, &RecentFiles::openRequested, this, [this](const QString& path) {
    if (!Controls().IsRunning()) OpenDocument(path);
  });

  CreateFileMenu();
  CreateViewMenus();
  CreateCommandMenus();
  CreateToolBar();

  // The worker ends on its own thread; the window re-reads the running flag on its own.
  Controls().SetWorkerEndedHandler(
      [this] { QMetaObject::invokeMethod(this, &MainWindow::UpdateCommands, Qt::QueuedConnection); });
  // Each progress tick also notices a run that ended by an error message.
  connect(status_, &ProgressStatusBar::progressRefreshed, this, &MainWindow::UpdateCommands);

  UpdateCommands();
  RefreshTitle();
  resize(960, 560);
  QSettings settings = UserSettings();
  restoreGeometry(settings.value(QString::fromLatin1(kGeometryKey)).toByteArray());
  restoreState(settings.value(QString::fromLatin1(kStateKey)).toByteArray());
}

MainWindow::~MainWindow() {
  // Waiting workers are let go before the run controls abandon and join them.
  messages_->ShutDown();
  delete session_;
  session_ = nullptr;
}

CMirelockDoc& MainWindow::Document() { return session_->Document(); }
RunControls& MainWindow::Controls() { return session_->Controls(); }
MonitorChartWindow* MainWindow::MonitorChart() const { return session_->MonitorChart(); }
ResultsWindow* MainWindow::Results() const { return session_->Results(); }
int MainWindow::PrintTo(QPrinter& printer) const { return print_->PrintTo(printer); }
void MainWindow::SetWorkers(unsigned workers) { run_->SetWorkers(workers); }
unsigned MainWindow::Workers() const { return run_->Workers(); }
QAction* MainWindow::Action(const QString& name) const { return findChild<QAction*>(name); }
QStringList MainWindow::RecentFiles() const { return recent_->Files(); }
void MainWindow::SetChooserRunner(ChooserRunner runner) { chooser_->SetRunner(std::move(runner)); }
bool MainWindow::OpenDocument(const QString& path) { return session_->Open(path); }

void MainWindow::SetCloseQuestion(CloseQuestion question) {
  session_->SetRunQuestion([question = std::move(question)](const QString&) { return question(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!session_->MayClose()) {
    event->ignore();
    return;
  }
  QSettings settings = UserSettings();
  settings.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
  settings.setValue(QString::fromLatin1(kStateKey), saveState());
  if (MonitorChart()) MonitorChart()->close();
  if (Results()) Results()->close();
  QMainWindow::closeEvent(event);
}

QAction* MainWindow::NewAction(const QString& text, const char* name) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

template <typename Target, typename Result>
QAction* MainWindow::NewAction(const QString& text, const char* name, Target* target, Result (Target::*slot)(),
                               const QKeySequence& shortcut) {
  QAction* action = NewAction(text, name);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, target, [target, slot] { (target->*slot)(); });
  return action;
}

void MainWindow::CreateFileMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  DocumentSession* s = session_;
  QAction* fileNew = NewAction(QStringLiteral("&New"), "actionNew", s, &DocumentSession::New, QKeySequence::New);
  QAction* fileOpen = NewAction(QStringLiteral("&Open..."), "actionOpen", s, &DocumentSession::OpenChosen,
                                QKeySequence::Open);
  file->addAction(fileNew);
  file->addAction(fileOpen);
  file->addAction(NewAction(QStringLiteral("&Save"), "actionSave", s, &DocumentSession::Save, QKeySequence::Save));
  file->addAction(NewAction(QStringLiteral("Save &As..."), "actionSaveAs", s, &DocumentSession::SaveAs));
  file->addSeparator();
  file->addAction(NewAction(QStringLiteral("&Print..."), "actionPrint", print_, &PrintCommands::Print,
                            QKeySequence::Print));
  file->addAction(NewAction(QStringLiteral("Print Pre&view"), "actionPrintPreview", print_, &PrintCommands::Preview));
  file->addAction(NewAction(QStringLiteral("P&rint Setup..."), "actionPrintSetup", print_, &PrintCommands::Setup));
  recent_->AddTo(*file);
  idleOnly_ << recent_->Actions();
  file->addSeparator();
  QAction* exit = NewAction(QStringLiteral("E&xit"), "actionExit");
  connect(exit, &QAction::triggered, this, &QWidget::close);
  file->addAction(exit);
  idleOnly_ << fileNew << fileOpen;

  // The program defines no editing; the menu keeps the usual entries, disabled.
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  for (const auto& [text, key] :
       {std::pair{"&Undo", QKeySequence::Undo}, std::pair{"Cu&t", QKeySequence::Cut},
        std::pair{"&Copy", QKeySequence::Copy}, std::pair{"&Paste", QKeySequence::Paste}}) {
    QAction* action = edit->addAction(QString::fromLatin1(text));
    action->setShortcut(key);
    action->setEnabled(false);
  }
}

void MainWindow::CreateViewMenus() {
  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  QAction* toggleToolBar = toolBar_->toggleViewAction();
  toggleToolBar->setText(QStringLiteral("&Toolbar"));
  toggleToolBar->setObjectName(QStringLiteral("actionToolbar"));
  viewMenu->addAction(toggleToolBar);
  QAction* toggleStatus = NewAction(QStringLiteral("&Status Bar"), "actionStatusBar");
  toggleStatus->setCheckable(true);
  toggleStatus->setChecked(true);
  connect(toggleStatus, &QAction::toggled, status_, &QWidget::setVisible);
  viewMenu->addAction(toggleStatus);
  QAction* toggleProgress = findChild<QDockWidget*>(QStringLiteral("progressDock"))->toggleViewAction();
  toggleProgress->setText(QStringLiteral("Run &progress"));
  toggleProgress->setObjectName(QStringLiteral("actionProgressPane"));
  viewMenu->addAction(toggleProgress);
  viewMenu->addAction(NewAction(QStringLiteral("&Results window"), "actionResults", run_, &RunCommands::ShowResults));

  QMenu* type = menuBar()->addMenu(QStringLiteral("&Problem type"));
  auto* types = new QActionGroup(this);
  for (std::uint32_t code = 0; code < kProblemTypeCount; ++code) {
    const auto problemType = static_cast<ProblemType>(code);
    auto* action = new QAction(TypeMenuText(problemType), this);
    action->setObjectName(QStringLiteral("actionType%1").arg(code));
    action->setCheckable(true);
    types->addAction(action);
    connect(action, &QAction::triggered, this, [this, problemType] { settings_->SetProblemType(problemType); });
    type->addAction(action);
    typeActions_ << action;
    idleOnly_ << action;
  }
}

void MainWindow::CreateCommandMenus() {
  SettingsCommands* s = settings_;
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  QAction* problemsDir = NewAction(QStringLiteral("Select &problems directory"), "actionProblemsDirectory", s,
                                   &SettingsCommands::SelectProblemsDirectory);
  QAction* resultsDir = NewAction(QStringLiteral("Change &results directory"), "actionResultsDirectory", s,
                                  &SettingsCommands::ChangeResultsDirectory);
  QAction* editList = NewAction(QStringLiteral("Edit &experiment list"), "actionEditExperiments", s,
                                &SettingsCommands::EditExperimentList);
  options->addAction(problemsDir);
  options->addAction(resultsDir);
  options->addAction(NewAction(QStringLiteral("Change &full results filename"), "actionFullResultsFile", s,
                               &SettingsCommands::ChangeFullResultsFile));
  options->addAction(NewAction(QStringLiteral("Change results &summary filename"), "actionSummaryFile", s,
                               &SettingsCommands::ChangeSummaryFile));
  options->addAction(editList);
  options->addAction(NewAction(QStringLiteral("Problem &ordering and seeds"), "actionOrderingSeeds", s,
                               &SettingsCommands::EditOrderingAndSeeds));

  MonitorCommands* m = monitor_;
  QMenu* monitor = menuBar()->addMenu(QStringLiteral("&Monitor Run"));
  monitor->addAction(NewAction(QStringLiteral("Select &problem"), "actionMonitorProblem", m,
                               &MonitorCommands::SelectProblem));
  monitor->addAction(NewAction(QStringLiteral("Set p&arameters"), "actionMonitorParameters", m,
                               &MonitorCommands::SetParameters));
  monitor->addAction(NewAction(QStringLiteral("Select &output file"), "actionMonitorOutput", m,
                               &MonitorCommands::SelectOutputFile));
  monitor->addAction(NewAction(QStringLiteral("Output every &R repairs.."), "actionMonitorEvery", m,
                               &MonitorCommands::SetEvery));
  monitor->addAction(
      NewAction(QStringLiteral("Sol&ve problem"), "actionSolveProblem", m, &MonitorCommands::SolveProblem));
  monitor->addSeparator();
  monitor->addAction(NewAction(QStringLiteral("Monitor &chart"), "actionMonitorChart", m, &MonitorCommands::ShowChart));

  RunCommands* r = run_;
  QMenu* solve = menuBar()->addMenu(QStringLiteral("&Solve"));
  start_ = NewAction(QStringLiteral("&Start"), "actionStart", r, &RunCommands::Start, Qt::Key_F5);
  stop_ = NewAction(QStringLiteral("S&top"), "actionStop", r, &RunCommands::Stop, QKeySequence(Qt::SHIFT | Qt::Key_F5));
  abandon_ = NewAction(QStringLiteral("&Abandon paused run"), "actionAbandon", r, &RunCommands::Abandon);
  solve->addAction(start_);
  solve->addAction(stop_);
  solve->addAction(abandon_);
  solve->addSeparator();
  solve->addAction(NewAction(QStringLiteral("&Workers..."), "actionWorkers", r, &RunCommands::ChooseWorkers));

  menuBar()->addAction(NewAction(QStringLiteral("S&ummarise"), "actionSummarise", r, &RunCommands::Summarise));

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(NewAction(QStringLiteral("&Help Topics"), "actionHelpTopics", this, &MainWindow::HelpTopics));
  help->addAction(NewAction(QStringLiteral("&About Mirelock..."), "actionAbout", this, &MainWindow::About));

  idleOnly_ << problemsDir << resultsDir << editList << start_;
}

void MainWindow::CreateToolBar() {
  const auto add = [&](const char* name, const QIcon& icon) {
    QAction* action = Action(QString::fromLatin1(name));
    action->setIcon(icon);
    toolBar_->addAction(action);
  };
  QStyle* s = style();
  add("actionNew", s->standardIcon(QStyle::SP_FileIcon));
  add("actionOpen", s->standardIcon(QStyle::SP_DialogOpenButton));
  add("actionSave", s->standardIcon(QStyle::SP_DialogSaveButton));
  toolBar_->addSeparator();
  add("actionEditExperiments", s->standardIcon(QStyle::SP_FileDialogDetailedView));
  toolBar_->addSeparator();
  add("actionStart", s->standardIcon(QStyle::SP_MediaPlay));
  add("actionStop", s->standardIcon(QStyle::SP_MediaPause));
  add("actionSolveProblem", SolveProblemIcon());
  add("actionMonitorChart", ChartIcon());
  add("actionResults", ResultsIcon());
  toolBar_->addSeparator();
  add("actionPrint", PrinterIcon());
  add("actionAbout", s->standardIcon(QStyle::SP_MessageBoxQuestion));
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void MainWindow::UpdateCommands() {
  const RunProgress progress = Controls().Progress();
  const bool running = progress.running;
  for (QAction* action : idleOnly_) action->setEnabled(!running);
  // A batch whose last pair is done has nothing left to pause while its end message is up.
  stop_->setEnabled(running && !ProgressPane::AllPairsDone(progress));
  abandon_->setEnabled(!running && progress.hasWorker);
  // While paused, Start goes on with the paused run.
  const bool paused = !running && progress.hasWorker;
  start_->setText(paused ? QStringLiteral("&Start (continue the paused run)") : QStringLiteral("&Start"));
  progress_->Refresh();
  const auto type = static_cast<std::uint32_t>(Document().m_nProblemType);
  if (type < static_cast<std::uint32_t>(typeActions_.size())) typeActions_[static_cast<int>(type)]->setChecked(true);
  RefreshTitle();
}

void MainWindow::DocumentChanged() {
  UpdateCommands();
  view_->Refresh();
}

void MainWindow::DocumentReplaced() {
  progress_->Clear();
  status_->StopProgressTimer();
  DocumentChanged();
}

void MainWindow::RefreshTitle() {
  // "[*]" marks where Qt shows the modified state.
  setWindowTitle(session_->DisplayName() + QStringLiteral("[*] - Mirelock"));
  setWindowModified(session_->IsModified());
}

void MainWindow::RefreshRunState() {
  if (Controls().IsRunning())
    status_->StartProgressTimer();
  else
    status_->StopProgressTimer();
  UpdateCommands();
}

void MainWindow::HelpTopics() {
  QMessageBox::information(
      this, QStringLiteral("Mirelock Help"),
      QStringLiteral(
          "Choose the problem type and the problems and results directories (Options), edit the "
          "experiment list, then Solve, Start. Stop pauses a batch and Start continues it; a batch "
          "skips every problem and experiment whose results file is complete.\n\n"
          "Monitor Run solves one problem with one experiment and writes search statistics every R "
          "repairs to a text file; Monitor Run, Monitor chart plots them.\n\n"
          "Summarise writes the full results and summary CSV files from the results files."));
}

void MainWindow::About() {
  AboutDialog dialog(this);
  dialog.exec();
}

}  // namespace mirelock
