#include "app/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
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
#include "app/OrderingSeedsDialog.h"
#include "app/ParameterDialog.h"
#include "app/ProgressStatusBar.h"
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

QSettings RecentSettings() { return QSettings(kSettingsOrganisation, kSettingsApplication); }

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      messages_(std::make_unique<WindowMessages>(this)),
      doc_(messages_.get()),
      controls_(std::make_unique<RunControls>(doc_, *messages_)) {
  setObjectName(QStringLiteral("mainWindow"));
  view_ = new DocumentView(doc_, this);
  setCentralWidget(view_);
  status_ = new ProgressStatusBar(*controls_, this);
  setStatusBar(status_);

  CreateMenus();
  CreateToolBar();
  ShowRecentFiles();

  // The worker ends on its own thread; the window re-reads the running flag on its own.
  controls_->SetWorkerEndedHandler(
      [this] { QMetaObject::invokeMethod(this, &MainWindow::UpdateCommands, Qt::QueuedConnection); });
  // Each progress tick also notices a run that ended by an error message.
  connect(status_, &ProgressStatusBar::progressRefreshed, this, &MainWindow::UpdateCommands);

  UpdateCommands();
  RefreshTitle();
  resize(900, 420);
}

MainWindow::~MainWindow() {
  // Waiting workers are let go before the run controls abandon and join them.
  messages_->ShutDown();
  controls_.reset();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (chart_) chart_->close();
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
  QAction* start = NewAction(QStringLiteral("Start"), "actionStart", &MainWindow::Start);
  stop_ = NewAction(QStringLiteral("Stop"), "actionStop", &MainWindow::Stop);
  solve->addAction(start);
  solve->addAction(stop_);

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
  withIcon("actionSolveProblem", QStyle::SP_MediaSeekForward);
  withIcon("actionMonitorChart", QStyle::SP_FileDialogInfoView);
  toolBar_->addSeparator();
  withIcon("actionPrint", QStyle::SP_DriveFDIcon);
  withIcon("actionAbout", QStyle::SP_MessageBoxQuestion);
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void MainWindow::UpdateCommands() {
  const bool running = controls_->IsRunning();
  for (QAction* action : idleOnly_) action->setEnabled(!running);
  stop_->setEnabled(running);
  const auto type = static_cast<std::uint32_t>(doc_.m_nProblemType);
  if (type < static_cast<std::uint32_t>(typeActions_.size()))
    typeActions_[static_cast<int>(type)]->setChecked(true);
}

void MainWindow::DocumentChanged() {
  UpdateCommands();
  RefreshTitle();
  view_->update();
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

namespace {

// The view's lines on a page: the screen positions taken as points of a
// 96-dpi screen, scaled to the printer's resolution.
void PrintView(const DocumentView& view, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) return;
  const double scale = printer.resolution() / 96.0;
  painter.scale(scale, scale);
  QFont font = painter.font();
  font.setPointSizeF(9.0);
  painter.setFont(font);
  view.DrawLines(painter);
  painter.end();
}

}  // namespace

void MainWindow::FilePrint() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() == QDialog::Accepted) PrintView(*view_, Printer());
}

void MainWindow::FilePrintPreview() {
  QPrintPreviewDialog preview(&Printer(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintView(*view_, *printer); });
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
  view_->update();
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
  view_->update();
  return true;
}

void MainWindow::ChangeFullResultsFile() { ChooseResultsFile(doc_.m_strFullResultsFile); }

void MainWindow::ChangeSummaryFile() { ChooseResultsFile(doc_.m_strSummaryFile); }

void MainWindow::EditExperimentList() {
  if (controls_->IsRunning()) return;
  ExperimentListDialog dialog(doc_.m_experiments, *messages_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Editor().CommitTo(doc_, controls_->HasWorker());
  view_->update();
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
  view_->update();
}

void MainWindow::SetMonitorParameters() {
  ParameterDialog dialog(doc_.m_monitorExperiment, this);
  dialog.exec();
  view_->update();
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
  view_->update();
}

void MainWindow::SetMonitorEvery() {
  MonitorEveryDialog dialog(doc_.m_nMonitorEvery.load(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (dialog.Every() != doc_.m_nMonitorEvery.load()) {
    doc_.m_nMonitorEvery = dialog.Every();
    doc_.m_bSettingsChanged = true;
    view_->update();
  }
}

void MainWindow::SolveProblem() {
  const bool monitorRun = !doc_.m_strMonitorProblem.empty() && !doc_.m_strMonitorOutputFile.empty();
  // The chart follows the file from the start, before the solver rewrites it.
  if (monitorRun && chart_) chart_->Follow(Q(doc_.m_strMonitorOutputFile));
  controls_->SolveProblem();
  status_->StartProgressTimer();
  UpdateCommands();
}

void MainWindow::ShowMonitorChart() {
  if (!chart_) {
    chart_ = new MonitorChartWindow(this);
    chart_->setAttribute(Qt::WA_DeleteOnClose);
    if (!doc_.m_strMonitorOutputFile.empty()) chart_->Follow(Q(doc_.m_strMonitorOutputFile));
  }
  chart_->show();
  chart_->raise();
  chart_->activateWindow();
}

// ---- Solve, Summarise, Help ----

void MainWindow::Start() {
  if (controls_->IsRunning()) return;
  controls_->Start();
  status_->StartProgressTimer();
  UpdateCommands();
}

void MainWindow::Stop() {
  controls_->Stop();
  status_->StopProgressTimer();
  UpdateCommands();
}

void MainWindow::Summarise() {
  if (doc_.m_experiments.empty()) {
    Message("Please input some experiments to summarise");
    return;
  }
  // The summariser copies the batch progress, which the worker writes under the lock.
  auto summariser = controls_->UnderLock([this] { return std::make_unique<CSummariser>(doc_, *messages_); });
  QApplication::setOverrideCursor(Qt::WaitCursor);
  summariser->Summarise();
  QApplication::restoreOverrideCursor();
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
