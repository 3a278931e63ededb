#pragma once
#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace mirelock {

// Reads a whole problem file into memory and hands out whitespace-separated
// items. Parsing from a buffer instead of a stream keeps a million-clause
// file well under a second, and a failed integer never leaves a stream stuck
// in a loop.
class TextScanner {
 public:
  enum class Result { kOk, kNotInteger, kEnd };

  // A NUL byte, which no text file holds (a sparse or binary file does), is a
  // FatalError naming `sourceName`, raised at the block that holds it, so
  // such a file costs one block of memory and not its whole length.
  TextScanner(std::istream& in, const std::string& sourceName);

  // Next character after white space, or -1 at the end of input.
  int NextChar();
  // Steps back over the character NextChar just returned.
  void PutBack() {
    if (position_ > 0) --position_;
  }
  // Discards everything up to and including the next line end.
  void SkipLine();
  std::string_view NextWord();

  // A signed decimal integer. On kNotInteger the offending token is left in
  // place for PendingToken(); values beyond 64 bits saturate, so callers
  // reject them with their own range check.
  Result ReadInteger(long long& value);
  // The token at the current position (for error messages), at most 40 characters.
  std::string PendingToken();
  // True only when no character at all is left, white space included.
  bool AtEnd() const { return position_ >= data_.size(); }
  std::size_t RemainingBytes() const { return data_.size() - position_; }

 private:
  void SkipSpace();

  std::string data_;
  std::size_t position_ = 0;
};

}  // namespace mirelock
