#pragma once
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainWindow.h"

namespace mirelock::testing {

// A field or button of a dialog by its object name.
template <typename T = QWidget>
T* Child(QWidget* parent, const char* name) {
  return parent->findChild<T*>(QString::fromLatin1(name));
}

inline void SetText(QWidget* dialog, const char* field, const QString& text) {
  if (auto* edit = Child<QLineEdit>(dialog, field)) edit->setText(text);
}

inline void Click(QWidget* dialog, const char* button) {
  if (auto* b = Child<QPushButton>(dialog, button)) b->click();
}

// Presses the dialog's OK button as a user would (the dialog decides whether it closes).
inline void PressOk(QWidget* dialog) {
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    if (button->text().remove(QLatin1Char('&')) == QStringLiteral("OK")) {
      button->click();
      return;
    }
}

// Copies the named files of the bundled examples into `target`.
inline bool CopyExamples(const QString& folder, const QStringList& names, const QString& target) {
  QDir().mkpath(target);
  for (const QString& name : names) {
    const QString from = QStringLiteral(MIRELOCK_SOURCE_DIR "/examples/") + folder + QLatin1Char('/') + name;
    if (!QFile::copy(from, target + QLatin1Char('/') + name)) return false;
  }
  return true;
}

// Triggers a command whose dialog is driven by queued ModalSteps.
inline void Trigger(MainWindow& window, const char* action) {
  QAction* a = window.Action(QString::fromLatin1(action));
  if (a) a->trigger();
}

// The main of a test program: the recent-file list of the tests is kept away
// from the user's own settings, and the window system is offscreen unless set.
template <typename TestObject>
int RunAppTest(int argc, char* argv[]) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TestObject test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace mirelock::testing
