#include "qap/QAPSolver.h"

namespace mirelock {

void QAPSolver::Solve() {
  ++runNumber_;
  auto stop = [this] {
    PublishRunProgress(stats_.Repairs(), parameters_.maxRepairs);
    return StopTest();
  };
  // A search copies its instance's matrices and sizes its arrays by them: a new instance needs a new one.
  if (searchGeneration_ != problem_.Generation()) {
    narrow_.reset();
    wideSearch_.reset();
    searchGeneration_ = problem_.Generation();
  }
  if (!narrow_ && !wideSearch_) {
    wide_ = problem_.NeedsWideArithmetic();
    if (wide_) {
      wideSearch_ = std::make_unique<QAPSearch<std::int64_t>>(problem_, parameters_, stats_, stop);
    } else {
      narrow_ = std::make_unique<QAPSearch<std::int32_t>>(problem_, parameters_, stats_, stop);
    }
  }
  if (wide_) {
    wideSearch_->Run(runNumber_);
    bestPerm_ = wideSearch_->BestPerm();
  } else {
    narrow_->Run(runNumber_);
    bestPerm_ = narrow_->BestPerm();
  }
}

int QAPSolver::MonitorWriteError() const {
  if (wideSearch_) return wideSearch_->MonitorError();
  return narrow_ ? narrow_->MonitorError() : 0;
}

}  // namespace mirelock
