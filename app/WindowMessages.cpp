#include "app/WindowMessages.h"

#include <QMessageBox>
#include <QThread>
#include <QWidget>
#include <memory>

namespace mirelock {

WindowMessages::WindowMessages(QWidget* parentWindow) : QObject(nullptr), parentWindow_(parentWindow) {}

WindowMessages::~WindowMessages() { ShutDown(); }

void WindowMessages::ShutDown() {
  std::lock_guard<std::mutex> lock(mutex_);
  shutDown_ = true;
  dismissed_.notify_all();
}

void WindowMessages::ShowBox(const QString& text) {
  emit aboutToShow(text);
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Mirelock"), text, QMessageBox::Ok, parentWindow_);
  box.setObjectName(QStringLiteral("mirelockMessage"));
  box.exec();
}

void WindowMessages::Show(const std::string& text) {
  const QString qtext = QString::fromStdString(text).trimmed();
  if (QThread::currentThread() == thread()) {
    ShowBox(qtext);
    return;
  }

  // A worker: post the box to the window thread and wait for its dismissal.
  // The flag lives in a shared block so that a box shown after this call
  // gave up (shut-down) still has something valid to write to.
  auto done = std::make_shared<bool>(false);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shutDown_) {
      fallback_.Show(text);
      return;
    }
  }
  QMetaObject::invokeMethod(
      this,
      [this, qtext, done] {
        bool skip;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          skip = shutDown_;
        }
        if (!skip) ShowBox(qtext);
        std::lock_guard<std::mutex> lock(mutex_);
        *done = true;
        dismissed_.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(mutex_);
  dismissed_.wait(lock, [&] { return *done || shutDown_; });
  if (!*done) fallback_.Show(text);
}

}  // namespace mirelock
