#include "tsp/TSPMonitorWriter.h"

#include "platform/NumberFormat.h"
#include "tsp/TSPSolver.h"

namespace mirelock {

void TSPMonitorWriter::StartRun(TSPSolver& solver, const std::string& fileName, std::int32_t every) {
  if (file_.is_open()) file_.close();
  open_ = false;
  if (fileName.empty()) return;
  file_.clear();
  file_.open(fileName, std::ios::out | std::ios::trunc);
  if (!file_.is_open()) return;
  UseDefaultNumberFormat(file_);
  open_ = true;
  // A period below 1 would never come round; the parameter dialog refuses it, a program might not.
  every_ = every < 1 ? 1u : static_cast<std::uint32_t>(every);
  file_ << "Repairs\tBest_Cost\tCost\tAugmented_Cost\t\n";
  WriteLineIfDue(solver);
}

void TSPMonitorWriter::WriteLineIfDue(TSPSolver& solver) {
  const std::uint32_t repairs = solver.Stats().Repairs();
  if (repairs % every_ != 0) return;
  // Costs are written as the results rows write them, as unsigned 32-bit numbers; the augmented
  // cost in tour-cost units, penalties included.
  const double augmented =
      static_cast<double>(solver.AugmentedCost()) / static_cast<double>(solver.CostMultiplier());
  file_ << repairs << "\t" << static_cast<std::uint32_t>(solver.GetBestCost()) << "\t"
        << static_cast<std::uint32_t>(solver.Cost()) << "\t" << augmented << "\t\n";
  file_.flush();
}

}  // namespace mirelock
