#pragma once
#include <QObject>

class QStatusBar;
class QWidget;

namespace mirelock {

class DocumentSession;
class UserMessages;

// The Solve menu and Summarise: Start, Stop, Abandon, the number of workers,
// and the summary with its results window.
class RunCommands : public QObject {
  Q_OBJECT
 public:
  RunCommands(DocumentSession& session, UserMessages& messages, QWidget* window, QStatusBar& statusBar);

  void Start();
  void Stop();
  void Abandon();
  void ChooseWorkers();
  // Workers of the batch runs started from now on; kept in the user's settings.
  void SetWorkers(unsigned workers);
  unsigned Workers() const;
  void Summarise();
  void ShowResults();

 signals:
  // The running flag or the worker may have changed.
  void runStateChanged();

 private:
  DocumentSession& session_;
  UserMessages& messages_;
  QWidget* window_;
  QStatusBar& statusBar_;
};

}  // namespace mirelock
