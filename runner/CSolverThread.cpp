#include "runner/CSolverThread.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include "platform/FilePaths.h"
#include "platform/Random.h"
#include "platform/TemporaryFiles.h"
#include "runner/PairQueue.h"
#include "runner/ProblemDiscovery.h"
#include "runner/ResultsFileCheck.h"
#include "runner/ResultsFiles.h"
#include "runner/RunControls.h"
#include "runner/SeedRecord.h"
#include "solver/Solver.h"
#include "solver/SolverParameters.h"

namespace mirelock {

namespace {

// Where every thread's generator starts. Each pair starts from it, so that
// nothing a previous pair left in the generator reaches the next pair's
// lines (it would, with the "do not seed" mode, and then a pair's lines
// would depend on which worker took it after which other pair).
constexpr std::uint32_t kPairGeneratorState = 1;

}  // namespace

CSolverThread::CSolverThread(RunControls& view, const std::string& monitorProblem)
    : view_(view),
      monitorProblem_(monitorProblem),
      monitorOutputFile_(monitorProblem.empty() ? std::string() : view.doc_.m_strMonitorOutputFile),
      monitorExperiment_(view.doc_.m_monitorExperiment),
      problemType_(view.doc_.m_nProblemType),
      problemsDirectory_(view.doc_.m_strProblemsDir),
      resultsDirectory_(view.doc_.m_strResultsDir),
      experiments_(view.doc_.m_experiments),
      // A monitor run is one pair: one worker, no shards.
      partition_(monitorProblem.empty() ? view.partition_ : BatchPartition{}),
      currentSolvers_(partition_.jobs, nullptr),
      activity_(partition_.jobs),
      messages_(view.messages_) {}

void CSolverThread::RequestStop() {
  stopRequested_.store(true, std::memory_order_relaxed);
  for (Solver* solver : currentSolvers_)
    if (solver != nullptr) solver->Stop();
}

void CSolverThread::FillProgress(RunProgress& progress) const {
  progress.monitorRun = IsMonitorRun();
  progress.pairsTotal = pairsTotal_;
  progress.pairsDone = pairsDone_;
  progress.pairsSkipped = pairsSkipped_;
  progress.experimentCount = IsMonitorRun() ? 1 : experiments_.size();
  for (std::size_t slot = 0; slot < activity_.size(); ++slot) {
    const WorkerProgress& worker = activity_[slot];
    if (worker.problem.empty()) continue;
    WorkerProgress& shown = progress.workers.emplace_back(worker);
    if (slot < currentSolvers_.size() && currentSolvers_[slot] != nullptr) {
      const Solver::RunProgressMark mark = currentSolvers_[slot]->PublishedRunProgress();
      shown.runRepairs = mark.repairs;
      shown.runRepairLimit = mark.limit;
    }
  }
}

RunReport CSolverThread::Report() const {
  return RunReport{pairsTotal_, pairsDone_, pairsSkipped_, failedPairs_, keptPartialPairs_};
}

void CSolverThread::HaltPeers() {
  halted_.store(true, std::memory_order_relaxed);
  std::lock_guard<std::mutex> lock(view_.mutex_);
  for (Solver* solver : currentSolvers_)
    if (solver != nullptr) solver->Stop();
}

void CSolverThread::SetCurrentSolver(std::size_t slot, Solver* solver) {
  std::lock_guard<std::mutex> lock(view_.mutex_);
  currentSolvers_[slot] = solver;
  // A stop requested while the solver was being prepared still reaches it.
  if (solver != nullptr && ShouldQuit()) solver->Stop();
}

RunSettings CSolverThread::CurrentRunSettings() const {
  RunSettings settings;
  settings.seedMode = view_.doc_.m_nSeedMode.load();
  settings.fixedSeed = view_.doc_.m_nFixedSeed.load();
  settings.monitorRun = IsMonitorRun();
  if (settings.monitorRun) {
    settings.monitorFile = monitorOutputFile_;
    settings.monitorEvery = view_.doc_.m_nMonitorEvery.load();
  }
  return settings;
}

void CSolverThread::EndWithError(const std::string& message) {
  // Only the first error of the run is shown; the workers it halts end quietly.
  RunOutcome running = RunOutcome::kRunning;
  if (!outcome_.compare_exchange_strong(running, RunOutcome::kError)) return;
  HaltPeers();
  messages_.Show(message);
  view_.ClearRunningIfCurrent(this);
}

void CSolverThread::Run() {
  try {
    RunPairs();
  } catch (const FatalError& error) {
    fatal_ = error;
  } catch (const std::exception& error) {
    otherFailure_ = error.what();
  }
  if (fatal_) {
    outcome_ = RunOutcome::kFatal;
    view_.ReportFatal(*fatal_);
  } else if (otherFailure_) {
    // Nothing else is expected from a solve; end the run with a message rather than the program.
    EndWithError(*otherFailure_);
  } else if (outcome_ == RunOutcome::kRunning) {
    outcome_ = IsStopRequested() ? RunOutcome::kStopped : RunOutcome::kFinished;
  }
}

std::optional<std::string> CSolverThread::MissingDirectory() const {
  namespace fs = std::filesystem;
  std::error_code error;
  if (IsMonitorRun()) {
    // The solver opens the monitor file only once it runs, and a file it
    // cannot open would silently stay unwritten.
    if (monitorOutputFile_.empty()) return std::nullopt;
    const std::string directory = DirectoryOf(monitorOutputFile_);
    if (!fs::is_directory(directory, error))
      return "Cannot write the monitor output file " + monitorOutputFile_ + ": the directory " + directory +
             " does not exist";
    return std::nullopt;
  }
  // An empty directory has its own message (no problems); a missing one is a
  // mistake in the settings and says so.
  const std::string directory = problemsDirectory_.empty() ? "." : problemsDirectory_;
  if (!fs::exists(directory, error)) return "The problems directory " + directory + " does not exist";
  if (!fs::is_directory(directory, error)) return "The problems directory " + directory + " is not a directory";
  return std::nullopt;
}

std::optional<std::string> CSolverThread::PrepareResultsDirectory() const {
  // A new document's results directory does not exist until the first batch needs it.
  const std::string directory = resultsDirectory_.empty() ? "." : resultsDirectory_;
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) return "Cannot make the results directory " + directory + ": " + error.message();
  if (::access(directory.c_str(), W_OK | X_OK) != 0)
    return "Cannot write into the results directory " + directory + ": " + std::strerror(errno);
  // A process killed while writing (an earlier attempt at the same shard,
  // say) left its temporary files here; once per run is enough.
  RemoveStaleTemporaries(resultsDirectory_);
  return std::nullopt;
}

