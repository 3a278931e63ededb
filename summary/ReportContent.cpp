#include "summary/ReportContent.h"

#include "platform/NumberFormat.h"

namespace mirelock {

void WriteCell(std::ostream& out, const std::optional<double>& value) {
  if (value)
    out << FormatNumber(*value) << ',';
  else
    out << "NA,";
}

void WriteReportTitle(std::ostream& out, const ReportContent& content) {
  out << "GLS experiment with " << content.description.fixedText << "\n";
  out << "Problems from directory: " << content.problemsDirectory << "\n";
}

}  // namespace mirelock
