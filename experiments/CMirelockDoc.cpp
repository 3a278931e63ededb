#include "experiments/CMirelockDoc.h"

#include "experiments/DefaultPaths.h"
#include "platform/UserMessages.h"

namespace mirelock {

CMirelockDoc::CMirelockDoc(UserMessages* messages) : m_pMessages(messages) { NewDocument(); }

void CMirelockDoc::NewDocument() {
  auto workingDirectory = WorkingDirectory();
  if (!workingDirectory) {
    if (m_pMessages) {
      m_pMessages->Show("Couldn't get current directory\n");
    } else {
      StderrMessages().Show("Couldn't get current directory\n");
    }
    workingDirectory = std::string(".");  // the defaults then stay relative to wherever the process is
  }
  m_nProblemType = kProblemQAP;
  m_strSummaryFile = *workingDirectory + "/ResultsSummary.csv";
  m_strFullResultsFile = *workingDirectory + "/ResultsFull.csv";
  m_strProblemsDir = DefaultProblemsDirectory(*workingDirectory);
  m_strResultsDir = *workingDirectory + "/Results/";
  m_nProblemOrdering = 0;
  m_nSeedMode = kSeedFixed;
  m_nFixedSeed = 21;
  m_nMonitorEvery = 1;
  m_nProblemsSolved = 0;
  m_nTotalProblems = 0;
  m_bSettingsChanged = false;
  m_bRunStarted = false;
  // Kept: the experiment list, the monitor problem, experiment and output
  // file, the solved problem names and the current problem.
}

RunSettings CMirelockDoc::CurrentRunSettings(bool monitorRun) const {
  RunSettings settings;
  settings.seedMode = m_nSeedMode;
  settings.fixedSeed = m_nFixedSeed;
  settings.monitorRun = monitorRun;
  if (monitorRun) {
    settings.monitorFile = m_strMonitorOutputFile;
    settings.monitorEvery = m_nMonitorEvery;
  }
  return settings;
}

std::vector<ViewLine> CMirelockDoc::ViewLines() const {
  std::vector<ViewLine> lines = {
      {10, 10, "Problems directory is " + m_strProblemsDir},
      {10, 40, "Individual results directory is " + m_strResultsDir},
      {10, 70, "Full Results filename is " + m_strFullResultsFile},
      {10, 100, "Summary Results filename is " + m_strSummaryFile},
  };
  if (!m_strMonitorProblem.empty()) {
    std::string settings = "Experiment settings are";
    for (unsigned i = 0; i < m_monitorExperiment.GetParamCount(); ++i) {
      settings += ' ';
      settings += m_monitorExperiment.GetParamAt(i);
    }
    lines.push_back({10, 130,
                     "Individual detailed monitor run statistics selected for every " +
                         std::to_string(m_nMonitorEvery.load()) + " repairs:"});
    lines.push_back({40, 160, "Problem filename is " + m_strMonitorProblem});
    lines.push_back({40, 190, settings});
    lines.push_back({40, 220, "Monitor run filename is " + m_strMonitorOutputFile});
  }
  return lines;
}

}  // namespace mirelock
