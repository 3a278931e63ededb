#include "sat/TextScanner.h"

#include <cstring>
#include <limits>

#include "platform/FatalError.h"

namespace mirelock {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

TextScanner::TextScanner(std::istream& in, const std::string& sourceName) {
  std::streambuf* source = in.good() ? in.rdbuf() : nullptr;
  if (source != nullptr) {
    // Read in large blocks straight into the buffer; a file stream also
    // tells its size up front, which saves the regrowth. The room is taken
    // only once the first block has proved to be text.
    const auto here = source->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    const auto end = source->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    std::size_t size = 0;
    if (here != std::streampos(-1) && end != std::streampos(-1) && end >= here) {
      source->pubseekpos(here, std::ios_base::in);
      size = static_cast<std::size_t>(end - here);
    }
    char block[1 << 16];
    for (std::streamsize got; (got = source->sgetn(block, sizeof block)) > 0;) {
      if (const void* nul = std::memchr(block, '\0', static_cast<std::size_t>(got))) {
        const std::size_t offset =
            data_.size() + static_cast<std::size_t>(static_cast<const char*>(nul) - block);
        throw FatalError(sourceName + ": byte " + std::to_string(offset + 1) +
                             " is a NUL character; this is not a text file",
                         OutputStream::Err, 1);
      }
      if (data_.empty() && size > data_.capacity()) data_.reserve(size);
      data_.append(block, static_cast<std::size_t>(got));
    }
  }
  in.setstate(std::ios_base::eofbit);
}

void TextScanner::SkipSpace() {
  while (position_ < data_.size() && IsSpace(data_[position_])) ++position_;
}

int TextScanner::NextChar() {
  SkipSpace();
  if (position_ >= data_.size()) return -1;
  return static_cast<unsigned char>(data_[position_++]);
}

void TextScanner::SkipLine() {
  while (position_ < data_.size() && data_[position_] != '\n') ++position_;
  if (position_ < data_.size()) ++position_;
}

std::string_view TextScanner::NextWord() {
  SkipSpace();
  const std::size_t start = position_;
  while (position_ < data_.size() && !IsSpace(data_[position_])) ++position_;
  return std::string_view(data_).substr(start, position_ - start);
}

TextScanner::Result TextScanner::ReadInteger(long long& value) {
  SkipSpace();
  if (position_ >= data_.size()) return Result::kEnd;
  std::size_t at = position_;
  bool negative = false;
  if (data_[at] == '-' || data_[at] == '+') negative = data_[at++] == '-';
  const std::size_t firstDigit = at;
  constexpr unsigned long long kLimit =
      static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  unsigned long long magnitude = 0;
  while (at < data_.size() && data_[at] >= '0' && data_[at] <= '9') {
    magnitude = magnitude * 10 + static_cast<unsigned>(data_[at] - '0');
    if (magnitude > kLimit) magnitude = kLimit;  // saturate: far beyond any valid count or literal
    ++at;
  }
  // A number must be a whole token: "12abc" is not an integer.
  if (at == firstDigit || (at < data_.size() && !IsSpace(data_[at]))) return Result::kNotInteger;
  position_ = at;
  value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return Result::kOk;
}

std::string TextScanner::PendingToken() {
  SkipSpace();
  std::size_t end = position_;
  while (end < data_.size() && !IsSpace(data_[end]) && end - position_ < 40) ++end;
  return data_.substr(position_, end - position_);
}

}  // namespace mirelock
