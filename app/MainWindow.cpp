#include "app/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFileDialog>
#include <QInputDialog>
#include <QScrollArea>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStyle>
#include <QToolBar>

#include "app/AboutDialog.h"
#include "app/DocumentView.h"
#include "app/ExperimentListDialog.h"
#include "app/MonitorChartWindow.h"
#include "app/MonitorEveryDialog.h"
#include "app/MonitorRunContext.h"
#include "app/OrderingSeedsDialog.h"
#include "app/ParameterDialog.h"
#include "app/PrintLayout.h"
#include "app/ResultsCharts.h"
#include "app/ProgressPane.h"
#include "app/ProgressStatusBar.h"
#include "app/ResultsWindow.h"
#include "app/ToolbarIcons.h"
#include "app/WindowMessages.h"
#include "experiments/DefaultPaths.h"
#include "experiments/DocumentFile.h"
#include "summary/CSummariser.h"

namespace mirelock {

namespace {

// Where the recent-file list lives in the per-user settings.
constexpr const char* kSettingsOrganisation = "Local AppWizard-Generated Applications";
constexpr const char* kSettingsApplication = "Mirelock";
constexpr const char* kRecentGroup = "Recent File List";
constexpr int kRecentFileCount = 4;
// The window's own per-user settings, beside the recent-file list.
constexpr const char* kGeometryKey = "Window/Geometry";
constexpr const char* kStateKey = "Window/State";
constexpr const char* kWorkersKey = "Solve/Workers";

QSettings RecentSettings() { return QSettings(kSettingsOrganisation, kSettingsApplication); }

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      messages_(std::make_unique<WindowMessages>(this)),
      doc_(messages_.get()),
      controls_(std::make_unique<RunControls>(doc_, *messages_)) {
  setObjectName(QStringLiteral("mainWindow"));
  view_ = new DocumentView(doc_);
  // The view asks for the size of its lines; the scroll area shows scroll bars instead of clipping.
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("documentScroll"));
  scroll->setWidget(view_);
  scroll->setWidgetResizable(true);
  scroll->setBackgroundRole(QPalette::Base);
  setCentralWidget(scroll);
  status_ = new ProgressStatusBar(*controls_, this);
  setStatusBar(status_);
  progress_ = new ProgressPane(*controls_);
  auto* dock = new QDockWidget(QStringLiteral("Run progress"), this);
  dock->setObjectName(QStringLiteral("progressDock"));
  dock->setWidget(progress_);
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  addDockWidget(Qt::BottomDockWidgetArea, dock);
  connect(progress_, &ProgressPane::abandonRequested, this, &MainWindow::Abandon);

  CreateMenus();
  CreateToolBar();
  ShowRecentFiles();

  // The worker ends on its own thread; the window re-reads the running flag on its own.
  controls_->SetWorkerEndedHandler(
      [this] { QMetaObject::invokeMethod(this, &MainWindow::UpdateCommands, Qt::QueuedConnection); });
  // Each progress tick also notices a run that ended by an error message.
  connect(status_, &ProgressStatusBar::progressRefreshed, this, &MainWindow::UpdateCommands);

