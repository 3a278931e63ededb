#include "app/MonitorFileReader.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace mirelock {

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  std::string::size_type start = 0;
  while (true) {
    const auto tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return cells;
}

std::optional<double> ParseNumber(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

constexpr std::size_t kLongestHeader = 65536;

int FindColumn(const std::vector<std::string>& names, const std::vector<const char*>& candidates) {
  for (const char* candidate : candidates)
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == candidate) return static_cast<int>(i);
  return -1;
}

}  // namespace

MonitorFileReader::MonitorFileReader(std::string path) : path_(std::move(path)) {}

void MonitorFileReader::Reset() {
  offset_ = 0;
  header_.clear();
  repairsColumn_ = -1;
  columns_.clear();
  repairs_.clear();
  series_.clear();
  lineNumber_ = 0;
  run_ = 0;
}

bool MonitorFileReader::ReadHeader(const std::string& line) {
  const auto names = SplitTabs(line);
  repairsColumn_ = FindColumn(names, {"Repairs"});
  if (repairsColumn_ < 0) {
    error_ = path_ + " is not a monitor output file: its first line names no Repairs column.";
    return false;
  }
  header_ = line;
  columns_.clear();
  series_.clear();
  struct Wanted {
    std::vector<const char*> candidates;
    const char* label;
  };
  const Wanted wanted[] = {
      {{"Cost", "Current_Cost"}, "Cost"},
      {{"Best_Cost"}, "Best cost"},
      {{"Augmented_Cost", "Current_Aug_Cost"}, "Augmented cost"},
  };
  for (const auto& [candidates, label] : wanted) {
    const int column = FindColumn(names, candidates);
    if (column < 0) continue;
    columns_.push_back(column);
    series_.push_back(Series{label, {}});
  }
  run_ = 1;
  return true;
}

bool MonitorFileReader::ReadRow(const std::string& line, std::string& fault) {
  if (line == header_) {
    // A second header: the solver has started writing another run into the same file.
    repairs_.clear();
    for (Series& s : series_) s.values.clear();
    ++run_;
    return true;
  }
  const auto cells = SplitTabs(line);
  const auto cell = [&](int column) -> std::optional<double> {
    if (column >= static_cast<int>(cells.size())) return std::nullopt;
    return ParseNumber(cells[static_cast<std::size_t>(column)]);
  };
  const auto repairs = cell(repairsColumn_);
  if (!repairs) {
    fault = "the Repairs column holds no number";
    return false;
  }
  std::vector<double> values;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const auto value = cell(columns_[i]);
    if (!value) {
      fault = "the " + series_[i].name + " column holds no number";
      return false;
    }
    values.push_back(*value);
  }
  if (!repairs_.empty() && *repairs < repairs_.back()) {
    // Repairs count from 0 again: a new run.
    repairs_.clear();
    for (Series& s : series_) s.values.clear();
    ++run_;
  }
  repairs_.push_back(*repairs);
  for (std::size_t i = 0; i < values.size(); ++i) series_[i].values.push_back(values[i]);
  return true;
}

bool MonitorFileReader::Poll() {
  if (error_) return false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
      // Not written yet (the run has not started): nothing to show, no fault.
      if (offset_ == 0) return false;
      Reset();
      return true;
    }
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    bool changed = false;
    if (size < offset_) {
      // Rewritten from the start by the next run.
      Reset();
      changed = true;
    }
    if (size == offset_) return changed;
    in.seekg(static_cast<std::streamoff>(offset_));
    std::string chunk(static_cast<std::size_t>(size - offset_), '\0');
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.resize(static_cast<std::size_t>(in.gcount()));

    std::string::size_type start = 0;
    bool failed = false;
    std::string fault;
    while (true) {
      const auto end = chunk.find('\n', start);
      if (end == std::string::npos) {
        // A line still being written waits for its end; a first line that never
        // ends is not a header.
        if (header_.empty() && chunk.size() - start > kLongestHeader) {
          error_ = path_ + " is not a monitor output file: its first line does not end.";
          return true;
        }
        break;
      }
      std::string line = chunk.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      ++lineNumber_;
      const bool ok = header_.empty() ? ReadHeader(line) : (line.empty() || ReadRow(line, fault));
      if (error_) return true;
      if (!ok) {
        failed = true;
        break;
      }
      offset_ += end - start + 1;
      start = end + 1;
      changed = true;
    }
    if (!failed) return changed;
    if (attempt == 0 && offset_ > 0) {
      // The file may have been rewritten and grown past our place between two
      // polls; read it again from the start before calling it malformed.
      Reset();
      continue;
    }
    std::ostringstream message;
    message << path_ << ", line " << lineNumber_ << ": " << fault << '.';
    error_ = message.str();
    return true;
  }
  return true;
}

}  // namespace mirelock