void CSolverThread::WarnOfOtherSeeds() {
  const RunSettings settings = CurrentRunSettings();
  const std::string setting = SeedSettingLine(settings.seedMode, settings.fixedSeed);
  const std::vector<std::string> others = RecordSeedSetting(resultsDirectory_, setting);
  if (others.empty()) return;
  std::string list;
  for (const std::string& other : others) list += (list.empty() ? "" : "; ") + other;
  messages_.Show("Warning: the results directory " + (resultsDirectory_.empty() ? "." : resultsDirectory_) +
                 " holds pairs solved with another seed (" + list + "); this batch uses " + setting +
                 ", so its results will mix seeds. Use another results directory to keep them apart (" +
                 kSeedRecordName + " there lists the seeds used).");
}

std::string CSolverThread::ResultsPathOf(const std::string& problem, const CExperiment& experiment) const {
  return JoinPath(resultsDirectory_, naming_.FileName(problemType_, problem, experiment));
}

std::optional<std::string> CSolverThread::UnwritablePair(const std::vector<std::string>& problems) const {
  // Every shard checks the whole batch, so that all of them refuse alike.
  if (auto refusal = naming_.Refusal(problemType_, problems, experiments_)) return refusal;
  for (const std::string& problem : problems)
    for (const CExperiment& experiment : experiments_) {
      const std::string path = ResultsPathOf(problem, experiment);
      std::error_code error;
      if (std::filesystem::is_directory(path, error))
        return "Cannot write the results file " + path + " of problem " + problem +
               ": it is a directory. Nothing was solved.";
    }
  return std::nullopt;
}