  QSettings settings = RecentSettings();
  const unsigned workers = settings.value(QString::fromLatin1(kWorkersKey), 1u).toUInt();
  controls_->SetPartition(BatchPartition{std::clamp(workers, 1u, kMaxJobs), 0, 1});
  UpdateCommands();
  RefreshTitle();
  resize(960, 560);
  restoreGeometry(settings.value(QString::fromLatin1(kGeometryKey)).toByteArray());
  restoreState(settings.value(QString::fromLatin1(kStateKey)).toByteArray());
}

MainWindow::~MainWindow() {
  // Waiting workers are let go before the run controls abandon and join them.
  messages_->ShutDown();
  controls_.reset();
}

bool MainWindow::AskToAbandonRun() {
  if (closeQuestion_) return closeQuestion_();
  const QString what = controls_->IsRunning() ? QStringLiteral("A run is in progress.")
                                              : QStringLiteral("A run is paused.");
  return QMessageBox::question(this, QStringLiteral("Mirelock"),
                               what + QStringLiteral(" Abandon it and close Mirelock?\n\nResults files of "
                                                     "finished pairs stay; the next Start resumes from "
                                                     "the first incomplete pair."),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (controls_->HasWorker()) {
    if (!AskToAbandonRun()) {
      event->ignore();
      return;
    }
    controls_->Cancel();
  }
  QSettings settings = RecentSettings();
  settings.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
  settings.setValue(QString::fromLatin1(kStateKey), saveState());
  if (chart_) chart_->close();
  if (results_) results_->close();
  QMainWindow::closeEvent(event);
}

QAction* MainWindow::NewAction(const QString& text, const char* name, void (MainWindow::*slot)(),
                               const QKeySequence& shortcut) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  if (slot) connect(action, &QAction::triggered, this, slot);
  return action;
}

MonitorChartWindow* MainWindow::MonitorChart() const { return chart_; }

ResultsWindow* MainWindow::Results() const { return results_; }

QAction* MainWindow::Action(const QString& name) const { return findChild<QAction*>(name); }

void MainWindow::CreateMenus() {
  QMenuBar* bar = menuBar();

  fileMenu_ = bar->addMenu(QStringLiteral("&File"));
  QAction* fileNew = NewAction(QStringLiteral("&New"), "actionNew", &MainWindow::FileNew, QKeySequence::New);
  QAction* fileOpen =
      NewAction(QStringLiteral("&Open..."), "actionOpen", &MainWindow::FileOpen, QKeySequence::Open);
  fileMenu_->addAction(fileNew);
  fileMenu_->addAction(fileOpen);
  fileMenu_->addAction(
      NewAction(QStringLiteral("&Save"), "actionSave", &MainWindow::FileSave, QKeySequence::Save));
  fileMenu_->addAction(NewAction(QStringLiteral("Save &As..."), "actionSaveAs", &MainWindow::FileSaveAs));
  fileMenu_->addSeparator();
  fileMenu_->addAction(
      NewAction(QStringLiteral("&Print..."), "actionPrint", &MainWindow::FilePrint, QKeySequence::Print));
  fileMenu_->addAction(
      NewAction(QStringLiteral("Print Pre&view"), "actionPrintPreview", &MainWindow::FilePrintPreview));
  fileMenu_->addAction(
      NewAction(QStringLiteral("P&rint Setup..."), "actionPrintSetup", &MainWindow::FilePrintSetup));
  recentSeparator_ = fileMenu_->addSeparator();
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto* recent = new QAction(this);
    recent->setObjectName(QStringLiteral("actionRecent%1").arg(i + 1));
    recent->setVisible(false);
    connect(recent, &QAction::triggered, this, [this, recent] {
      if (!controls_->IsRunning()) OpenDocument(recent->data().toString());
    });
    recentActions_ << recent;
    fileMenu_->addAction(recent);
    idleOnly_ << recent;
  }
  fileMenu_->addSeparator();
  QAction* exit = NewAction(QStringLiteral("E&xit"), "actionExit", nullptr);
  connect(exit, &QAction::triggered, this, &QWidget::close);
  fileMenu_->addAction(exit);

  // The program defines no editing; the menu keeps the usual entries, disabled.
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  for (const auto& [text, key] :
       {std::pair{"&Undo", QKeySequence::Undo}, std::pair{"Cu&t", QKeySequence::Cut},
        std::pair{"&Copy", QKeySequence::Copy}, std::pair{"&Paste", QKeySequence::Paste}}) {
    QAction* action = edit->addAction(QString::fromLatin1(text));
    action->setShortcut(key);
    action->setEnabled(false);
  }

