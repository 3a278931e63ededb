#include "cli/SharedFlags.h"

#include <charconv>
#include <filesystem>
#include <limits>

#include "cli/CommandError.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DefaultPaths.h"
#include "platform/NumberFormat.h"
#include "solver/ProblemType.h"

namespace mirelock {

namespace {

[[noreturn]] void Refuse(const std::string& flag, const std::string& text, const std::string& why) {
  throw CommandError(flag + " " + text + ": " + why);
}

bool ParseOnOff(const std::string& flag, const std::string& text) {
  if (text == "on") return true;
  if (text == "off") return false;
  Refuse(flag, text, "Please enter on or off.");
}

struct ExperimentFlag {
  const char* name;
  const char* valueName;
  const char* help;
  void (*apply)(CExperiment& ex, const std::string& flag, const std::string& value);
};

// The preset comes first so that the other flags apply on top of it.
constexpr ExperimentFlag kExperimentFlags[] = {
    {"--preset", "glssat1|glssat2", "start from a published GLSSAT setting (termination criteria unchanged)",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       if (v == "glssat1") {
         ex.ApplyPresetGLSSAT1();
       } else if (v == "glssat2") {
         ex.ApplyPresetGLSSAT2();
       } else {
         Refuse(flag, v, "Please enter glssat1 or glssat2.");
       }
     }},
    {"--lambda", "X", "GLS lambda coefficient, 0 to 1e12",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_dLambda = ParseRealFlag(flag, v, 0, 1e12);
     }},
    {"--aspiration", "on|off", "use aspiration moves",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_bAspiration = ParseOnOff(flag, v);
     }},
    {"--sideways", "N", "maximum number of consecutive sideways moves",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_nSideways = ParseUnsignedFlag(flag, v);
     }},
    {"--random-moves", "P", "probability of a random move, 0 to 1 (0: none)",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_dRandomMoveProb = ParseRealFlag(flag, v, 0, 1);
     }},
    {"--history", "on|off", "use history to choose between moves",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_bHistory = ParseOnOff(flag, v);
     }},
    {"--decay-every", "N", "decay the penalties every N local minima (0: no decay)",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_nPenaltyDecayEvery = ParseUnsignedFlag(flag, v);
     }},
    {"--decay-factor", "F", "factor of a penalty decay, 0 to 1",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_dPenaltyDecayFactor = ParseRealFlag(flag, v, 0, 1);
     }},
    {"--max-repairs", "N", "maximum number of repairs of one run",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_nMaxRepairs = ParseUnsignedFlag(flag, v);
     }},
    {"--times-n", "on|off", "the maximum number of repairs is multiplied by the problem size",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_bMaxRepairsTimesN = ParseOnOff(flag, v);
     }},
    {"--runs", "N", "number of runs per problem",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       ex.m_nNumRuns = ParseUnsignedFlag(flag, v);
     }},
    // Before --neighbourhood, which keeps the count given here.
    {"--neighbours", "K", "TSP: fast local search over each city's K nearest neighbours (implies --neighbourhood fast)",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       const std::uint32_t k = ParseUnsignedFlag(flag, v);
       if (k == 0) Refuse(flag, v, "Please enter a number of neighbours of at least 1.");
       ex.m_nNeighbours = k;
     }},
    {"--neighbourhood", "full|fast",
     "TSP: scan the full 2-opt neighbourhood (the default) or fast local search over nearest neighbours "
     "(10 unless --neighbours)",
     [](CExperiment& ex, const std::string& flag, const std::string& v) {
       if (v == "full") {
         ex.m_nNeighbours = 0;
       } else if (v == "fast") {
         if (ex.m_nNeighbours == 0) ex.m_nNeighbours = CExperiment::kDefaultFastNeighbours;
       } else {
         Refuse(flag, v, "Please enter full or fast.");
       }
     }},
};

constexpr std::size_t kExperimentFlagCount = std::size(kExperimentFlags);

bool Given(const CLI::Option* option) { return option != nullptr && option->count() > 0; }

// Paths given on the command line are kept absolute: a batch run changes the
// working directory to the problems directory.
std::string AbsolutePath(const std::string& text) {
  std::error_code error;
  const auto path = std::filesystem::absolute(text, error);
  return error ? text : path.lexically_normal().string();
}

std::string AbsoluteDirectory(const std::string& text) { return WithTrailingSlash(AbsolutePath(text)); }

}  // namespace

double ParseRealFlag(const std::string& flag, const std::string& text, double low, double high) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) Refuse(flag, text, "Please enter a number.");
  if (!(value >= low && value <= high)) {
    Refuse(flag, text,
           "Please enter a number between " + FormatNumber(low) + " and " + FormatNumber(high) + ".");
  }
  return value;
}

std::uint32_t ParseUnsignedFlag(const std::string& flag, const std::string& text) {
  std::uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) Refuse(flag, text, "Please enter a positive integer.");
  return value;
}

