#pragma once
#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <mutex>

#include "platform/UserMessages.h"

class QWidget;

namespace mirelock {

// Messages as modal boxes. On the window thread the box is shown at once; a
// worker thread hands the text to the window thread and waits until the user
// has dismissed the box, so the run goes on only after the message was read.
// Once the window shuts down, waiting workers are released and later messages
// go to standard error, so that closing the program never waits on a box.
class WindowMessages : public QObject, public UserMessages {
  Q_OBJECT
 public:
  explicit WindowMessages(QWidget* parentWindow);
  ~WindowMessages() override;

  void Show(const std::string& text) override;

  // Releases every waiting worker; later messages are printed instead.
  void ShutDown();

 signals:
  // Emitted on the window thread just before a box opens; tests use it.
  void aboutToShow(const QString& text);

 private:
  void ShowBox(const QString& text);

  QPointer<QWidget> parentWindow_;
  std::mutex mutex_;
  std::condition_variable dismissed_;
  bool shutDown_ = false;
  StderrMessages fallback_;
};

}  // namespace mirelock