  QMenu* viewMenu = bar->addMenu(QStringLiteral("&View"));
  toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  QAction* toggleToolBar = toolBar_->toggleViewAction();
  toggleToolBar->setText(QStringLiteral("&Toolbar"));
  toggleToolBar->setObjectName(QStringLiteral("actionToolbar"));
  viewMenu->addAction(toggleToolBar);
  QAction* toggleStatus = NewAction(QStringLiteral("&Status Bar"), "actionStatusBar", nullptr);
  toggleStatus->setCheckable(true);
  toggleStatus->setChecked(true);
  connect(toggleStatus, &QAction::toggled, status_, &QWidget::setVisible);
  viewMenu->addAction(toggleStatus);
  QAction* toggleProgress = findChild<QDockWidget*>(QStringLiteral("progressDock"))->toggleViewAction();
  toggleProgress->setText(QStringLiteral("Run &progress"));
  toggleProgress->setObjectName(QStringLiteral("actionProgressPane"));
  viewMenu->addAction(toggleProgress);
  viewMenu->addAction(NewAction(QStringLiteral("&Results window"), "actionResults", &MainWindow::ShowResults));

  QMenu* type = bar->addMenu(QStringLiteral("Problem type"));
  problemTypes_ = new QActionGroup(this);
  for (std::uint32_t code = 0; code < kProblemTypeCount; ++code) {
    const auto problemType = static_cast<ProblemType>(code);
    auto* action = new QAction(QString::fromLatin1(ProblemMenuName(problemType)), this);
    action->setObjectName(QStringLiteral("actionType%1").arg(code));
    action->setCheckable(true);
    problemTypes_->addAction(action);
    connect(action, &QAction::triggered, this, [this, problemType] { SetProblemType(problemType); });
    type->addAction(action);
    typeActions_ << action;
    idleOnly_ << action;
  }

  QMenu* options = bar->addMenu(QStringLiteral("Options"));
  QAction* problemsDir = NewAction(QStringLiteral("Select problems directory"), "actionProblemsDirectory",
                                   &MainWindow::SelectProblemsDirectory);
  QAction* resultsDir = NewAction(QStringLiteral("Change results directory"), "actionResultsDirectory",
                                  &MainWindow::ChangeResultsDirectory);
  QAction* editList = NewAction(QStringLiteral("Edit experiment list"), "actionEditExperiments",
                                &MainWindow::EditExperimentList);
  options->addAction(problemsDir);
  options->addAction(resultsDir);
  options->addAction(NewAction(QStringLiteral("Change full results filename"), "actionFullResultsFile",
                               &MainWindow::ChangeFullResultsFile));
  options->addAction(NewAction(QStringLiteral("Change results summary filename"), "actionSummaryFile",
                               &MainWindow::ChangeSummaryFile));
  options->addAction(editList);
  options->addAction(NewAction(QStringLiteral("Problem ordering and seeds"), "actionOrderingSeeds",
                               &MainWindow::EditOrderingAndSeeds));

  QMenu* monitor = bar->addMenu(QStringLiteral("Monitor Run"));
  monitor->addAction(
      NewAction(QStringLiteral("Select problem"), "actionMonitorProblem", &MainWindow::SelectMonitorProblem));
  monitor->addAction(NewAction(QStringLiteral("Set parameters"), "actionMonitorParameters",
                               &MainWindow::SetMonitorParameters));
  monitor->addAction(NewAction(QStringLiteral("Select output file"), "actionMonitorOutput",
                               &MainWindow::SelectMonitorOutputFile));
  monitor->addAction(NewAction(QStringLiteral("Output every R repairs.."), "actionMonitorEvery",
                               &MainWindow::SetMonitorEvery));
  monitor->addAction(
      NewAction(QStringLiteral("Solve problem"), "actionSolveProblem", &MainWindow::SolveProblem));
  monitor->addSeparator();
  monitor->addAction(
      NewAction(QStringLiteral("Monitor &chart"), "actionMonitorChart", &MainWindow::ShowMonitorChart));

  QMenu* solve = bar->addMenu(QStringLiteral("Solve"));
  QAction* start = NewAction(QStringLiteral("Start"), "actionStart", &MainWindow::Start, Qt::Key_F5);
  stop_ = NewAction(QStringLiteral("Stop"), "actionStop", &MainWindow::Stop, QKeySequence(Qt::SHIFT | Qt::Key_F5));
  abandon_ = NewAction(QStringLiteral("&Abandon paused run"), "actionAbandon", &MainWindow::Abandon);
  solve->addAction(start);
  solve->addAction(stop_);
  solve->addAction(abandon_);
  solve->addSeparator();
  solve->addAction(NewAction(QStringLiteral("&Workers..."), "actionWorkers", &MainWindow::ChooseWorkers));

