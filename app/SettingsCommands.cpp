#include "app/SettingsCommands.h"

#include <QFileDialog>

#include "app/DocumentSession.h"
#include "app/ExperimentListDialog.h"
#include "app/FileChooser.h"
#include "app/OrderingSeedsDialog.h"
#include "experiments/DefaultPaths.h"

namespace mirelock {

SettingsCommands::SettingsCommands(DocumentSession& session, FileChooser& chooser, UserMessages& messages,
                                   QWidget* window)
    : QObject(window), session_(session), chooser_(chooser), messages_(messages), window_(window) {}

void SettingsCommands::SetProblemType(ProblemType type) {
  session_.SetProblemType(type);
  emit changed();
}

bool SettingsCommands::ChooseDirectory(const QString& prompt, std::string& directory) {
  QFileDialog dialog(window_, prompt, QString::fromStdString(directory));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  const QString chosen = chooser_.Run(dialog);
  if (chosen.isEmpty()) return false;
  directory = WithTrailingSlash(chosen.toStdString());
  emit changed();
  return true;
}

void SettingsCommands::SelectProblemsDirectory() {
  if (session_.Controls().IsRunning()) return;
  ChooseDirectory(QStringLiteral("Please select a directory of problems"), session_.Document().m_strProblemsDir);
}

void SettingsCommands::ChangeResultsDirectory() {
  if (session_.Controls().IsRunning()) return;
  ChooseDirectory(QStringLiteral("Please select a directory for individual results files"),
                  session_.Document().m_strResultsDir);
}

bool SettingsCommands::ChooseResultsFile(std::string& file) {
  QFileDialog dialog(window_, QString(), QString::fromStdString(file),
                     QStringLiteral("Comma delimited (*.csv);;All Files (*)"));
  dialog.setObjectName(QStringLiteral("resultsFileChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  // Any name is taken, existing or not; the summariser writes it later.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const QString chosen = chooser_.Run(dialog);
  if (chosen.isEmpty()) return false;
  file = chosen.toStdString();
  emit changed();
  return true;
}

void SettingsCommands::ChangeFullResultsFile() { ChooseResultsFile(session_.Document().m_strFullResultsFile); }

void SettingsCommands::ChangeSummaryFile() { ChooseResultsFile(session_.Document().m_strSummaryFile); }

void SettingsCommands::EditExperimentList() {
  if (session_.Controls().IsRunning()) return;
  ExperimentListDialog dialog(session_.Document().m_experiments, messages_, window_);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Editor().CommitTo(session_.Document(), session_.Controls().HasWorker());
  emit changed();
}

void SettingsCommands::EditOrderingAndSeeds() {
  OrderingSeedsDialog dialog(session_.Document(), window_);
  dialog.exec();
  emit changed();
}

}  // namespace mirelock
