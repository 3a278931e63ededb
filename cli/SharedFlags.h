#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "experiments/CExperiment.h"

namespace mirelock {

class CMirelockDoc;

// The experiment flags (--lambda, --aspiration, ..., --preset), declared once
// in a table. A command adds them, and after parsing applies the given ones
// on top of an experiment: the preset first, then every other flag, so that
// "--preset glssat2 --sideways 5" means GLSSAT2 with 5 sideways moves.
class ExperimentFlags {
 public:
  void AddTo(CLI::App& command);
  bool AnyGiven() const;
  // Throws CommandError for a value out of range or not a number.
  void ApplyTo(CExperiment& experiment) const;

 private:
  std::vector<std::string> values_;
  std::vector<CLI::Option*> options_;
};

// --seed-mode time|fixed|none and --seed N. A seed without a mode means the
// fixed mode; a seed with another mode is refused rather than ignored.
class SeedFlags {
 public:
  void AddTo(CLI::App& command);
  bool AnyGiven() const;
  // Changes the mode and seed that were given; throws CommandError.
  void ApplyTo(std::uint32_t& seedMode, std::uint32_t& fixedSeed) const;

 private:
  std::string mode_;
  std::string seed_;
  CLI::Option* modeOption_ = nullptr;
  CLI::Option* seedOption_ = nullptr;
};

// --type, --problems, --results, --full, --summary, --ordering and the seed
// flags. Directories and files become absolute paths; directories end with "/".
class DocumentFlags {
 public:
  void AddTo(CLI::App& command);
  // Throws CommandError; the document may then be partly changed and is
  // not to be saved.
  void ApplyTo(CMirelockDoc& doc) const;

 private:
  std::string type_, problems_, results_, full_, summary_, ordering_;
  CLI::Option *typeOption_ = nullptr, *problemsOption_ = nullptr, *resultsOption_ = nullptr,
              *fullOption_ = nullptr, *summaryOption_ = nullptr, *orderingOption_ = nullptr;
  SeedFlags seed_;
};

// Parsers shared by the flags, with the parameter editor's messages.
double ParseRealFlag(const std::string& flag, const std::string& text, double low, double high);
std::uint32_t ParseUnsignedFlag(const std::string& flag, const std::string& text);

}  // namespace mirelock