  bar->addAction(NewAction(QStringLiteral("S&ummarise"), "actionSummarise", &MainWindow::Summarise));

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->addAction(NewAction(QStringLiteral("&Help Topics"), "actionHelpTopics", &MainWindow::HelpTopics));
  help->addAction(NewAction(QStringLiteral("&About Mirelock..."), "actionAbout", &MainWindow::About));

  idleOnly_ << fileNew << fileOpen << problemsDir << resultsDir << editList << start;
}

void MainWindow::CreateToolBar() {
  QStyle* s = style();
  const auto withIcon = [&](const char* name, QStyle::StandardPixmap icon) {
    QAction* action = Action(QString::fromLatin1(name));
    action->setIcon(s->standardIcon(icon));
    toolBar_->addAction(action);
  };
  withIcon("actionNew", QStyle::SP_FileIcon);
  withIcon("actionOpen", QStyle::SP_DialogOpenButton);
  withIcon("actionSave", QStyle::SP_DialogSaveButton);
  toolBar_->addSeparator();
  withIcon("actionEditExperiments", QStyle::SP_FileDialogDetailedView);
  toolBar_->addSeparator();
  withIcon("actionStart", QStyle::SP_MediaPlay);
  withIcon("actionStop", QStyle::SP_MediaPause);
  const auto drawn = [&](const char* name, const QIcon& icon) {
    QAction* action = Action(QString::fromLatin1(name));
    action->setIcon(icon);
    toolBar_->addAction(action);
  };
  drawn("actionSolveProblem", SolveProblemIcon());
  drawn("actionMonitorChart", ChartIcon());
  drawn("actionResults", ResultsIcon());
  toolBar_->addSeparator();
  drawn("actionPrint", PrinterIcon());
  withIcon("actionAbout", QStyle::SP_MessageBoxQuestion);
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void MainWindow::UpdateCommands() {
  const bool running = controls_->IsRunning();
  for (QAction* action : idleOnly_) action->setEnabled(!running);
  stop_->setEnabled(running);
  abandon_->setEnabled(!running && controls_->HasWorker());
  progress_->Refresh();
  const auto type = static_cast<std::uint32_t>(doc_.m_nProblemType);
  if (type < static_cast<std::uint32_t>(typeActions_.size()))
    typeActions_[static_cast<int>(type)]->setChecked(true);
}

void MainWindow::DocumentChanged() {
  UpdateCommands();
  RefreshTitle();
  view_->Refresh();
}

void MainWindow::RefreshTitle() {
  const QString name =
      documentPath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(documentPath_).fileName();
  setWindowTitle(name + QStringLiteral(" - Mirelock"));
}

void MainWindow::Message(const std::string& text) { messages_->Show(text); }

// ---- File ----

void MainWindow::FileNew() {
  if (controls_->IsRunning()) return;
  doc_.NewDocument();
  documentPath_.clear();
  DocumentChanged();
}

void MainWindow::FileOpen() {
  if (controls_->IsRunning()) return;
  QFileDialog dialog(this, QStringLiteral("Open"), documentPath_, QStringLiteral("All Files (*)"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QString path = RunChooser(dialog);
  if (!path.isEmpty()) OpenDocument(path);
}

bool MainWindow::OpenDocument(const QString& path) {
  if (!QFileInfo::exists(path)) {
    // Nothing to read: the current document and its settings stay, and a
    // recent entry that points nowhere goes.
    RemoveRecentFile(path);
    Message("Cannot open " + path.toStdString() + ": the file does not exist. The current document is kept.");
    return false;
  }
  const bool read = OpenDocumentFile(doc_, path.toStdString(), *messages_);
  // A file that failed leaves a new document behind, as File, New would.
  documentPath_ = read ? path : QString();
  if (read) AddRecentFile(path);
  DocumentChanged();
  return read;
}

void MainWindow::FileSave() {
  if (documentPath_.isEmpty()) {
    FileSaveAs();
    return;
  }
  try {
    SaveDocumentFile(doc_, documentPath_.toStdString());
    AddRecentFile(documentPath_);
  } catch (const DocumentFileError& error) {
    Message(error.what());
  }
}

void MainWindow::FileSaveAs() {
  QFileDialog dialog(this, QStringLiteral("Save As"), documentPath_, QStringLiteral("All Files (*)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QString path = RunChooser(dialog);
  if (path.isEmpty()) return;
  try {
    SaveDocumentFile(doc_, path.toStdString());
  } catch (const DocumentFileError& error) {
    Message(error.what());
    return;
  }
  documentPath_ = path;
  AddRecentFile(path);
  RefreshTitle();
}

QPrinter& MainWindow::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

int MainWindow::PrintTo(QPrinter& printer) const {
  const QString name = documentPath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(documentPath_).fileName();
  return PrintLines(view_->PrintLines(), name + QStringLiteral(" - Mirelock"), printer);
}

void MainWindow::FilePrint() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() == QDialog::Accepted) PrintTo(Printer());
}

void MainWindow::FilePrintPreview() {
  QPrintPreviewDialog preview(&Printer(), this);
  preview.setObjectName(QStringLiteral("printPreview"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { PrintTo(*printer); });
  preview.exec();
}

void MainWindow::FilePrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

QStringList MainWindow::RecentFiles() const {
  QSettings settings = RecentSettings();
  settings.beginGroup(QString::fromLatin1(kRecentGroup));
  QStringList files;
  for (int i = 1; i <= kRecentFileCount; ++i) {
    const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!file.isEmpty()) files << file;
  }
  return files;
}

void MainWindow::AddRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  files.removeAll(absolute);
  files.prepend(absolute);
  StoreRecentFiles(files);
}

void MainWindow::RemoveRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  files.removeAll(QFileInfo(path).absoluteFilePath());
  StoreRecentFiles(files);
}

void MainWindow::StoreRecentFiles(QStringList files) {
  while (files.size() > kRecentFileCount) files.removeLast();
  QSettings settings = RecentSettings();
  settings.beginGroup(QString::fromLatin1(kRecentGroup));
  for (int i = 1; i <= kRecentFileCount; ++i) {
    if (i <= files.size())
      settings.setValue(QStringLiteral("File%1").arg(i), files[i - 1]);
    else
      settings.remove(QStringLiteral("File%1").arg(i));
  }
  settings.endGroup();
  settings.sync();
  ShowRecentFiles();
}

void MainWindow::ShowRecentFiles() {
  const QStringList files = RecentFiles();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* action = recentActions_[i];
    if (i < files.size()) {
      // "&1 name" as the menus of document programs number them.
      action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
      action->setData(files[i]);
      action->setVisible(true);
    } else {
      action->setVisible(false);
    }
  }
  recentSeparator_->setVisible(!files.isEmpty());
}

