#pragma once
#include <ostream>

#include "summary/ReportContent.h"

namespace mirelock {

// The full results file: per column, every run's value of every problem with
// the experiments side by side, and the overall mean of each experiment.
// Experiments with fewer runs than the longest show "NA" in the extra rows.
class FullResultsReport {
 public:
  explicit FullResultsReport(const ReportContent& content) : content_(content) {}
  void Write(std::ostream& out) const;

 private:
  const ReportContent& content_;
};

}  // namespace mirelock
