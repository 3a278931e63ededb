#include "app/ResultsCharts.h"

#include "app/ResultsWindow.h"
#include "experiments/CMirelockDoc.h"

namespace mirelock {

void AddResultsCharts(ResultsWindow& window, const CMirelockDoc&) {
  // The charts come from the analysis library that `mirelock report` draws
  // with; until it is part of the build, each tab says what it will hold.
  window.ClearChartTabs();
  const QString pending = QStringLiteral("\n\nThis chart is drawn by the results analysis (mirelock report), "
                                         "which this build does not include yet.");
  window.AddNoteTab(QStringLiteral("Gap box plots"),
                    QStringLiteral("Box plots of the gap to the best known cost, one box per experiment.") + pending);
  window.AddNoteTab(QStringLiteral("Run-length distributions"),
                    QStringLiteral("For each experiment, the share of runs that reached their best solution "
                                   "within a number of repairs.") +
                        pending);
  window.AddNoteTab(QStringLiteral("Critical difference"),
                    QStringLiteral("Mean ranks of the experiments across problems, with the Nemenyi critical "
                                   "difference.") +
                        pending);
}

}  // namespace mirelock
