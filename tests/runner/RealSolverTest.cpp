// The runner with the solvers of the factory: a monitor run on a bundled example.
#include <gtest/gtest.h>

#include "common/TempDir.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"

namespace mirelock::test {
namespace {

TEST(RealSolverTest, MonitorRunWritesALineEveryRRepairsOfTheLastRun) {
  const std::string examples = std::string(MIRELOCK_SOURCE_DIR) + "/examples/maxsat/";
  TempDir dir;
  RecordingMessages messages;
  CMirelockDoc doc(&messages);
  doc.m_nProblemType = kProblemMaxSAT;
  doc.m_strProblemsDir = examples;
  doc.m_strResultsDir = dir.Sub("results");
  doc.m_strMonitorProblem = examples + "jnh1.sat";
  doc.m_strMonitorOutputFile = dir.Path() + "monitor.txt";
  doc.m_monitorExperiment.m_nMaxRepairs = 5;
  doc.m_monitorExperiment.m_nNumRuns = 2;
  doc.m_nMonitorEvery = 100;

  RunControls controls(doc, messages);
  controls.SolveProblem();
  ASSERT_TRUE(controls.WaitForWorkerEnd(std::chrono::seconds(60)));
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"Finished Solving.."});

  const auto monitor = Split(ReadFile(doc.m_strMonitorOutputFile));
  ASSERT_GE(monitor.size(), 2u);
  EXPECT_EQ(monitor[0].substr(0, 33), "Repairs\tCurrent_Cost\tCurrent_Aug_");
  long previous = -1;
  for (std::size_t i = 1; i < monitor.size(); ++i) {
    const long repairs = std::stol(monitor[i].substr(0, monitor[i].find('\t')));
    EXPECT_EQ(repairs % 100, 0) << monitor[i];
    EXPECT_GT(repairs, previous) << "a second run's lines";  // one run only: repairs only grow
    previous = repairs;
  }
  EXPECT_TRUE(IsResultsFileComplete(doc.m_strResultsDir, kProblemMaxSAT, "jnh1_monitor_run",
                                    doc.m_monitorExperiment));
  EXPECT_EQ(ListDir(doc.m_strResultsDir),
            std::vector<std::string>{GetResultsFilename(kProblemMaxSAT, "jnh1_monitor_run", doc.m_monitorExperiment)});
}

}  // namespace
}  // namespace mirelock::test
