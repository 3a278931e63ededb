#include "cli/DocCommands.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/CommandError.h"
#include "cli/DocumentSupport.h"
#include "cli/SharedFlags.h"
#include "experiments/DocumentFile.h"
#include "platform/DocumentLock.h"

namespace mirelock {

namespace {

struct DocArguments {
  std::string path;
  bool force = false;
  DocumentFlags flags;
};

// A document may be set up before its problems are in place, so a missing
// problems directory is no error here; but a mistyped one would otherwise go
// unnoticed until a batch finds nothing to solve.
void WarnIfProblemsDirectoryMissing(const CMirelockDoc& doc) {
  std::error_code error;
  if (!std::filesystem::is_directory(doc.m_strProblemsDir, error))
    std::cerr << "Warning: the problems directory " << doc.m_strProblemsDir << " does not exist\n";
}

void AddDocPath(CLI::App& command, DocArguments& args) {
  command.add_option("DOC", args.path, "document file")->required();
}

void RegisterNew(CLI::App& doc) {
  auto args = std::make_shared<DocArguments>();
  CLI::App* command = doc.add_subcommand("new", "Create a document file with the new-document settings");
  AddDocPath(*command, *args);
  command->add_flag("--force", args->force, "replace an existing file");
  args->flags.AddTo(*command);
  command->callback([args] {
    std::error_code error;
    if (!args->force && std::filesystem::exists(args->path, error)) {
      throw CommandError(args->path + " already exists; use --force to replace it.");
    }
    CommandDocument document;
    args->flags.ApplyTo(document.doc);
    SaveDocumentFile(document.doc, args->path);
    WarnIfProblemsDirectoryMissing(document.doc);
  });
}

void RegisterSet(CLI::App& doc) {
  auto args = std::make_shared<DocArguments>();
  CLI::App* command = doc.add_subcommand("set", "Change the stored settings of a document file");
  AddDocPath(*command, *args);
  args->flags.AddTo(*command);
  command->callback([args] {
    const DocumentLock lock = DocumentLock::ForEdit(args->path);
    auto document = LoadCommandDocument(args->path);
    args->flags.ApplyTo(document->doc);
    SaveDocumentFile(document->doc, args->path);
    WarnIfProblemsDirectoryMissing(document->doc);
  });
}

void RegisterShow(CLI::App& doc) {
  auto args = std::make_shared<DocArguments>();
  CLI::App* command = doc.add_subcommand("show", "Print the document's settings and experiment table");
  AddDocPath(*command, *args);
  command->callback([args] {
    auto document = LoadCommandDocument(args->path);
    for (const ViewLine& line : document->doc.ViewLines()) {
      std::cout << std::string(line.x > 10 ? 4 : 0, ' ') << line.text << '\n';
    }
    // The settings the view does not draw, in the words of the settings dialog.
    const CMirelockDoc& doc = document->doc;
    static constexpr const char* kSeedModes[] = {"using time() x run number",
                                                 "using a fixed seed:", "do not seed "};
    std::cout << "Problem type is " << ProblemMenuName(doc.m_nProblemType) << '\n'
              << "Problem ordering is "
              << (doc.m_nProblemOrdering == 1 ? "a random sequence" : "a natural sequence") << '\n'
              << "Seeds: ";
    if (doc.m_nSeedMode < std::size(kSeedModes)) {
      std::cout << kSeedModes[doc.m_nSeedMode];
    } else {
      std::cout << "unknown mode " << doc.m_nSeedMode << " (no seeding call)";
    }
    if (doc.m_nSeedMode == kSeedFixed) std::cout << ' ' << doc.m_nFixedSeed;
    std::cout << "\n\n";
    PrintExperimentTable(std::cout, BuildExperimentTable(document->doc.m_experiments));
  });
}

}  // namespace

void RegisterDocCommands(CLI::App& app) {
  CLI::App* doc = app.add_subcommand("doc", "Create, change or show a document file");
  doc->require_subcommand(1);
  RegisterNew(*doc);
  RegisterSet(*doc);
  RegisterShow(*doc);
}

}  // namespace mirelock
