#include "summary/ResultsTable.h"

#include <algorithm>

namespace mirelock {

ResultsTable::ResultsTable(std::vector<std::string> problems, std::vector<std::uint32_t> runsPerExperiment)
    : problems_(std::move(problems)),
      runs_(std::move(runsPerExperiment)),
      cells_(problems_.size() * runs_.size()) {}

std::uint32_t ResultsTable::MaxRuns() const {
  return runs_.empty() ? 0 : *std::max_element(runs_.begin(), runs_.end());
}

std::size_t ResultsTable::AddColumn(const std::string& name) {
  const auto [it, inserted] = columnIndex_.emplace(name, columns_.size());
  if (inserted) {
    columns_.push_back(name);
    originalColumns_.push_back(name);
  }
  return it->second;
}

std::optional<std::size_t> ResultsTable::FindColumn(const std::string& name) const {
  const auto it = columnIndex_.find(name);
  if (it == columnIndex_.end()) return std::nullopt;
  return it->second;
}

void ResultsTable::Set(std::size_t problem, std::size_t experiment, std::uint32_t run, std::size_t column,
                       Cell value) {
  if (run >= runs_[experiment]) return;
  if (!value && !Get(problem, experiment, run, column)) return;
  PairCells& pair = Pair(problem, experiment);
  // Storage grows with the rows actually read, so a document asking for a huge
  // number of runs costs nothing until the rows exist.
  if (pair.size() <= column) pair.resize(column + 1);
  std::vector<Cell>& runs = pair[column];
  if (runs.size() <= run) runs.resize(run + 1);
  runs[run] = value;
}

ResultsTable::Cell ResultsTable::Get(std::size_t problem, std::size_t experiment, std::uint32_t run,
                                     std::size_t column) const {
  const PairCells& pair = Pair(problem, experiment);
  if (column >= pair.size() || run >= pair[column].size()) return std::nullopt;
  return pair[column][run];
}

}  // namespace mirelock
