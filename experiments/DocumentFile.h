#pragma once
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace mirelock {

class CMirelockDoc;
class UserMessages;

// A document file that cannot be read or written; what() is the message for
// the user and names the file.
class DocumentFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The document file: problem type, problems and results directories, full and
// summary results files, the experiment list, problem ordering, seed mode and
// fixed seed; little-endian, without header or version.
//
// Additions to that layout: a document whose experiments use a setting beyond
// the 52-byte record (fast local search) is written in format 1. Its first
// word carries the format in its upper 16 bits, beside the problem type, so
// a build that knows only the plain layout refuses the file for its problem
// type instead of reading it without the setting; after the fixed seed
// follow the experiment count and one 32-bit neighbour count per experiment.
// A document without such settings is written byte for byte as before.
constexpr std::uint32_t kDocumentFormatWithNeighbourhood = 1;
std::vector<std::uint8_t> EncodeDocument(const CMirelockDoc& doc);

// Which layouts a reader knows: the plain one only (as a build that predates
// every addition), or every format up to the current one.
enum class DocumentFormats { kPlainOnly, kWithAdditions };

// Replaces the stored fields of `doc` by those of `bytes`, or throws
// DocumentFileError naming `fileName` and leaves `doc` untouched. No input,
// however hostile, makes it allocate more than the size of `bytes`.
// An empty byte sequence changes nothing and gives false.
bool DecodeDocument(std::span<const std::uint8_t> bytes, const std::string& fileName, CMirelockDoc& doc,
                    DocumentFormats formats = DocumentFormats::kWithAdditions);

// Writes the file under a temporary name beside it and renames it into
// place, so that a failed save never leaves a torn document.
void SaveDocumentFile(const CMirelockDoc& doc, const std::string& path);

// Reads the file into `doc` (see DecodeDocument); throws DocumentFileError.
// Returns false for an empty file, which changes nothing.
bool LoadDocumentFile(CMirelockDoc& doc, const std::string& path);

// File, Open in the application: on success, a document read after a run was
// started sets settings changed (an empty file changes nothing at all). On failure the message is shown, the
// document is set up as a new document, and the experiment list keeps what it held before the attempt.
// Returns whether the file was read.
bool OpenDocumentFile(CMirelockDoc& doc, const std::string& path, UserMessages& messages);

}  // namespace mirelock
