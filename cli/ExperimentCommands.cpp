#include "cli/ExperimentCommands.h"

#include <iostream>
#include <memory>

#include "cli/CommandError.h"
#include "cli/DocumentSupport.h"
#include "cli/SharedFlags.h"
#include "experiments/CExperimentListEditor.h"
#include "experiments/DocumentFile.h"
#include "platform/DocumentLock.h"

namespace mirelock {

namespace {

struct ExpArguments {
  std::string path;
  std::string id;
  ExperimentFlags flags;
};

// An editor on the document's list with the row `id` selected.
void SelectRow(CExperimentListEditor& editor, const ExpArguments& args) {
  const std::uint32_t id = ParseUnsignedFlag("ID", args.id);
  const std::size_t count = editor.Experiments().size();
  if (id >= count) {
    throw CommandError(count == 0 ? args.path + " holds no experiments."
                                  : args.path + " holds no experiment " + args.id + " (ids are 0 to " +
                                        std::to_string(count - 1) + ").");
  }
  editor.Select(id);
}

// Runs one editor operation on the document's list and saves the document.
// An operation that the editor refuses (a duplicate) returns false; the
// editor has already shown its message, and the command ends with status 1.
template <typename Operation>
void EditList(const ExpArguments& args, bool needsRow, Operation operation) {
  // Held from the read to the save: edits of other processes wait, so none is lost.
  const DocumentLock lock = DocumentLock::ForEdit(args.path);
  auto document = LoadCommandDocument(args.path);
  CExperimentListEditor editor(document->doc.m_experiments, document->messages);
  if (needsRow) SelectRow(editor, args);
  if (!operation(editor)) throw CommandError("", 1);
  editor.CommitTo(document->doc, false);  // no worker belongs to a document file
  SaveDocumentFile(document->doc, args.path);
}

CLI::App* AddCommand(CLI::App& exp, const char* name, const char* help, std::shared_ptr<ExpArguments> args,
                     bool withId) {
  CLI::App* command = exp.add_subcommand(name, help);
  command->add_option("DOC", args->path, "document file")->required();
  if (withId) command->add_option("ID", args->id, "experiment id, from 0 (as `exp list` shows)")->required();
  return command;
}

}  // namespace

void RegisterExperimentCommands(CLI::App& app) {
  CLI::App* exp = app.add_subcommand("exp", "Edit the experiment list of a document file");
  exp->require_subcommand(1);

  auto add = std::make_shared<ExpArguments>();
  CLI::App* addCommand = AddCommand(*exp, "add",
                                    "Append a copy of the last experiment (or the first-experiment defaults) "
                                    "with the given flags applied",
                                    add, false);
  add->flags.AddTo(*addCommand);
  addCommand->callback([add] {
    EditList(*add, false, [&](CExperimentListEditor& editor) {
      CExperiment ex = editor.StartAdd();
      add->flags.ApplyTo(ex);
      return editor.ConfirmAdd(ex);
    });
  });

  auto edit = std::make_shared<ExpArguments>();
  CLI::App* editCommand = AddCommand(*exp, "edit", "Change an experiment by the given flags", edit, true);
  edit->flags.AddTo(*editCommand);
  editCommand->callback([edit] {
    EditList(*edit, true, [&](CExperimentListEditor& editor) {
      CExperiment ex = *editor.StartEdit();
      edit->flags.ApplyTo(ex);
      return editor.ConfirmEdit(ex);
    });
  });

  // Delete, up and down cannot be refused: up on the first row simply changes nothing.
  auto remove = std::make_shared<ExpArguments>();
  AddCommand(*exp, "delete", "Remove an experiment", remove, true)->callback([remove] {
    EditList(*remove, true, [](CExperimentListEditor& editor) {
      editor.Delete();
      return true;
    });
  });
  auto up = std::make_shared<ExpArguments>();
  AddCommand(*exp, "up", "Move an experiment one place up", up, true)->callback([up] {
    EditList(*up, true, [](CExperimentListEditor& editor) {
      editor.MoveUp();
      return true;
    });
  });
  auto down = std::make_shared<ExpArguments>();
  AddCommand(*exp, "down", "Move an experiment one place down", down, true)->callback([down] {
    EditList(*down, true, [](CExperimentListEditor& editor) {
      editor.MoveDown();
      return true;
    });
  });

  auto list = std::make_shared<ExpArguments>();
  AddCommand(*exp, "list", "Print the experiment table", list, false)->callback([list] {
    auto document = LoadCommandDocument(list->path);
    PrintExperimentTable(std::cout, BuildExperimentTable(document->doc.m_experiments));
  });
}

}  // namespace mirelock
