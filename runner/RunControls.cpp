#include "runner/RunControls.h"

#include <stdexcept>

#include "runner/CSolverThread.h"
#include "runner/ProgressLine.h"
#include "solver/factory/SolverFactory.h"

namespace mirelock {

RunControls::RunControls(CMirelockDoc& doc, UserMessages& messages, SolverFactoryFn factory)
    : doc_(doc),
      messages_(messages),
      factory_(factory ? std::move(factory) : SolverFactoryFn(CreateSolver)) {}

RunControls::~RunControls() {
  std::list<Worker> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_) AbandonCurrentLocked();
    for (Worker& worker : workers_) {
      worker.job->RequestStop();
      worker.job->Gate().Open();
    }
    workers.swap(workers_);
  }
  for (Worker& worker : workers)
    if (worker.thread.joinable()) worker.thread.join();
}

void RunControls::Start() { StartOrContinue(false); }

void RunControls::SolveProblem() { StartOrContinue(true); }

void RunControls::StartOrContinue(bool monitor) {
  std::lock_guard<std::mutex> lock(mutex_);
  JoinFinishedLocked();
  doc_.m_bRunStarted = true;
  if (current_) {
    if (doc_.m_bSettingsChanged)
      AbandonCurrentLocked();
    else
      current_->Gate().Open();
  }
  if (!current_) {
    doc_.m_nProblemsSolved = 0;
    LaunchLocked(monitor ? doc_.m_strMonitorProblem : std::string());
  }
  running_ = true;
  if (monitor) doc_.m_bSettingsChanged = false;
}

void RunControls::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (current_) current_->Gate().Close();
  running_ = false;
}

void RunControls::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!current_) return;
  current_->RequestStop();
  current_->Gate().Open();
}

void RunControls::AbandonCurrentLocked() {
  // The abandoned worker is let go so that it can finish its current solver;
  // its stop request makes it leave without solving or publishing anything more.
  current_->RequestStop();
  current_->Gate().Open();
  doc_.m_strCurrentProblem.clear();
  doc_.m_solvedProblems.clear();
  current_.reset();
}

void RunControls::LaunchLocked(const std::string& monitorProblem) {
  auto job = std::make_shared<CSolverThread>(*this, monitorProblem);
  auto done = std::make_shared<std::atomic<bool>>(false);
  current_ = job;
  ++launches_;
  lastRunStarted_ = 0;
  lastRunWasMonitor_ = !monitorProblem.empty();
  lastFatal_.reset();
  // The thread starts its work by taking the lock, so it waits until this command has finished.
  std::thread thread([this, job, done] {
    job->Run();
    WorkerEnded(job.get());
    done->store(true);
  });
  workers_.push_back(Worker{job, std::move(thread), done});
}

void RunControls::JoinFinishedLocked() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

void RunControls::WorkerEnded(CSolverThread* job) {
  bool wasCurrent = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // A superseded worker leaves its successor's record and the running flag alone.
    if (current_.get() == job) {
      wasCurrent = true;
      lastOutcome_ = job->Outcome();
      lastReport_ = job->Report();
      current_.reset();
      running_ = false;
    }
  }
  if (!wasCurrent) return;
  workerEnded_.notify_all();
  if (workerEndedHandler_) workerEndedHandler_();
}

void RunControls::ClearRunningIfCurrent(const CSolverThread* job) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (current_.get() == job) running_ = false;
}

void RunControls::ReportFatal(const FatalError& error) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lastFatal_ = error;
  }
  if (fatalHandler_)
    fatalHandler_(error);
  else if (error.SourceNote().empty())
    messages_.Show(error.Text());
  else
    messages_.Show(error.Text() + "\n" + error.SourceNote());
}

bool RunControls::IsRunning() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

bool RunControls::HasWorker() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_ != nullptr;
}

std::string RunControls::ProgressText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return FormatProgressLine(running_, doc_.m_nProblemsSolved, doc_.m_nTotalProblems,
                            doc_.m_strCurrentProblem);
}

RunProgress RunControls::Progress() const {
  std::lock_guard<std::mutex> lock(mutex_);
  RunProgress progress;
  progress.hasWorker = current_ != nullptr;
  progress.running = running_;
  progress.runSerial = launches_;
  progress.lastRunStarted = lastRunStarted_;
  progress.lastRunWasMonitor = lastRunWasMonitor_;
  progress.problemsSolved = doc_.m_nProblemsSolved;
  progress.problemsTotal = doc_.m_nTotalProblems;
  if (current_) current_->FillProgress(progress);
  return progress;
}

PauseGate* RunControls::CurrentPauseGate() {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_ ? &current_->Gate() : nullptr;
}

bool RunControls::WaitForWorkerEnd(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return workerEnded_.wait_for(lock, timeout, [this] { return current_ == nullptr; });
}

void RunControls::WaitForWorkerEnd() {
  std::unique_lock<std::mutex> lock(mutex_);
  workerEnded_.wait(lock, [this] { return current_ == nullptr; });
}

std::size_t RunControls::UnfinishedWorkerCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::size_t count = 0;
  for (const Worker& worker : workers_)
    if (!worker.done->load()) ++count;
  return count;
}

RunOutcome RunControls::LastOutcome() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastOutcome_;
}

RunReport RunControls::LastReport() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastReport_;
}

std::optional<FatalError> RunControls::LastFatalError() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastFatal_;
}

void RunControls::SetFatalErrorHandler(std::function<void(const FatalError&)> handler) {
  fatalHandler_ = std::move(handler);
}

void RunControls::SetWorkerEndedHandler(std::function<void()> handler) {
  workerEndedHandler_ = std::move(handler);
}

void RunControls::SetPartition(const BatchPartition& partition) {
  if (!partition.IsValid() || partition.jobs > kMaxJobs)
    throw std::invalid_argument("a batch needs at least one worker and a shard K/N with K below N");
  std::lock_guard<std::mutex> lock(mutex_);
  partition_ = partition;
}

BatchPartition RunControls::Partition() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return partition_;
}

}  // namespace mirelock
