#include "app/MonitorCommands.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/DocumentSession.h"
#include "app/FileChooser.h"
#include "app/MonitorChartWindow.h"
#include "app/MonitorEveryDialog.h"
#include "app/MonitorRunContext.h"
#include "app/ParameterDialog.h"

namespace mirelock {

MonitorCommands::MonitorCommands(DocumentSession& session, FileChooser& chooser, UserMessages& messages,
                                 QWidget* window)
    : QObject(window), session_(session), chooser_(chooser), messages_(messages), window_(window) {}

void MonitorCommands::SelectProblem() {
  CMirelockDoc& doc = session_.Document();
  QString filter;
  switch (doc.m_nProblemType) {
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
      messages_.Show("Bug in program, no problem type selected..shouldn't happen.");
      return;
  }
  const std::string current = doc.m_strMonitorProblem.empty() ? doc.m_strProblemsDir : doc.m_strMonitorProblem;
  QFileDialog dialog(window_, QStringLiteral("Select problem"), QString::fromStdString(current), filter);
  dialog.setObjectName(QStringLiteral("monitorProblemChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QString::fromLatin1(ProblemExtension(doc.m_nProblemType)));
  const QString path = chooser_.Run(dialog);
  if (path.isEmpty()) return;
  const std::string chosen = path.toStdString();
  if (chosen != doc.m_strMonitorProblem) {
    doc.m_strMonitorProblem = chosen;
    doc.m_bSettingsChanged = true;
  }
  emit changed();
}

void MonitorCommands::SetParameters() {
  ParameterDialog dialog(session_.Document().m_monitorExperiment, window_);
  dialog.exec();
  emit changed();
}

void MonitorCommands::SelectOutputFile() {
  CMirelockDoc& doc = session_.Document();
  QFileDialog dialog(window_, QStringLiteral("Select output file"), QString::fromStdString(doc.m_strMonitorOutputFile),
                     QStringLiteral("Text files (*.txt);;All Files (*)"));
  dialog.setObjectName(QStringLiteral("monitorOutputChooser"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const QString path = chooser_.Run(dialog);
  if (path.isEmpty()) return;
  const std::string chosen = path.toStdString();
  if (chosen != doc.m_strMonitorOutputFile) {
    doc.m_strMonitorOutputFile = chosen;
    doc.m_bSettingsChanged = true;
  }
  emit changed();
}

void MonitorCommands::SetEvery() {
  CMirelockDoc& doc = session_.Document();
  MonitorEveryDialog dialog(doc.m_nMonitorEvery.load(), window_);
  if (dialog.exec() != QDialog::Accepted) return;
  if (dialog.Every() != doc.m_nMonitorEvery.load()) {
    doc.m_nMonitorEvery = dialog.Every();
    doc.m_bSettingsChanged = true;
    emit changed();
  }
}

void MonitorCommands::SolveProblem() {
  CMirelockDoc& doc = session_.Document();
  if (!session_.MonitorProblemFitsType()) {
    // Refused before a worker exists, so no results file is begun for a problem the solver cannot read.
    messages_.Show("The monitor problem " + QFileInfo(QString::fromStdString(doc.m_strMonitorProblem)).fileName().toStdString() +
                   " is not a " + ProblemMenuName(doc.m_nProblemType) + " problem (." +
                   ProblemExtension(doc.m_nProblemType) +
                   "); choose one with Monitor Run, Select problem, or change the problem type.");
    return;
  }
  const bool monitorRun = !doc.m_strMonitorProblem.empty() && !doc.m_strMonitorOutputFile.empty();
  // The chart follows the file from the start, before the solver rewrites it.
  if (monitorRun && session_.MonitorChart())
    session_.MonitorChart()->FollowRun(QString::fromStdString(doc.m_strMonitorOutputFile),
                                       MakeMonitorRunContext(doc, session_.Controls()));
  session_.Controls().SolveProblem();
  emit runStateChanged();
}

void MonitorCommands::ShowChart() {
  MonitorChartWindow* chart = session_.MonitorChart();
  if (!chart) {
    const CMirelockDoc& doc = session_.Document();
    chart = new MonitorChartWindow(window_);
    chart->setAttribute(Qt::WA_DeleteOnClose);
    session_.SetMonitorChart(chart);
    if (!doc.m_strMonitorOutputFile.empty()) {
      const QString file = QString::fromStdString(doc.m_strMonitorOutputFile);
      if (doc.m_strMonitorProblem.empty())
        chart->Follow(file);
      else
        chart->FollowRun(file, MakeMonitorRunContext(doc, session_.Controls()));
    }
  }
  chart->show();
  chart->raise();
  chart->activateWindow();
}

}  // namespace mirelock
