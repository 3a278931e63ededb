#include "platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace mirelock {

namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  return nullptr;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
  // O_NONBLOCK only matters for the open of a FIFO (which would otherwise wait
  // for a writer); it is cleared again before any read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error_ = path + ": " + std::strerror(errno);
    return;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    error_ = path + ": " + std::strerror(errno);
    ::close(fd);
    return;
  }
  if (!S_ISREG(status.st_mode)) {
    const char* kind = KindOf(status.st_mode);
    error_ = path + " is " + (kind != nullptr ? std::string(kind) + ", not" : std::string("not")) +
             " a regular file";
    notRegular_ = true;
    ::close(fd);
    return;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(status.st_size);
}

InputFile::~InputFile() { Close(); }

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

InputFileBuffer::int_type InputFileBuffer::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!file_.IsOpen()) return traits_type::eof();
  ssize_t got;
  do {
    got = ::read(file_.Descriptor(), buffer_, sizeof buffer_);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return traits_type::eof();
  setg(buffer_, buffer_, buffer_ + got);
  return traits_type::to_int_type(*gptr());
}

std::streamsize InputFileBuffer::xsgetn(char* s, std::streamsize count) {
  std::streamsize done = 0;
  while (done < count) {
    if (gptr() == egptr() && underflow() == traits_type::eof()) break;
    const std::streamsize chunk = std::min<std::streamsize>(count - done, egptr() - gptr());
    std::memcpy(s + done, gptr(), static_cast<std::size_t>(chunk));
    gbump(static_cast<int>(chunk));
    done += chunk;
  }
  return done;
}

InputFileBuffer::pos_type InputFileBuffer::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                   std::ios_base::openmode which) {
  if (!(which & std::ios_base::in) || !file_.IsOpen()) return pos_type(off_type(-1));
  int whence = SEEK_SET;
  if (direction == std::ios_base::cur) {
    whence = SEEK_CUR;
    offset -= egptr() - gptr();  // the descriptor is ahead of the reader by what is buffered
  } else if (direction == std::ios_base::end) {
    whence = SEEK_END;
  }
  const off_t at = ::lseek(file_.Descriptor(), static_cast<off_t>(offset), whence);
  if (at < 0) return pos_type(off_type(-1));
  setg(buffer_, buffer_, buffer_);
  return pos_type(static_cast<off_type>(at));
}

InputFileBuffer::pos_type InputFileBuffer::seekpos(pos_type position, std::ios_base::openmode which) {
  return seekoff(off_type(position), std::ios_base::beg, which);
}

InputFileStream::InputFileStream(const std::string& path)
    : std::istream(nullptr), file_(path), buffer_(file_) {
  rdbuf(&buffer_);
  if (!file_.IsOpen()) setstate(std::ios_base::failbit);
}

BoundedRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t maxLength) {
  line.clear();
  std::streambuf* source = in.rdbuf();
  if (source == nullptr || !in.good()) {
    in.setstate(std::ios_base::failbit);
    return BoundedRead::kEnd;
  }
  using Traits = std::char_traits<char>;
  for (;;) {
    const int c = source->sbumpc();
    if (c == Traits::eof()) {
      in.setstate(line.empty() ? std::ios_base::eofbit | std::ios_base::failbit : std::ios_base::eofbit);
      return line.empty() ? BoundedRead::kEnd : BoundedRead::kRead;
    }
    if (c == '\n') return BoundedRead::kRead;
    if (line.size() == maxLength) {
      line.push_back(static_cast<char>(c));
      return BoundedRead::kTooLong;
    }
    line.push_back(static_cast<char>(c));
  }
}

BoundedRead ReadBoundedWord(std::istream& in, std::string& word, std::size_t maxLength) {
  word.clear();
  std::streambuf* source = in.rdbuf();
  if (source == nullptr || !in.good()) {
    in.setstate(std::ios_base::failbit);
    return BoundedRead::kEnd;
  }
  using Traits = std::char_traits<char>;
  int c = source->sgetc();
  while (c != Traits::eof() && std::isspace(c)) c = source->snextc();
  for (; c != Traits::eof() && !std::isspace(c); c = source->snextc()) {
    if (word.size() == maxLength) {
      word.push_back(static_cast<char>(c));
      source->sbumpc();  // consumed, as ReadBoundedLine consumes what it returns
      return BoundedRead::kTooLong;
    }
    word.push_back(static_cast<char>(c));
  }
  if (c == Traits::eof()) in.setstate(std::ios_base::eofbit);
  if (word.empty()) {
    in.setstate(std::ios_base::failbit);
    return BoundedRead::kEnd;
  }
  return BoundedRead::kRead;
}

}  // namespace mirelock
