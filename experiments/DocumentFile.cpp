#include "experiments/DocumentFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "experiments/CMirelockDoc.h"
#include "platform/AtomicFileWriter.h"
#include "platform/DocumentLock.h"
#include "platform/UserMessages.h"

namespace mirelock {

namespace {

// A short read means the file ended before what it announced.
std::string PastEndMessage(const std::string& fileName) {
  return "An attempt was made to access " + fileName + " past its end.";
}

class ByteWriter {
 public:
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  void Word16(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Word32(std::uint32_t value) {
    Word16(static_cast<std::uint16_t>(value));
    Word16(static_cast<std::uint16_t>(value >> 16));
  }
  void Bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

  // Length prefix: one byte below 255, else 0xFF and 16 bits below 0xFFFE,
  // else 0xFF, 0xFFFF and 32 bits.
  void String(const std::string& text) {
    const std::size_t length = text.size();
    if (length < 0xFF) {
      Byte(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
      Byte(0xFF);
      Word16(static_cast<std::uint16_t>(length));
    } else {
      Byte(0xFF);
      Word16(0xFFFF);
      Word32(static_cast<std::uint32_t>(length));
    }
    Bytes({reinterpret_cast<const std::uint8_t*>(text.data()), length});
  }

  void Count(std::size_t count) {
    if (count < 0xFFFF) {
      Word16(static_cast<std::uint16_t>(count));
    } else {
      Word16(0xFFFF);
      Word32(static_cast<std::uint32_t>(count));
    }
  }

  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Every read checks what remains first, so a length or count from the file
// is never trusted with an allocation larger than the file itself.
class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, const std::string& fileName)
      : bytes_(bytes), fileName_(fileName) {}

  std::uint8_t Byte() {
    Need(1);
    return bytes_[pos_++];
  }
  std::uint16_t Word16() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }
  std::uint32_t Word32() {
    const std::uint32_t low = Word16();
    return low | (static_cast<std::uint32_t>(Word16()) << 16);
  }
  std::uint64_t Word64() {
    const std::uint64_t low = Word32();
    return low | (static_cast<std::uint64_t>(Word32()) << 32);
  }
  std::span<const std::uint8_t> Bytes(std::uint64_t count) {
    Need(count);
    auto out = bytes_.subspan(pos_, static_cast<std::size_t>(count));
    pos_ += static_cast<std::size_t>(count);
    return out;
  }

  // Strings of 16-bit characters (prefix 0xFF 0xFFFE, then a length prefix)
  // are converted to UTF-8; 8-bit strings are taken byte for byte.
  std::string String() {
    bool wide = false;
    std::uint64_t length = Byte();
    if (length == 0xFF) {
      length = Word16();
      if (length == 0xFFFE) {
        wide = true;
        length = Byte();
        if (length == 0xFF) length = Word16();
      }
      if (length == 0xFFFF) {
        length = Word32();
        if (length == 0xFFFFFFFFu) length = Word64();
      }
    }
    if (!wide) {
      const auto text = Bytes(length);
      return std::string(text.begin(), text.end());
    }
    if (length > Remaining() / 2) throw DocumentFileError(PastEndMessage(fileName_));
    return Utf16ToUtf8(Bytes(length * 2));
  }

  std::uint64_t Count() {
    std::uint64_t count = Word16();
    if (count == 0xFFFF) {
      count = Word32();
      if (count == 0xFFFFFFFFu) count = Word64();
    }
    return count;
  }

  std::size_t Remaining() const { return bytes_.size() - pos_; }

  void Need(std::uint64_t count) const {
    if (count > Remaining()) throw DocumentFileError(PastEndMessage(fileName_));
  }

 private:
  static std::string Utf16ToUtf8(std::span<const std::uint8_t> units) {
    std::string out;
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
      std::uint32_t unit = units[i] | (units[i + 1] << 8);
      if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < units.size()) {
        const std::uint32_t next = units[i + 2] | (units[i + 3] << 8);
        if (next >= 0xDC00 && next < 0xE000) {
          AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
          i += 2;
          continue;
        }
      }
      if (unit >= 0xD800 && unit < 0xE000) unit = 0xFFFD;  // an unpaired surrogate
      AppendUtf8(out, unit);
    }
    return out;
  }

  std::span<const std::uint8_t> bytes_;
  const std::string& fileName_;
  std::size_t pos_ = 0;
};

// The stored fields, read completely before any of them reaches the document.
struct StoredFields {
  std::uint32_t problemType = 0;
  std::string problemsDir, resultsDir, fullResultsFile, summaryFile;
  std::vector<CExperiment> experiments;
  std::uint32_t ordering = 0, seedMode = 0, fixedSeed = 0;
};

