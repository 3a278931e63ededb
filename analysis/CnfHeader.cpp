#include "analysis/CnfHeader.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace mirelock::analysis {

namespace {

constexpr std::size_t kMaxBytesBeforeHeader = 1 << 20;
constexpr std::size_t kChunk = 4096;

enum class LineKind { kSkip, kHeader, kOther };

LineKind Classify(const std::string& line, std::uint64_t& variables) {
  const std::size_t start = line.find_first_not_of(" \t\r");
  if (start == std::string::npos || line[start] == 'c' || line[start] == '#') return LineKind::kSkip;
  std::istringstream header(line.substr(start));
  std::string p, format;
  long long declared = -1;
  if (!(header >> p >> format >> declared) || p != "p" || format != "cnf" || declared < 0) return LineKind::kOther;
  variables = static_cast<std::uint64_t>(declared);
  return LineKind::kHeader;
}

}  // namespace

std::optional<std::uint64_t> CnfDeclaredVariables(const std::string& path) {
  // A FIFO or device would block or never end: only regular files are opened.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  std::string pending;
  char chunk[kChunk];
  std::size_t consumed = 0;
  while (consumed < kMaxBytesBeforeHeader) {
    file.read(chunk, kChunk);
    const std::size_t got = static_cast<std::size_t>(file.gcount());
    consumed += got;
    pending.append(chunk, got);
    const bool atEnd = got < kChunk;
    if (atEnd) pending += '\n';
    std::size_t begin = 0;
    for (std::size_t end; (end = pending.find('\n', begin)) != std::string::npos; begin = end + 1) {
      std::uint64_t variables = 0;
      switch (Classify(pending.substr(begin, end - begin), variables)) {
        case LineKind::kHeader: return variables;
        case LineKind::kOther: return std::nullopt;
        case LineKind::kSkip: break;
      }
    }
    pending.erase(0, begin);
    if (atEnd) break;
  }
  return std::nullopt;
}

}  // namespace mirelock::analysis