// ---- Problem type and Options ----

void MainWindow::SetProblemType(ProblemType type) {
  if (controls_->IsRunning()) return;
  doc_.m_nProblemType = type;
  DocumentChanged();
}

QString MainWindow::RunChooser(QFileDialog& dialog) {
  QString path;
  if (runChooser_) {
    path = runChooser_(dialog);
  } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    path = dialog.selectedFiles().front();
  }
  if (path.isEmpty()) return path;
  const QString suffix = dialog.defaultSuffix();
  if (!suffix.isEmpty() && QFileInfo(path).suffix().isEmpty() && !QFileInfo(path).isDir())
    path += QLatin1Char('.') + suffix;
  return path;
}

bool MainWindow::ChooseDirectory(const QString& prompt, std::string& directory) {
  QFileDialog dialog(this, prompt, Q(directory));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  const QString chosen = RunChooser(dialog);
  if (chosen.isEmpty()) return false;
  directory = WithTrailingSlash(chosen.toStdString());
  view_->Refresh();
  return true;
}

void MainWindow::SelectProblemsDirectory() {
  if (controls_->IsRunning()) return;
  ChooseDirectory(QStringLiteral("Please select a directory of problems"), doc_.m_strProblemsDir);
}

void MainWindow::ChangeResultsDirectory() {
  if (controls_->IsRunning()) return;
  ChooseDirectory(QStringLiteral("Please select a directory for individual results files"),
                  doc_.m_strResultsDir);
}

