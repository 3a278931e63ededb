#include "app/MonitorFileReader.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace mirelock {

namespace {

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> cells;
  std::string_view::size_type start = 0;
  while (true) {
    const auto tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return cells;
}

std::optional<double> ParseNumber(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

constexpr std::size_t kLongestHeader = 65536;

int FindColumn(const std::vector<std::string_view>& names, std::initializer_list<const char*> candidates) {
  for (const char* candidate : candidates)
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == candidate) return static_cast<int>(i);
  return -1;
}

}  // namespace

MonitorFileReader::MonitorFileReader(std::string path) : path_(std::move(path)) {}

void MonitorFileReader::DropPoints() {
  repairs_.clear();
  for (Series& s : series_) s.values.clear();
}

void MonitorFileReader::Rewind() {
  offset_ = 0;
  header_.clear();
  repairsColumn_ = -1;
  columns_.clear();
  lastColumn_ = -1;
  repairs_.clear();
  series_.clear();
  lineNumber_ = 0;
}

bool MonitorFileReader::ReadHeader(std::string_view line) {
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
    std::initializer_list<const char*> candidates;
    const char* label;
  };
  const Wanted wanted[] = {
      {{"Cost", "Current_Cost"}, "Cost"},
      {{"Best_Cost"}, "Best cost"},
      {{"Augmented_Cost", "Current_Aug_Cost"}, "Augmented cost"},
  };
  lastColumn_ = repairsColumn_;
  for (const auto& [candidates, label] : wanted) {
    const int column = FindColumn(names, candidates);
    if (column < 0) continue;
    columns_.push_back(column);
    lastColumn_ = std::max(lastColumn_, column);
    series_.push_back(Series{label, {}});
  }
  ++run_;
  return true;
}

bool MonitorFileReader::ReadRow(std::string_view line, std::string& fault) {
  if (line == header_) {
    // A second header: the solver has started writing another run into the same file.
    DropPoints();
    ++run_;
    return true;
  }
  // Walk the cells once, keeping those of the wanted columns; no allocation per line.
  rowValues_.assign(static_cast<std::size_t>(lastColumn_) + 1, 0.0);
  int column = 0;
  std::string_view::size_type start = 0;
  std::optional<double> repairs;
  int reached = -1;
  while (column <= lastColumn_) {
    const auto tab = line.find('\t', start);
    const std::string_view cell =
        line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
    const auto value = ParseNumber(cell);
    if (column == repairsColumn_) repairs = value;
    rowValues_[static_cast<std::size_t>(column)] = value ? *value : std::nan("");
    reached = column;
    if (tab == std::string_view::npos) break;
    start = tab + 1;
    ++column;
  }
  if (!repairs) {
    fault = "the Repairs column holds no number";
    return false;
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i] > reached || std::isnan(rowValues_[static_cast<std::size_t>(columns_[i])])) {
      fault = "the " + series_[i].name + " column holds no number";
      return false;
    }
  }
  if (!repairs_.empty() && *repairs < repairs_.back()) {
    // Repairs count from 0 again: a new run.
    DropPoints();
    ++run_;
  }
  repairs_.push_back(*repairs);
  for (std::size_t i = 0; i < columns_.size(); ++i)
    series_[i].values.push_back(rowValues_[static_cast<std::size_t>(columns_[i])]);
  return true;
}

bool MonitorFileReader::Poll(std::uint64_t maxBytes) {
  more_ = false;
  if (error_) return false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
      // Not written yet (the run has not started): nothing to show, no fault.
      if (offset_ == 0) return false;
      Rewind();
      return true;
    }
    exists_ = true;
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    bool changed = false;
    if (size < offset_) {
      // Rewritten from the start by the next run; its header counts the run.
      Rewind();
      changed = true;
    }
    if (size == offset_) return changed;
    const std::uint64_t wanted = std::min(size - offset_, std::max<std::uint64_t>(maxBytes, 1));
    in.seekg(static_cast<std::streamoff>(offset_));
    std::string chunk(static_cast<std::size_t>(wanted), '\0');
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    chunk.resize(static_cast<std::size_t>(in.gcount()));

    std::string_view view(chunk);
    std::string_view::size_type start = 0;
    bool failed = false;
    std::string fault;
    while (true) {
      const auto end = view.find('\n', start);
      if (end == std::string_view::npos) {
        // A line still being written waits for its end; a first line that never
        // ends is not a header.
        if (header_.empty() && size - offset_ > kLongestHeader) {
          error_ = path_ + " is not a monitor output file: its first line does not end.";
          return true;
        }
        break;
      }
      std::string_view line = view.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
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
    if (!failed) {
      // A chunk cut inside a line leaves that line for the next poll.
      const bool limited = chunk.size() < size - (offset_ - start);
      if (limited && start == 0) {
        std::ostringstream message;
        message << path_ << ", line " << lineNumber_ + 1 << ": the line is longer than " << wanted
                << " bytes.";
        error_ = message.str();
        return true;
      }
      more_ = limited;
      return changed;
    }
    if (attempt == 0 && offset_ > 0) {
      // The file may have been rewritten and grown past our place between two
      // polls; read it again from the start before calling it malformed.
      Rewind();
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
