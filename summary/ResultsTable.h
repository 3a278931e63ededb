#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace mirelock {

// Every value read from the results files of the completed problems: one
// cell per problem, experiment, run and column. A missing cell (an "NA"
// field, a column the file's header lacks, a row that ends early) holds no
// value; the statistics over a missing cell are missing too.
class ResultsTable {
 public:
  using Cell = std::optional<double>;

  ResultsTable() = default;
  ResultsTable(std::vector<std::string> problems, std::vector<std::uint32_t> runsPerExperiment);

  const std::vector<std::string>& Problems() const { return problems_; }
  std::size_t ProblemCount() const { return problems_.size(); }
  std::size_t ExperimentCount() const { return runs_.size(); }
  std::uint32_t Runs(std::size_t experiment) const { return runs_[experiment]; }
  // The largest number of runs of any experiment (rows per problem in the full results).
  std::uint32_t MaxRuns() const;

  // Columns in the order first met; AddColumn returns the index of an existing name.
  std::size_t AddColumn(const std::string& name);
  std::optional<std::size_t> FindColumn(const std::string& name) const;
  std::size_t ColumnCount() const { return columns_.size(); }
  const std::string& ColumnName(std::size_t column) const { return columns_[column]; }
  // Header text as it was read, before any cost conversion renamed the column.
  const std::string& OriginalColumnName(std::size_t column) const { return originalColumns_[column]; }
  void RenameColumn(std::size_t column, std::string name) { columns_[column] = std::move(name); }

  // Cells never set are missing. Runs at or beyond Runs(e) are ignored.
  void Set(std::size_t problem, std::size_t experiment, std::uint32_t run, std::size_t column, Cell value);
  Cell Get(std::size_t problem, std::size_t experiment, std::uint32_t run, std::size_t column) const;

 private:
  using PairCells = std::vector<std::vector<Cell>>;  // [column][run]
  const PairCells& Pair(std::size_t problem, std::size_t experiment) const {
    return cells_[problem * runs_.size() + experiment];
  }
  PairCells& Pair(std::size_t problem, std::size_t experiment) {
    return cells_[problem * runs_.size() + experiment];
  }

  std::vector<std::string> problems_;
  std::vector<std::uint32_t> runs_;
  std::vector<std::string> columns_;
  std::vector<std::string> originalColumns_;
  std::unordered_map<std::string, std::size_t> columnIndex_;
  std::vector<PairCells> cells_;
};

}  // namespace mirelock
