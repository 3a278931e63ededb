#pragma once
#include <iosfwd>
#include <memory>
#include <string>

#include "experiments/CMirelockDoc.h"
#include "experiments/ExperimentTable.h"
#include "platform/UserMessages.h"

namespace mirelock {

// A document of the command line with its messages on standard error.
struct CommandDocument {
  StderrMessages messages;
  CMirelockDoc doc{&messages};
};

// Reads a document file; an unreadable file throws DocumentFileError.
std::unique_ptr<CommandDocument> LoadCommandDocument(const std::string& path);

// The experiment table as text: the fixed settings and one aligned column
// per varying parameter.
void PrintExperimentTable(std::ostream& out, const ExperimentTable& table);

}  // namespace mirelock