StoredFields ReadFields(std::span<const std::uint8_t> bytes, const std::string& fileName,
                        DocumentFormats formats) {
  ByteReader in(bytes, fileName);
  StoredFields fields;
  fields.problemType = in.Word32();
  std::uint32_t format = 0;
  if (formats == DocumentFormats::kWithAdditions && fields.problemType > 0xFFFF) {
    format = fields.problemType >> 16;
    if (format > kDocumentFormatWithNeighbourhood) {
      throw DocumentFileError(fileName + " is a document of format " + std::to_string(format) +
                              ", written by a newer Mirelock; this one reads formats 0 to " +
                              std::to_string(kDocumentFormatWithNeighbourhood) + ".");
    }
    fields.problemType &= 0xFFFF;
  }
  if (fields.problemType >= kProblemTypeCount) {
    throw DocumentFileError(fileName + " holds the problem type " + std::to_string(fields.problemType) +
                            "; a document file holds 0 (SAT), 1 (MAX-SAT), 2 (QAP) or 3 (TSP).");
  }
  fields.problemsDir = in.String();
  fields.resultsDir = in.String();
  fields.fullResultsFile = in.String();
  fields.summaryFile = in.String();
  const std::uint64_t count = in.Count();
  if (count > in.Remaining() / CExperiment::kRecordSize) throw DocumentFileError(PastEndMessage(fileName));
  fields.experiments.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    CExperiment::Record record;
    const auto raw = in.Bytes(record.size());
    std::copy(raw.begin(), raw.end(), record.begin());
    fields.experiments.push_back(CExperiment::FromRecord(record));
  }
  fields.ordering = in.Word32();
  fields.seedMode = in.Word32();
  fields.fixedSeed = in.Word32();
  if (format == kDocumentFormatWithNeighbourhood) {
    const std::uint64_t settings = in.Count();
    if (settings != fields.experiments.size()) {
      throw DocumentFileError(fileName + " holds neighbourhood settings for " + std::to_string(settings) +
                              " experiments but lists " + std::to_string(fields.experiments.size()) + ".");
    }
    for (CExperiment& ex : fields.experiments) ex.m_nNeighbours = in.Word32();
  }
  return fields;  // bytes after the last field are not part of the format and are ignored
}

bool UsesAdditions(const CMirelockDoc& doc) {
  for (const CExperiment& ex : doc.m_experiments)
    if (ex.m_nNeighbours != 0) return true;
  return false;
}

}  // namespace

std::vector<std::uint8_t> EncodeDocument(const CMirelockDoc& doc) {
  ByteWriter out;
  const bool additions = UsesAdditions(doc);
  out.Word32(static_cast<std::uint32_t>(doc.m_nProblemType) | (additions ? kDocumentFormatWithNeighbourhood << 16 : 0u));
  out.String(doc.m_strProblemsDir);
  out.String(doc.m_strResultsDir);
  out.String(doc.m_strFullResultsFile);
  out.String(doc.m_strSummaryFile);
  out.Count(doc.m_experiments.size());
  for (const CExperiment& ex : doc.m_experiments) out.Bytes(ex.ToRecord());
  out.Word32(doc.m_nProblemOrdering);
  out.Word32(doc.m_nSeedMode);
  out.Word32(doc.m_nFixedSeed);
  if (additions) {
    out.Count(doc.m_experiments.size());
    for (const CExperiment& ex : doc.m_experiments) out.Word32(ex.m_nNeighbours);
  }
  return out.Take();
}

bool DecodeDocument(std::span<const std::uint8_t> bytes, const std::string& fileName, CMirelockDoc& doc,
                    DocumentFormats formats) {
  if (bytes.empty()) return false;
  StoredFields fields = ReadFields(bytes, fileName, formats);
  doc.m_nProblemType = static_cast<ProblemType>(fields.problemType);
  doc.m_strProblemsDir = std::move(fields.problemsDir);
  doc.m_strResultsDir = std::move(fields.resultsDir);
  doc.m_strFullResultsFile = std::move(fields.fullResultsFile);
  doc.m_strSummaryFile = std::move(fields.summaryFile);
  doc.m_experiments = std::move(fields.experiments);
  doc.m_nProblemOrdering = fields.ordering;
  doc.m_nSeedMode = fields.seedMode;
  doc.m_nFixedSeed = fields.fixedSeed;
  return true;
}

void SaveDocumentFile(const CMirelockDoc& doc, const std::string& path) {
  const std::vector<std::uint8_t> bytes = EncodeDocument(doc);
  // Another process's read-modify-write of the same file goes first or after, never across this save.
  const DocumentLock lock = DocumentLock::ForEdit(path);
  // Through a symbolic link the target is saved, with its mode kept; the
  // temporary files of saves that a killed process left beside it go first.
  AtomicFileWriter file(path, AtomicFileWriter::StaleTemporaries::kRemove);
  if (!file.IsOpen())
    throw DocumentFileError("Cannot write the document file " + path + ReasonSuffix(file.ErrorText()) + ".");
  file.Stream().write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file.Commit())
    throw DocumentFileError("Cannot write the document file " + path + ReasonSuffix(file.ErrorText()) + ".");
}

bool LoadDocumentFile(CMirelockDoc& doc, const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0)
    throw DocumentFileError("Cannot open the document file " + path + ": " + std::strerror(errno) + ".");
  if (!S_ISREG(status.st_mode))
    throw DocumentFileError("Cannot open the document file " + path + ": " +
                            (S_ISDIR(status.st_mode) ? "it is a directory." : "it is not a regular file."));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DocumentFileError("Cannot open the document file " + path + ": " + std::strerror(errno) + ".");
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  if (in.bad()) throw DocumentFileError("Cannot read the document file " + path + ".");
  return DecodeDocument(bytes, path, doc);
}

bool OpenDocumentFile(CMirelockDoc& doc, const std::string& path, UserMessages& messages) {
  std::vector<CExperiment> listBefore = doc.m_experiments;
  bool changed = false;
  try {
    changed = LoadDocumentFile(doc, path);
  } catch (const DocumentFileError& e) {
    messages.Show(e.what());
    doc.NewDocument();
    doc.m_experiments = std::move(listBefore);
    return false;
  }
  // A paused run holds the settings it copied; after an Open it must not
  // simply continue with them.
  if (changed && doc.m_bRunStarted) doc.m_bSettingsChanged = true;
  return true;
}

}  // namespace mirelock
