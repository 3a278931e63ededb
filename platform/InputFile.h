#pragma once
#include <cstdint>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace mirelock {

// A file opened for reading only when it is a regular file. It is opened
// without waiting (O_NONBLOCK), so a FIFO left under a file's name cannot block
// the process, and then checked with fstat: a FIFO, directory, socket or device
// (/dev/zero, a terminal) is refused, since none of them is a file this program
// writes and several never end.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  void Close();
  int Descriptor() const { return fd_; }
  // The size fstat gave when the file was opened.
  std::uint64_t Size() const { return size_; }
  // Why the file is not open, naming it: "PATH: No such file or directory",
  // "PATH is a FIFO, not a regular file"; empty when it is open.
  const std::string& Error() const { return error_; }
  // True when the name exists but is not a regular file.
  bool NotRegular() const { return notRegular_; }

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::string error_;
  bool notRegular_ = false;
};

// Reads an InputFile through a buffer of its own.
class InputFileBuffer : public std::streambuf {
 public:
  explicit InputFileBuffer(const InputFile& file) : file_(file) {}

 protected:
  int_type underflow() override;
  std::streamsize xsgetn(char* s, std::streamsize count) override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

 private:
  const InputFile& file_;
  char buffer_[1 << 16];
};

// In place of std::ifstream for every file the program reads: it fails to open
// (like a missing file) on anything but a regular file, and Error() says why.
class InputFileStream : public std::istream {
 public:
  explicit InputFileStream(const std::string& path);
  bool is_open() const { return file_.IsOpen(); }
  void close() { file_.Close(); }
  const std::string& Error() const { return file_.Error(); }
  bool NotRegular() const { return file_.NotRegular(); }
  std::uint64_t Size() const { return file_.Size(); }

 private:
  InputFile file_;
  InputFileBuffer buffer_;
};

enum class BoundedRead { kRead, kEnd, kTooLong };

// One line without its '\n', of at most maxLength characters. A longer line
// gives kTooLong after reading maxLength + 1 of its characters, so a file with
// no line ends (a sparse file, random bytes) costs no more than the bound.
// kEnd only when nothing at all was left.
BoundedRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t maxLength);

// One white-space separated word, as `in >> word` reads it, of at most
// maxLength characters; kTooLong after reading maxLength + 1 of them.
BoundedRead ReadBoundedWord(std::istream& in, std::string& word, std::size_t maxLength);

}  // namespace mirelock
