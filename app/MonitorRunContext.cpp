#include "app/MonitorRunContext.h"

#include <QFileInfo>

#include "app/QuietMessages.h"
#include "experiments/CMirelockDoc.h"
#include "runner/RunControls.h"
#include "summary/BestKnownCosts.h"

namespace mirelock {

MonitorRunContext MakeMonitorRunContext(const CMirelockDoc& doc, RunControls& controls) {
  MonitorRunContext context;
  const QFileInfo problem(QString::fromStdString(doc.m_strMonitorProblem));
  context.problem = problem.fileName();
  context.problemType = QString::fromLatin1(ProblemMenuName(doc.m_nProblemType));
  for (unsigned i = 0; i < doc.m_monitorExperiment.GetParamCount(); ++i)
    context.experiment +=
        (i ? QStringLiteral(" ") : QString()) + QString::fromStdString(doc.m_monitorExperiment.GetParamAt(i));
  context.runs = doc.m_monitorExperiment.m_nNumRuns;
  // best.txt of the problem's own folder, where the summariser would look for a batch of it.
  QuietMessages quiet;
  const BestKnownCosts best =
      BestKnownCostsReader(quiet).Read(doc.m_nProblemType, (problem.absolutePath() + QLatin1Char('/')).toStdString());
  const std::string key = doc.m_nProblemType == kProblemTSP ? problem.completeBaseName().toStdString() + ".tsp"
                                                            : problem.fileName().toStdString();
  context.bestKnownCost = best.First(key);
  RunControls* live = &controls;
  context.liveRun = [live] {
    const RunProgress progress = live->Progress();
    return progress.lastRunWasMonitor ? progress.lastRunStarted : 0u;
  };
  return context;
}

}  // namespace mirelock
