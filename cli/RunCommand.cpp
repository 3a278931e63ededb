#include <memory>
#include <optional>
#include <stdexcept>

#include "cli/CommandError.h"
#include "cli/ConsoleProgress.h"
#include "cli/DocumentSupport.h"
#include "cli/RunCommands.h"
#include "cli/RunDriver.h"
#include "platform/DocumentLock.h"
#include "runner/BatchPartition.h"
#include "runner/RunControls.h"

namespace mirelock {

namespace {

struct RunFlags {
  std::string path;
  std::string jobs = "1";
  std::string shard = "0/1";
};

// Checked before the document is read, so that a bad flag changes nothing.
BatchPartition PartitionFrom(const RunFlags& flags) {
  BatchPartition partition;
  try {
    partition.jobs = ParseJobs(flags.jobs);
    ParseShard(flags.shard, partition);
  } catch (const std::invalid_argument& bad) {
    throw CommandError(bad.what());
  }
  return partition;
}

}  // namespace

void RegisterRunCommand(CLI::App& app) {
  auto flags = std::make_shared<RunFlags>();
  CLI::App* command = app.add_subcommand(
      "run", "Solve every problem of the document's type with every experiment; Ctrl-C stops");
  command->add_option("DOC", flags->path, "document file")->required();
  command->add_option("--jobs", flags->jobs,
                      "number of workers solving pairs side by side (default 1); the results files are the "
                      "same whatever the number");
  command->add_option("--shard", flags->shard,
                      "K/N: solve only the pairs whose index in the batch's natural order is K modulo N, so "
                      "that N processes sharing the results directory cover the batch once (default 0/1)");
  command->callback([flags] {
    const BatchPartition partition = PartitionFrom(*flags);
    // Two unsharded runs of one document would solve the same pairs twice;
    // shards share a batch by design and take no lock.
    const bool unsharded = partition.shardCount == 1;
    const std::optional<DocumentLock> runLock =
        unsharded ? DocumentLock::TryForRun(flags->path) : std::optional<DocumentLock>();
    if (unsharded && !runLock)
      throw CommandError("Another mirelock run is already solving " + flags->path +
                         "; wait until it ends, or share the batch between processes with --shard K/N.");
    auto document = LoadCommandDocument(flags->path);
    ConsoleProgress console;
    RunControls controls(document->doc, console);
    controls.SetPartition(partition);
    const int status = DriveRun(controls, console, [&controls] { controls.Start(); });
    if (status != 0) throw CommandError("", status);
  });
}

}  // namespace mirelock