void CSolverThread::RunPairs() {
  if (const auto missing = MissingDirectory()) {
    EndWithError(*missing);
    return;
  }
  std::vector<std::string> problems;
  if (IsMonitorRun()) {
    problems.push_back(monitorProblem_);
  } else {
    problems = DiscoverProblems(problemsDirectory_, problemType_);
    if (problems.empty()) messages_.Show(kNoProblemsMessage);
  }
  if (IsMonitorRun()) experiments_.assign(1, monitorExperiment_);
  if (!IsMonitorRun()) {
    naming_ = ResultsNaming(problems);
    if (const auto refusal = UnwritablePair(problems)) {
      EndWithError(*refusal);
      return;
    }
  }

  const std::size_t discovered = problems.size();
  PairQueue queue(std::move(problems), experiments_.size(), partition_);
  {
    std::lock_guard<std::mutex> lock(view_.mutex_);
    if (!IsStopRequested()) {
      view_.doc_.m_nProblemsSolved = 0;
      view_.doc_.m_solvedProblems.clear();
      // Without experiments the run ends at once; the total is what was found.
      view_.doc_.m_nTotalProblems =
          static_cast<std::uint32_t>(experiments_.empty() ? discovered : queue.ProblemCount());
    }
    pairsTotal_ = experiments_.empty() ? 0 : queue.PairCount();
  }

  if (experiments_.empty()) {
    EndWithError("No experiments in the experiment list to run\n");
    return;
  }
  if (discovered > 0) {
    if (const auto unwritable = PrepareResultsDirectory()) {
      EndWithError(*unwritable);
      return;
    }
    if (!IsMonitorRun()) WarnOfOtherSeeds();
  }

  // Every worker catches what ends its own loop, so that all of them are
  // joined before the run reports anything.
  auto work = [this, &queue](std::size_t slot) {
    try {
      WorkPairs(queue, slot);
    } catch (const FatalError& error) {
      {
        std::lock_guard<std::mutex> lock(failureMutex_);
        if (!fatal_) fatal_ = error;
      }
      HaltPeers();
    } catch (const std::exception& error) {
      {
        std::lock_guard<std::mutex> lock(failureMutex_);
        if (!otherFailure_) otherFailure_ = error.what();
      }
      HaltPeers();
    }
  };
  std::vector<std::thread> helpers;
  for (std::size_t slot = 1; slot < partition_.jobs; ++slot) helpers.emplace_back(work, slot);
  work(0);
  for (std::thread& helper : helpers) helper.join();

  if (ShouldQuit() || fatal_ || otherFailure_) return;
  std::vector<std::string> failed;
  {
    std::lock_guard<std::mutex> lock(view_.mutex_);
    failed = failedPairs_;
  }
  if (failed.empty()) {
    messages_.Show("Finished Solving..");
    return;
  }
  // A batch with a pair left unsolved has not finished, whatever else it did.
  std::string message = std::to_string(failed.size()) + (failed.size() == 1 ? " pair" : " pairs") +
                        " of the batch could not be solved and have no results file:";
  for (const std::string& pair : failed) message += "\n  " + pair;
  EndWithError(message);
}

