#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tune/ParameterSpace.h"

namespace mirelock::tune {

// Thrown when R or irace cannot be run; what() says which Debian packages to install.
class IraceMissing : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// irace's version, or IraceMissing naming r-base-core and r-cran-irace.
std::string CheckIraceAvailable();

// Everything irace needs for one tuning, written as files into `directory`.
struct IraceSetup {
  std::string mirelock;      // absolute path of the program the target runner calls
  std::string directory;     // irace's execution directory (absolute): its files and log
  std::string baseDocument;  // the problem type and experiment 0, for every run
  std::vector<std::string> instances;  // absolute paths
  ParameterSpace space;
  std::uint64_t budget = 0;  // target runs
  std::uint32_t seed = 0;
  unsigned jobs = 1;
  bool slurm = false;  // irace's batch mode: every run a Slurm job
};

// parameters.txt, instances.txt, target-runner (and target-evaluator for
// Slurm) and scenario.txt in the setup's directory; throws std::runtime_error.
void WriteIraceFiles(const IraceSetup& setup);
std::string ScenarioPath(const IraceSetup& setup);
std::string LogPath(const IraceSetup& setup);  // irace's own log, irace.Rdata
// The command that runs irace on the scenario.
std::vector<std::string> IraceCommand(const IraceSetup& setup);

// What irace's output says about the tuning so far.
class IraceProgress {
 public:
  explicit IraceProgress(std::uint64_t budget) : budget_(budget) {}
  // Reads one line of irace's output; true when the progress text changed.
  bool Read(const std::string& line);
  std::string Text() const;
  std::uint64_t RunsDone() const { return runsDone_; }

 private:
  std::uint64_t budget_;
  unsigned iteration_ = 0, iterations_ = 0;
  std::uint64_t runsAtIterationStart_ = 0, runsDone_ = 0;
  std::string best_;
  std::string bestSettings_;
  // Lines still to come of irace's table of the best setting: 2 (names), 1 (values), 0 none.
  int descriptionLines_ = 0;
  std::vector<std::string> descriptionNames_;
};

struct EliteSummary {
  long id = 0;
  double meanRank = 0;
  double meanCost = 0;
  std::size_t instances = 0;  // instance and seed pairs that every elite ran
  std::vector<std::pair<std::string, std::string>> settings;  // switch, value
};

struct IterationSummary {
  unsigned iteration = 0;
  std::size_t raced = 0;  // settings in the race, elites of earlier iterations included
  std::size_t runs = 0;
  std::size_t kept = 0;  // elites at the race's end; the others were eliminated
  long best = 0;
};

struct TuningSummary {
  std::vector<EliteSummary> elites;  // best first
  std::vector<IterationSummary> iterations;
  std::size_t settingsTried = 0;
  std::size_t runs = 0;
};

// Reads the summary out of irace's log with R; throws std::runtime_error.
TuningSummary ReadTuningSummary(const IraceSetup& setup);
// The R script's output into a summary (tab-separated lines); throws std::runtime_error.
TuningSummary ParseTuningSummary(const std::string& output);

}  // namespace mirelock::tune
