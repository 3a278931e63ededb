#pragma once
#include <ostream>

#include "summary/ReportContent.h"

namespace mirelock {

// The results summary file: a short summary of every column averaged over the
// problems, then one block per column with each problem's statistics. Every
// line has four groups side by side (Mean, Stddev, Min, Max), each a label
// cell, one cell per experiment and two empty cells.
class SummaryReport {
 public:
  explicit SummaryReport(const ReportContent& content) : content_(content) {}
  void Write(std::ostream& out) const;

 private:
  void WriteShortSummary(std::ostream& out) const;
  void WriteColumnBlock(std::ostream& out, std::size_t column) const;
  void WriteLabelCells(std::ostream& out) const;
  void WritePerExperimentGroups(std::ostream& out, const std::string& label, std::size_t column) const;

  const ReportContent& content_;
};

}  // namespace mirelock
