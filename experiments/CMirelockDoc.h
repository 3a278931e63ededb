#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "solver/ProblemType.h"

namespace mirelock {

class UserMessages;

// A line of the view's text, at its position in pixels from the top left.
struct ViewLine {
  int x;
  int y;
  std::string text;
};

// The one document: batch set-up (stored in the document file), monitor-run
// settings and the progress that the batch worker publishes (not stored).
class CMirelockDoc {
 public:
  // Messages of the document ("Couldn't get current directory") go to
  // `messages`, or to standard error when it is null.
  explicit CMirelockDoc(UserMessages* messages = nullptr);

  // --- stored in the document file ---
  ProblemType m_nProblemType = kProblemQAP;
  std::string m_strProblemsDir;  // ends with "/"
  std::string m_strResultsDir;   // ends with "/"
  std::string m_strFullResultsFile;
  std::string m_strSummaryFile;
  std::vector<CExperiment> m_experiments;
  // Read by a running worker without the lock, hence whole atomic words.
  std::atomic<std::uint32_t> m_nProblemOrdering{0};  // 0 natural, 1 random
  std::atomic<std::uint32_t> m_nSeedMode{kSeedFixed};
  std::atomic<std::uint32_t> m_nFixedSeed{21};

  // --- monitor run, not stored ---
  std::string m_strMonitorProblem;  // full path; empty: none selected
  CExperiment m_monitorExperiment;
  std::string m_strMonitorOutputFile;
  std::atomic<std::uint32_t> m_nMonitorEvery{1};  // R

  // --- progress, read and written only under the run controls' lock ---
  std::uint32_t m_nProblemsSolved = 0;
  std::uint32_t m_nTotalProblems = 0;
  std::vector<std::string> m_solvedProblems;
  std::string m_strCurrentProblem;

  // --- flags ---
  bool m_bSettingsChanged = false;
  bool m_bRunStarted = false;

  // File, New: the new-document values; "kept" values stay as they are.
  void NewDocument();

  // The run settings a worker hands to ApplyExperiment, read at this moment.
  RunSettings CurrentRunSettings(bool monitorRun) const;

  // The view's text lines.
  std::vector<ViewLine> ViewLines() const;

 private:
  UserMessages* m_pMessages;
};

}  // namespace mirelock