bool MainWindow::ChooseResultsFile(std::string& file) {
  QFileDialog dialog(this, QString(), Q(file), QStringLiteral("Comma delimited (*.csv);;All Files (*)"));
  dialog.setObjectName(QStringLiteral("resultsFileChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  // Any name is taken, existing or not; the summariser writes it later.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const QString chosen = RunChooser(dialog);
  if (chosen.isEmpty()) return false;
  file = chosen.toStdString();
  view_->Refresh();
  return true;
}

void MainWindow::ChangeFullResultsFile() { ChooseResultsFile(doc_.m_strFullResultsFile); }

void MainWindow::ChangeSummaryFile() { ChooseResultsFile(doc_.m_strSummaryFile); }

void MainWindow::EditExperimentList() {
  if (controls_->IsRunning()) return;
  ExperimentListDialog dialog(doc_.m_experiments, *messages_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Editor().CommitTo(doc_, controls_->HasWorker());
  view_->Refresh();
}

void MainWindow::EditOrderingAndSeeds() {
  OrderingSeedsDialog dialog(doc_, this);
  dialog.exec();
}

// ---- Monitor Run ----

void MainWindow::SelectMonitorProblem() {
  QString filter;
  QString suffix;
  switch (doc_.m_nProblemType) {
    case kProblemSAT:
      filter = QStringLiteral("CNF (*.cnf);;All Files (*)");
      break;
    case kProblemMaxSAT:
      filter = QStringLiteral("SAT (*.sat);;All Files (*)");
      break;
    case kProblemQAP:
      filter = QStringLiteral("DAT (*.dat);;All Files (*)");
      break;
    case kProblemTSP:
      filter = QStringLiteral("TSPLIB (*.tsp);;All Files (*)");
      break;
    default:
      // Only a damaged document could hold another code; it is refused, not fatal.
      Message("Bug in program, no problem type selected..shouldn't happen.");
      return;
  }
  const std::string current =
      doc_.m_strMonitorProblem.empty() ? doc_.m_strProblemsDir : doc_.m_strMonitorProblem;
  QFileDialog dialog(this, QStringLiteral("Select problem"), Q(current), filter);
  dialog.setObjectName(QStringLiteral("monitorProblemChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QString::fromLatin1(ProblemExtension(doc_.m_nProblemType)));
  const QString path = RunChooser(dialog);
  if (path.isEmpty()) return;
  const std::string chosen = path.toStdString();
  if (chosen != doc_.m_strMonitorProblem) {
    doc_.m_strMonitorProblem = chosen;
    doc_.m_bSettingsChanged = true;
  }
  view_->Refresh();
}

void MainWindow::SetMonitorParameters() {
  ParameterDialog dialog(doc_.m_monitorExperiment, this);
  dialog.exec();
  view_->Refresh();
}

void MainWindow::SelectMonitorOutputFile() {
  QFileDialog dialog(this, QStringLiteral("Select output file"), Q(doc_.m_strMonitorOutputFile),
                     QStringLiteral("Text files (*.txt);;All Files (*)"));
  dialog.setObjectName(QStringLiteral("monitorOutputChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const QString path = RunChooser(dialog);
  if (path.isEmpty()) return;
  const std::string chosen = path.toStdString();
  if (chosen != doc_.m_strMonitorOutputFile) {
    doc_.m_strMonitorOutputFile = chosen;
    doc_.m_bSettingsChanged = true;
  }
  view_->Refresh();
}

void MainWindow::SetMonitorEvery() {
  MonitorEveryDialog dialog(doc_.m_nMonitorEvery.load(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (dialog.Every() != doc_.m_nMonitorEvery.load()) {
    doc_.m_nMonitorEvery = dialog.Every();
    doc_.m_bSettingsChanged = true;
    view_->Refresh();
  }
}

void MainWindow::SolveProblem() {
  const bool monitorRun = !doc_.m_strMonitorProblem.empty() && !doc_.m_strMonitorOutputFile.empty();
  // The chart follows the file from the start, before the solver rewrites it.
  if (monitorRun && chart_) chart_->FollowRun(Q(doc_.m_strMonitorOutputFile), MakeMonitorRunContext(doc_, *controls_));
  controls_->SolveProblem();
  RefreshRunState();
}

void MainWindow::ShowMonitorChart() {
  if (!chart_) {
    chart_ = new MonitorChartWindow(this);
    chart_->setAttribute(Qt::WA_DeleteOnClose);
    if (!doc_.m_strMonitorOutputFile.empty()) {
      if (doc_.m_strMonitorProblem.empty())
        chart_->Follow(Q(doc_.m_strMonitorOutputFile));
      else
        chart_->FollowRun(Q(doc_.m_strMonitorOutputFile), MakeMonitorRunContext(doc_, *controls_));
    }
  }
  chart_->show();
  chart_->raise();
  chart_->activateWindow();
}

// ---- Solve, Summarise, Help ----

void MainWindow::RefreshRunState() {
  if (controls_->IsRunning())
    status_->StartProgressTimer();
  else
    status_->StopProgressTimer();
  UpdateCommands();
}

void MainWindow::Start() {
  if (controls_->IsRunning()) return;
  controls_->Start();
  RefreshRunState();
}

void MainWindow::Stop() {
  controls_->Stop();
  RefreshRunState();
}

void MainWindow::Abandon() {
  // Only a paused run: a running one is paused first with Stop, so that a
  // slip of the hand does not end hours of work.
  if (controls_->IsRunning() || !controls_->HasWorker()) return;
  controls_->Cancel();
  controls_->WaitForWorkerEnd(std::chrono::seconds(10));
  statusBar()->showMessage(QStringLiteral("The paused run was abandoned; finished pairs keep their results files."),
                           8000);
  RefreshRunState();
}

unsigned MainWindow::Workers() const { return controls_->Partition().jobs; }

void MainWindow::SetWorkers(unsigned workers) {
  workers = std::clamp(workers, 1u, kMaxJobs);
  controls_->SetPartition(BatchPartition{workers, 0, 1});
  QSettings settings = RecentSettings();
  settings.setValue(QString::fromLatin1(kWorkersKey), workers);
}

void MainWindow::ChooseWorkers() {
  bool ok = false;
  const int workers = QInputDialog::getInt(
      this, QStringLiteral("Workers"),
      QStringLiteral("Pairs of problem and experiment solved at once\n(for batch runs started from now on; "
                     "this computer has %1 cores):")
          .arg(QThread::idealThreadCount()),
      static_cast<int>(Workers()), 1, static_cast<int>(kMaxJobs), 1, &ok);
  if (ok) SetWorkers(static_cast<unsigned>(workers));
}

void MainWindow::Summarise() {
  if (doc_.m_experiments.empty()) {
    Message("Please input some experiments to summarise");
    return;
  }
  // The summariser copies the batch progress, which the worker writes under the lock.
  auto summariser = controls_->UnderLock([this] { return std::make_unique<CSummariser>(doc_, *messages_); });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool summarised = summariser->Summarise();
  QApplication::restoreOverrideCursor();
  if (!summarised) return;
  QStringList written;
  if (summariser->SummaryWritten()) written << Q(doc_.m_strSummaryFile);
  if (summariser->FullResultsWritten()) written << Q(doc_.m_strFullResultsFile);
  statusBar()->showMessage(written.isEmpty() ? QStringLiteral("Summarised; no report file could be written")
                                             : QStringLiteral("Summary written: ") + written.join(QStringLiteral(", ")),
                           15000);
  if (!results_) {
    results_ = new ResultsWindow(this);
    results_->setAttribute(Qt::WA_DeleteOnClose);
    connect(results_, &ResultsWindow::openFolderRequested, this,
            [](const QString& folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); });
  }
  ShowSummaryResults(*results_, *summariser, doc_, *controls_);
  results_->show();
  results_->raise();
}

void MainWindow::ShowResults() {
  if (results_) {
    results_->show();
    results_->raise();
    return;
  }
  Summarise();
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
