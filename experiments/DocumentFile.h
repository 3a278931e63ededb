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
std::vector<std::uint8_t> EncodeDocument(const CMirelockDoc& doc);

// Replaces the stored fields of `doc` by those of `bytes`, or throws
// DocumentFileError naming `fileName` and leaves `doc` untouched. No input,
// however hostile, makes it allocate more than the size of `bytes`.
// An empty byte sequence changes nothing and gives false.
bool DecodeDocument(std::span<const std::uint8_t> bytes, const std::string& fileName, CMirelockDoc& doc);

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
