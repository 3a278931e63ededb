#include <memory>

#include "cli/CommandError.h"
#include "cli/ConsoleProgress.h"
#include "cli/DocumentSupport.h"
#include "cli/RunCommands.h"
#include "cli/RunDriver.h"
#include "runner/RunControls.h"

namespace mirelock {

void RegisterRunCommand(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  CLI::App* command = app.add_subcommand(
      "run", "Solve every problem of the document's type with every experiment; Ctrl-C stops");
  command->add_option("DOC", *path, "document file")->required();
  command->callback([path] {
    auto document = LoadCommandDocument(*path);
    ConsoleProgress console;
    RunControls controls(document->doc, console);
    const int status = DriveRun(controls, console, [&controls] { controls.Start(); });
    if (status != 0) throw CommandError("", status);
  });
}

}  // namespace mirelock
