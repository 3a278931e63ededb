#pragma once
#include <QObject>

class QWidget;

namespace mirelock {

class DocumentSession;
class FileChooser;
class UserMessages;

// The Monitor Run menu: the document's monitor set-up, Solve problem and the
// live chart of the monitor output file.
class MonitorCommands : public QObject {
  Q_OBJECT
 public:
  MonitorCommands(DocumentSession& session, FileChooser& chooser, UserMessages& messages, QWidget* window);

  void SelectProblem();
  void SetParameters();
  void SelectOutputFile();
  void SetEvery();
  void SolveProblem();
  void ShowChart();

 signals:
  // A drawn value may have changed.
  void changed();
  // Solve problem started or continued a run.
  void runStateChanged();

 private:
  DocumentSession& session_;
  FileChooser& chooser_;
  UserMessages& messages_;
  QWidget* window_;
};

}  // namespace mirelock
