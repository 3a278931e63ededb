#include "tsp/TSPMonitorWriter.h"

#include <cerrno>

#include "platform/NumberFormat.h"

namespace mirelock {

void TSPMonitorWriter::NoteFailure() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
  // A file that cannot take a line gets no further lines; the run itself goes on.
  open_ = false;
}

void TSPMonitorWriter::StartRun(const std::string& fileName, std::int32_t every) {
  if (file_.is_open()) file_.close();
  open_ = false;
  if (fileName.empty()) return;
  file_.clear();
  errno = 0;
  file_.open(fileName, std::ios::out | std::ios::trunc);
  if (!file_.is_open()) return NoteFailure();
  UseDefaultNumberFormat(file_);
  open_ = true;
  // A period below 1 would never come round; the parameter dialog refuses it, a program might not.
  every_ = every < 1 ? 1u : static_cast<std::uint32_t>(every);
  file_ << "Repairs\tBest_Cost\tCost\tAugmented_Cost\t\n";
}

void TSPMonitorWriter::Write(const TSPMonitorPoint& point) {
  errno = 0;
  file_ << point.repairs << "\t" << point.bestCost << "\t" << point.cost << "\t" << point.augmentedCost
        << "\t\n";
  file_.flush();
  if (!file_) NoteFailure();
}

}  // namespace mirelock
