#include "runner/TraceFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/InputFile.h"

namespace mirelock {

std::string TraceFileName(const std::string& resultsFileName) {
  const std::string suffix = ".txt";
  const bool txt = resultsFileName.size() >= suffix.size() &&
                   resultsFileName.compare(resultsFileName.size() - suffix.size(), suffix.size(), suffix) == 0;
  return (txt ? resultsFileName.substr(0, resultsFileName.size() - suffix.size()) : resultsFileName) + ".trace";
}

void WriteTraceHeader(std::ostream& out) { out << kTraceHeader << '\n'; }

namespace {

std::string Seconds(long milliseconds) {
  const long ms = milliseconds < 0 ? 0 : milliseconds;
  char text[32];
  std::snprintf(text, sizeof text, "%ld.%03ld", ms / 1000, ms % 1000);
  return text;
}

}  // namespace

void WriteTraceRun(std::ostream& out, unsigned run, const RunTrace& trace) {
  for (const TracePoint& point : trace.Points())
    out << run << '\t' << point.repairs << '\t' << Seconds(point.cpuMilliseconds) << '\t' << point.cost << '\n';
  out << run << '\t' << trace.EndRepairs() << '\t' << Seconds(trace.EndCpuMilliseconds()) << "\tend\n";
}

namespace {

template <typename Number>
bool ParseField(const std::string& line, std::size_t& pos, Number& value, bool last) {
  const std::size_t end = last ? line.size() : line.find('\t', pos);
  if (end == std::string::npos || end == pos) return false;
  const char* first = line.data() + pos;
  const char* stop = line.data() + end;
  const auto result = std::from_chars(first, stop, value);
  if (result.ec != std::errc() || result.ptr != stop) return false;
  pos = end + 1;
  return true;
}

// Lines longer than this are not a trace file's.
constexpr std::size_t kLongestLine = 128;

}  // namespace

TraceFileContents ReadTraceFile(const std::string& path, const std::vector<std::optional<double>>& repairsToBest) {
  TraceFileContents contents;
  auto fail = [&](const std::string& what) {
    contents.runs.clear();
    contents.error = "Trace file " + path + ": " + what;
    return contents;
  };
  InputFileStream in(path);
  if (!in) {
    std::error_code ignored;
    const bool missing = !std::filesystem::exists(path, ignored);
    fail(missing ? "missing" : "unreadable (" + in.Error() + ")");
    contents.missing = missing;
    return contents;
  }
  std::string line;
  if (!std::getline(in, line) || line != kTraceHeader) return fail("no trace header on line 1");
  std::size_t lineNumber = 1;
  unsigned lastRun = 0;
  bool runOpen = false;
  while (std::getline(in, line)) {
    ++lineNumber;
    const std::string where = "line " + std::to_string(lineNumber);
    if (in.eof()) return fail(where + " is cut off (no line end)");
    if (line.size() > kLongestLine) return fail(where + " is too long");
    std::size_t pos = 0;
    unsigned run = 0;
    std::uint64_t repairs = 0;
    double seconds = 0;
    std::int64_t cost = 0;
    const bool end = line.ends_with("\tend");
    if (!ParseField(line, pos, run, false) || !ParseField(line, pos, repairs, false) ||
        !ParseField(line, pos, seconds, false) || (end ? pos + 3 != line.size() : !ParseField(line, pos, cost, true)))
      return fail(where + " is not run, repairs, CPU seconds and cost");
    // A run opens with its first line after the previous run's end line.
    if (run != (runOpen ? lastRun : lastRun + 1)) return fail(where + " has run " + std::to_string(run) + " out of order");
    if (!runOpen) {
      contents.runs.emplace_back();
      lastRun = run;
      runOpen = true;
    }
    TracedRun& traced = contents.runs.back();
    if (!traced.repairs.empty() && repairs < traced.repairs.back()) return fail(where + " goes back in repairs");
    if (end) {
      traced.totalRepairs = repairs;
      traced.totalCpuSeconds = seconds;
      runOpen = false;
      continue;
    }
    traced.repairs.push_back(repairs);
    traced.cpuSeconds.push_back(seconds);
    traced.cost.push_back(cost);
  }
  if (in.bad()) return fail("read error");
  if (runOpen) return fail("run " + std::to_string(lastRun) + " has no end line (the file is cut)");
  if (contents.runs.size() != repairsToBest.size())
    return fail("holds " + std::to_string(contents.runs.size()) + " runs, its results file " +
                std::to_string(repairsToBest.size()));
  for (std::size_t r = 0; r < repairsToBest.size(); ++r)
    if (repairsToBest[r] && !contents.runs[r].repairs.empty() &&
        static_cast<double>(contents.runs[r].repairs.back()) != *repairsToBest[r])
      return fail("run " + std::to_string(r + 1) + " ends at repair " +
                  std::to_string(contents.runs[r].repairs.back()) + ", its results row says " +
                  std::to_string(static_cast<std::uint64_t>(*repairsToBest[r])));
  return contents;
}

}  // namespace mirelock
