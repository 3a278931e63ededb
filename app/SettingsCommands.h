#pragma once
#include <QObject>
#include <string>

#include "solver/ProblemType.h"

class QWidget;

namespace mirelock {

class DocumentSession;
class FileChooser;
class UserMessages;

// The Problem type and Options menus: the stored batch set-up of the document.
class SettingsCommands : public QObject {
  Q_OBJECT
 public:
  SettingsCommands(DocumentSession& session, FileChooser& chooser, UserMessages& messages, QWidget* window);

  void SetProblemType(ProblemType type);
  void SelectProblemsDirectory();
  void ChangeResultsDirectory();
  void ChangeFullResultsFile();
  void ChangeSummaryFile();
  void EditExperimentList();
  void EditOrderingAndSeeds();

 signals:
  // A drawn or stored value may have changed.
  void changed();

 private:
  bool ChooseDirectory(const QString& prompt, std::string& directory);
  bool ChooseResultsFile(std::string& file);

  DocumentSession& session_;
  FileChooser& chooser_;
  UserMessages& messages_;
  QWidget* window_;
};

}  // namespace mirelock