void CSolverThread::WorkPairs(PairQueue& queue, std::size_t slot) {
  for (;;) {
    gate_.WaitIfClosed();
    if (ShouldQuit()) return;
    const std::optional<PairTicket> ticket = queue.Next(view_.doc_.m_nProblemOrdering.load() == 1);
    if (!ticket) return;
    if (ticket->startsProblem) {
      std::lock_guard<std::mutex> lock(view_.mutex_);
      if (!IsStopRequested()) view_.doc_.m_strCurrentProblem = ticket->problem;
    }
    const CExperiment& experiment = experiments_[ticket->experiment];
    // The worker's own copies decide completeness: the same directory and
    // type it writes into, whatever the document holds meanwhile.
    bool complete = false;
    if (!IsMonitorRun()) {
      const std::string path = ResultsPathOf(ticket->problem, experiment);
      const ResultsFileCheck check = CheckResultsFile(path, ticket->problem, experiment.m_nNumRuns);
      complete = check.complete;
      if (!check.defect.empty())
        messages_.Show("Results file " + path + " " + check.defect + "; the pair is solved again");
    }
    if (!complete) {
      {
        std::lock_guard<std::mutex> lock(view_.mutex_);
        activity_[slot] = WorkerProgress{ticket->problem, ticket->experiment, experiment, 0, 0};
      }
      const bool solved = SolvePair(ticket->problem, experiment, slot);
      std::lock_guard<std::mutex> lock(view_.mutex_);
      activity_[slot] = WorkerProgress{};
      if (!solved) return;
    }
    const bool problemDone = queue.Done(*ticket);
    std::lock_guard<std::mutex> lock(view_.mutex_);
    if (ShouldQuit()) continue;
    ++pairsDone_;
    if (complete) ++pairsSkipped_;
    if (problemDone) {
      view_.doc_.m_solvedProblems.push_back(ticket->problem);
      ++view_.doc_.m_nProblemsSolved;
    }
  }
}

bool CSolverThread::SolvePair(const std::string& problem, const CExperiment& experiment, std::size_t slot) {
  std::unique_ptr<Solver> solver =
      problemType_ < kProblemTypeCount && view_.factory_ ? view_.factory_(problemType_) : nullptr;
  if (!solver) {
    EndWithError("Problem type not implemented");
    return false;
  }
  solver->SetPauseGate(&gate_);

  ResultsFileRequest request;
  request.problemName = problem;
  request.problemPath = IsMonitorRun() ? problem : JoinPath(problemsDirectory_, problem);
  request.resultsDirectory = resultsDirectory_;
  request.resultsFileName = IsMonitorRun()
                                ? GetResultsFilename(problemType_, MonitorRunProblemName(problem), experiment)
                                : naming_.FileName(problemType_, problem, experiment);
  request.experiment = experiment;
  request.writeTrace = !IsMonitorRun();

  ResultsFileHooks hooks;
  hooks.runSettings = [this] { return CurrentRunSettings(); };
  hooks.setCurrentSolver = [this, slot](Solver* s) { SetCurrentSolver(slot, s); };
  hooks.commitLock = &view_.commitMutex_;
  hooks.messages = &messages_;
  const std::size_t experimentNumber =
      static_cast<std::size_t>(&experiment - experiments_.data()) + 1;  // from 1, as the list shows it
  hooks.problemUnreadable = [&](const std::string& why) {
    std::lock_guard<std::mutex> lock(view_.mutex_);
    failedPairs_.push_back(problem + ", experiment " + std::to_string(experimentNumber) + ": cannot open " + why);
  };
  unsigned runStarted = 0;
  hooks.runStarting = [this, slot, &runStarted](unsigned run, unsigned runs) {
    runStarted = run;
    std::lock_guard<std::mutex> lock(view_.mutex_);
    activity_[slot].run = run;
    activity_[slot].runs = runs;
    if (view_.current_.get() == this) view_.lastRunStarted_ = run;
  };

  SetRandomState(kPairGeneratorState);
  try {
    if (WriteResultsFile(*solver, request, hooks) == PairOutcome::kStopped && runStarted > 1) {
      std::lock_guard<std::mutex> lock(view_.mutex_);
      keptPartialPairs_.push_back(request.ResultsPath() + " (" + std::to_string(runStarted - 1) + " of " +
                                  std::to_string(experiment.m_nNumRuns) + " runs)");
    }
    // The monitor output is what a monitor run is for: a write that failed (a full disk) fails the run.
    if (const int error = solver->MonitorWriteError(); error != 0) {
      EndWithError("Failed to write the monitor output file " + monitorOutputFile_ + ": " + std::strerror(error));
      return false;
    }
  } catch (const UnsupportedFeature& feature) {
    EndWithError(std::string(feature.what()) + " is not yet implemented for the current problem type");
    return false;
  } catch (const ResultsFileException& failure) {
    EndWithError(failure.Message());
    return false;
  }
  return true;
}

}  // namespace mirelock
