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

#include "ModalSteps.h"
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

inline void WriteText(const QString& path, const QByteArray& text, QIODevice::OpenMode mode = QIODevice::WriteOnly) {
  QFile file(path);
  QVERIFY(file.open(mode));
  QCOMPARE(file.write(text), text.size());
}

inline QByteArray ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly | QIODevice::Text) ? file.readAll() : QByteArray();
}

// A QAP document over a problems and a results folder of `dir`, with these examples and best.txt copied in.
inline void SetUpQap(MainWindow& window, const QTemporaryDir& dir, const QStringList& problems) {
  const QString folder = dir.filePath(QStringLiteral("problems"));
  QVERIFY(CopyExamples(QStringLiteral("qap"), problems + QStringList{QStringLiteral("best.txt")}, folder));
  QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("results"))));
  CMirelockDoc& doc = window.Document();
  doc.m_nProblemType = kProblemQAP;
  doc.m_strProblemsDir = (folder + "/").toStdString();
  doc.m_strResultsDir = (dir.filePath(QStringLiteral("results")) + "/").toStdString();
  doc.m_strFullResultsFile = dir.filePath(QStringLiteral("full.csv")).toStdString();
  doc.m_strSummaryFile = dir.filePath(QStringLiteral("summary.csv")).toStdString();
}

inline CExperiment Experiment(double lambda, unsigned maxRepairsPerN, unsigned runs) {
  CExperiment experiment;
  experiment.m_dLambda = lambda;
  experiment.m_nMaxRepairs = maxRepairsPerN;
  experiment.m_nNumRuns = runs;
  return experiment;
}

// Expects the "Save changes?" question next and answers it with `button` (Save, Discard or Cancel).
inline void AnswerSaveChanges(ModalSteps& steps, QMessageBox::StandardButton button) {
  steps.When<QMessageBox>(
      [&steps, button](QMessageBox* box) {
        steps.Check(box->objectName() == QStringLiteral("saveChangesBox") && box->text() == QStringLiteral("Save changes?"),
                    QStringLiteral("\"Save changes?\" instead of \"%1\"").arg(box->text()));
        if (QAbstractButton* answer = box->button(button)) answer->click();
      },
      QStringLiteral("Save changes?"));
}

// Waits until the queued ModalSteps have run and fails with what they found wrong.
#define VERIFY_STEPS(steps)                                                                \
  do {                                                                                     \
    QTRY_VERIFY_WITH_TIMEOUT((steps).Done(), 120000);                                      \
    QVERIFY2((steps).Failures().isEmpty(), qPrintable((steps).Failures().join("; ")));     \
  } while (false)

// Waits for the end of a run that a MessageCatcher watches.
#define VERIFY_FINISHED(window, catcher, timeoutMs)                                                   \
  do {                                                                                                \
    QTRY_VERIFY_WITH_TIMEOUT((catcher).Texts().contains(QStringLiteral("Finished Solving..")), timeoutMs); \
    QTRY_VERIFY_WITH_TIMEOUT(!(window).Controls().HasWorker(), 20000);                               \
  } while (false)

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