void ExperimentFlags::AddTo(CLI::App& command) {
  values_.assign(kExperimentFlagCount, std::string());
  options_.clear();
  for (std::size_t i = 0; i < kExperimentFlagCount; ++i) {
    const ExperimentFlag& flag = kExperimentFlags[i];
    options_.push_back(
        command.add_option(flag.name, values_[i], flag.help)->type_name(flag.valueName)->group("Experiment"));
  }
}

bool ExperimentFlags::AnyGiven() const {
  for (const CLI::Option* option : options_) {
    if (Given(option)) return true;
  }
  return false;
}

void ExperimentFlags::ApplyTo(CExperiment& experiment) const {
  const auto value = [this](const std::string& name) -> const std::string* {
    for (std::size_t i = 0; i < options_.size(); ++i)
      if (Given(options_[i]) && name == kExperimentFlags[i].name) return &values_[i];
    return nullptr;
  };
  const std::string* neighbourhood = value("--neighbourhood");
  if (value("--neighbours") != nullptr && neighbourhood != nullptr && *neighbourhood == "full")
    Refuse("--neighbours", *value("--neighbours"), "the full neighbourhood has no neighbour count.");
  for (std::size_t i = 0; i < options_.size(); ++i) {
    if (Given(options_[i])) kExperimentFlags[i].apply(experiment, kExperimentFlags[i].name, values_[i]);
  }
}

void SeedFlags::AddTo(CLI::App& command) {
  modeOption_ = command.add_option("--seed-mode", mode_, "seeding: time() x run, fixed seed x run, or none")
                    ->type_name("time|fixed|none")
                    ->group("Seed");
  seedOption_ = command.add_option("--seed", seed_, "the fixed seed (implies --seed-mode fixed)")
                    ->type_name("N")
                    ->group("Seed");
}

bool SeedFlags::AnyGiven() const { return Given(modeOption_) || Given(seedOption_); }

void SeedFlags::ApplyTo(std::uint32_t& seedMode, std::uint32_t& fixedSeed) const {
  std::uint32_t mode = seedMode;
  if (Given(modeOption_)) {
    if (mode_ == "time") {
      mode = kSeedFromTime;
    } else if (mode_ == "fixed") {
      mode = kSeedFixed;
    } else if (mode_ == "none") {
      mode = kSeedNone;
    } else {
      Refuse("--seed-mode", mode_, "Please enter time, fixed or none.");
    }
  }
  if (Given(seedOption_)) {
    const std::uint32_t seed = ParseUnsignedFlag("--seed", seed_);
    if (Given(modeOption_) && mode != kSeedFixed) {
      Refuse("--seed", seed_, "a fixed seed needs --seed-mode fixed.");
    }
    mode = kSeedFixed;
    fixedSeed = seed;
  }
  seedMode = mode;
}

void DocumentFlags::AddTo(CLI::App& command) {
  typeOption_ = command.add_option("--type", type_, "problem type")->type_name("sat|maxsat|qap|tsp");
  problemsOption_ = command.add_option("--problems", problems_, "problems directory")->type_name("DIR");
  resultsOption_ =
      command.add_option("--results", results_, "individual results directory")->type_name("DIR");
  fullOption_ = command.add_option("--full", full_, "full results file")->type_name("FILE");
  summaryOption_ = command.add_option("--summary", summary_, "results summary file")->type_name("FILE");
  orderingOption_ =
      command.add_option("--ordering", ordering_, "problem ordering")->type_name("natural|random");
  for (CLI::Option* option :
       {typeOption_, problemsOption_, resultsOption_, fullOption_, summaryOption_, orderingOption_}) {
    option->group("Document");
  }
  seed_.AddTo(command);
}

void DocumentFlags::ApplyTo(CMirelockDoc& doc) const {
  if (Given(typeOption_)) {
    const auto type = ProblemTypeFromKeyword(type_);
    if (!type) Refuse("--type", type_, "Please enter sat, maxsat, qap or tsp.");
    doc.m_nProblemType = *type;
  }
  if (Given(orderingOption_)) {
    if (ordering_ == "natural") {
      doc.m_nProblemOrdering = 0;
    } else if (ordering_ == "random") {
      doc.m_nProblemOrdering = 1;
    } else {
      Refuse("--ordering", ordering_, "Please enter natural or random.");
    }
  }
  std::uint32_t seedMode = doc.m_nSeedMode;
  std::uint32_t fixedSeed = doc.m_nFixedSeed;
  seed_.ApplyTo(seedMode, fixedSeed);
  doc.m_nSeedMode = seedMode;
  doc.m_nFixedSeed = fixedSeed;
  if (Given(problemsOption_)) doc.m_strProblemsDir = AbsoluteDirectory(problems_);
  if (Given(resultsOption_)) doc.m_strResultsDir = AbsoluteDirectory(results_);
  if (Given(fullOption_)) doc.m_strFullResultsFile = AbsolutePath(full_);
  if (Given(summaryOption_)) doc.m_strSummaryFile = AbsolutePath(summary_);
}

}  // namespace mirelock
