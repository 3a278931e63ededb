#pragma once
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "experiments/CExperiment.h"
#include "solver/ProblemType.h"

namespace mirelock::tune {

// A parameter file that names an unknown parameter, a range the experiment
// does not accept, or is not in irace's format; what() names the file and line.
class SpaceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class ParameterKind { kReal, kInteger, kCategorical };

// One tuned experiment field as irace sees it: its name, the switch the
// target runner receives, its kind and domain, and the condition under which
// it is active (R syntax, empty: always).
struct TunedParameter {
  std::string name;
  std::string switchText;  // "--lambda " : irace puts the value right after it
  ParameterKind kind = ParameterKind::kReal;
  double low = 0, high = 0;  // real and integer
  bool logScale = false;
  std::vector<std::string> values;  // categorical
  std::string condition;

  // Whether irace samples it at all (a one-value domain is a constant).
  bool IsVariable() const;
};

struct ParameterSpace {
  ProblemType type = kProblemQAP;
  std::vector<TunedParameter> parameters;

  const TunedParameter* Find(const std::string& name) const;
  // irace's count of parameters it samples, which sets its iterations and race lengths.
  std::size_t VariableCount() const;
};

// The space tuned by default for a problem type: every experiment field that
// the type's solver has, over the ranges worth searching.
ParameterSpace DeclaredSpace(ProblemType type);

// irace's parameters file: one line per parameter, name, quoted switch,
// type ("r", "i", "c", with ",log" for a log scale), domain in brackets and
// "| condition".
void WriteIraceParameters(std::ostream& out, const ParameterSpace& space);

// Reads a parameters file of the form WriteIraceParameters writes (comments
// and blank lines allowed) and checks it against what an experiment of the
// type accepts: known names of the type, their own switches and kinds,
// ranges inside the field's limits, log scales above 0, conditions naming
// parameters of the file. Throws SpaceError naming `fileName`.
ParameterSpace ReadIraceParameters(std::istream& in, const std::string& fileName, ProblemType type);

// A candidate's settings as the target runner receives them, applied to a
// copy of the base experiment: pairs of switch (without its trailing blank)
// and value, e.g. {"--lambda", "0.5"}. "--decay off" turns penalty decay off
// whatever else is given. Throws SpaceError for an unknown switch or a
// value the field does not accept.
CExperiment ApplySettings(const CExperiment& base, ProblemType type,
                          const std::vector<std::pair<std::string, std::string>>& settings);

// The tunable settings of an experiment as switches, "--lambda 0.5 --aspiration on ...":
// every field the type's solver has (the decay's period and factor only with decay on).
std::string SettingsText(const CExperiment& experiment, ProblemType type);

// The smallest budget (target runs) with which irace starts its first race
// for this many sampled parameters, by irace's own rule for its default
// settings (elitist race, first test after 5 instances, one more each test).
std::uint64_t MinimumBudget(std::size_t variableParameters);

}  // namespace mirelock::tune
