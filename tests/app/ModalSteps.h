#pragma once
// Driving modal dialogs from a test. A modal dialog runs its own event loop,
// so the test cannot simply wait for it: the steps below run from timers
// inside those loops, each one when the expected dialog is the active modal
// window. A watchdog rejects whatever is still open when a step never comes,
// so that a fault makes the test fail instead of hang.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace mirelock::testing {

class ModalSteps : public QObject {
 public:
  explicit ModalSteps(int timeoutMs = 30000) : timeoutMs_(timeoutMs) {}

  // Runs `step` once the active modal window is a T (for example a ParameterDialog).
  template <typename T>
  void When(std::function<void(T*)> step, QString what = QString()) {
    steps_.push_back({[](QWidget* w) { return qobject_cast<T*>(w) != nullptr && w->isVisible(); },
                      [step](QWidget* w) { step(qobject_cast<T*>(w)); },
                      what.isEmpty() ? QString::fromLatin1(T::staticMetaObject.className()) : what});
    Arm();
  }

  // Records the text of the next message box and dismisses it.
  void Message(QStringList* texts) {
    When<QMessageBox>([texts](QMessageBox* box) {
      texts->append(box->text());
      box->accept();
    });
  }

  // Expects the next message box to say exactly `text`, and dismisses it.
  void Expect(const QString& text) {
    When<QMessageBox>([this, text](QMessageBox* box) {
      Check(box->text() == text, QStringLiteral("message \"%1\" instead of \"%2\"").arg(box->text(), text));
      box->accept();
    });
  }

  void Check(bool condition, const QString& what) {
    if (!condition) failures_ << what;
  }

  bool Done() const { return steps_.empty(); }
  QStringList Failures() const { return failures_; }

 private:
  struct Step {
    std::function<bool(QWidget*)> matches;
    std::function<void(QWidget*)> run;
    QString what;
  };

  void Arm() {
    if (armed_) return;
    armed_ = true;
    clock_.start();
    QTimer::singleShot(20, this, [this] { Poll(); });
  }

  void Poll() {
    if (steps_.empty()) {
      armed_ = false;
      return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (steps_.front().matches(modal)) {
      Step step = steps_.front();
      steps_.pop_front();
      clock_.restart();
      // The next poll is a new timer, so it also fires inside the event loop of
      // a dialog that this step opens.
      QTimer::singleShot(20, this, [this] { Poll(); });
      step.run(modal);
      return;
    }
    if (clock_.elapsed() > timeoutMs_) {
      failures_ << QStringLiteral("timed out waiting for ") + steps_.front().what +
                       (modal ? QStringLiteral(" (active: %1 \"%2\")")
                                    .arg(QString::fromLatin1(modal->metaObject()->className()),
                                         modal->windowTitle())
                              : QString());
      steps_.clear();
      armed_ = false;
      // Close whatever is open so the test can go on to report the failure.
      while (QWidget* open = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(open))
          dialog->reject();
        else
          open->close();
        QApplication::processEvents();
      }
      return;
    }
    QTimer::singleShot(20, this, [this] { Poll(); });
  }

  int timeoutMs_;
  std::deque<Step> steps_;
  QStringList failures_;
  QElapsedTimer clock_;
  bool armed_ = false;
};

// Dismisses every message box that a run shows and keeps its text: the
// worker's messages ("Finished Solving..") wait for the user.
class MessageCatcher : public QObject {
 public:
  MessageCatcher() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box && box->isVisible()) {
        texts_ << box->text();
        box->accept();
      }
    });
    timer_.start(30);
  }
  const QStringList& Texts() const { return texts_; }

 private:
  QTimer timer_;
  QStringList texts_;
};

}  // namespace mirelock::testing
