#include "tune/ParameterSpace.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <istream>
#include <limits>
#include <ostream>
#include <set>
#include <sstream>

#include "platform/NumberFormat.h"

namespace mirelock::tune {

namespace {

constexpr double kUnsignedMax = std::numeric_limits<std::uint32_t>::max();

// What an experiment field accepts (the parameter editor's limits) and how a
// tuned value reaches it. The "decay" switch has no field of its own: off is
// a decay period of 0.
struct FieldRule {
  const char* name;
  const char* flag;
  ParameterKind kind;
  double lowest, highest;  // accepted values (categorical: unused)
  bool tspHasIt;           // the TSP solver has no history
  void (*apply)(CExperiment& ex, double number, bool on);
  std::string (*show)(const CExperiment& ex);
};

std::string OnOff(bool on) { return on ? "on" : "off"; }

constexpr const char* kDecayName = "decay";
constexpr const char* kDecayEveryName = "decay_every";

const FieldRule kFields[] = {
    {"lambda", "--lambda", ParameterKind::kReal, 0, 1e12, true,
     [](CExperiment& ex, double x, bool) { ex.m_dLambda = x; },
     [](const CExperiment& ex) { return FormatNumber(ex.m_dLambda); }},
    {"aspiration", "--aspiration", ParameterKind::kCategorical, 0, 0, true,
     [](CExperiment& ex, double, bool on) { ex.m_bAspiration = on; },
     [](const CExperiment& ex) { return OnOff(ex.m_bAspiration); }},
    {"sideways", "--sideways", ParameterKind::kInteger, 0, kUnsignedMax, true,
     [](CExperiment& ex, double x, bool) { ex.m_nSideways = static_cast<std::uint32_t>(x); },
     [](const CExperiment& ex) { return std::to_string(ex.m_nSideways); }},
    {"random_moves", "--random-moves", ParameterKind::kReal, 0, 1, true,
     [](CExperiment& ex, double x, bool) { ex.m_dRandomMoveProb = x; },
     [](const CExperiment& ex) { return FormatNumber(ex.m_dRandomMoveProb); }},
    {"history", "--history", ParameterKind::kCategorical, 0, 0, false,
     [](CExperiment& ex, double, bool on) { ex.m_bHistory = on; },
     [](const CExperiment& ex) { return OnOff(ex.m_bHistory); }},
    {kDecayName, "--decay", ParameterKind::kCategorical, 0, 0, true,
     [](CExperiment&, double, bool) {},  // resolved after the period (ApplySettings)
     [](const CExperiment& ex) { return OnOff(ex.m_nPenaltyDecayEvery > 0); }},
    // A period of 0 means no decay: with decay on the period starts at 1.
    {kDecayEveryName, "--decay-every", ParameterKind::kInteger, 1, kUnsignedMax, true,
     [](CExperiment& ex, double x, bool) { ex.m_nPenaltyDecayEvery = static_cast<std::uint32_t>(x); },
     [](const CExperiment& ex) { return std::to_string(ex.m_nPenaltyDecayEvery); }},
    {"decay_factor", "--decay-factor", ParameterKind::kReal, 0, 1, true,
     [](CExperiment& ex, double x, bool) { ex.m_dPenaltyDecayFactor = x; },
     [](const CExperiment& ex) { return FormatNumber(ex.m_dPenaltyDecayFactor); }},
};

bool TypeHas(const FieldRule& rule, ProblemType type) { return type != kProblemTSP || rule.tspHasIt; }

const FieldRule* RuleByName(const std::string& name) {
  for (const FieldRule& rule : kFields)
    if (name == rule.name) return &rule;
  return nullptr;
}

const FieldRule* RuleByFlag(const std::string& flag) {
  for (const FieldRule& rule : kFields)
    if (flag == rule.flag) return &rule;
  return nullptr;
}

TunedParameter Numeric(const FieldRule& rule, double low, double high, bool logScale,
                       std::string condition = "") {
  TunedParameter p;
  p.name = rule.name;
  p.switchText = std::string(rule.flag) + " ";
  p.kind = rule.kind;
  p.low = low;
  p.high = high;
  p.logScale = logScale;
  p.condition = std::move(condition);
  return p;
}

TunedParameter OnOffParameter(const FieldRule& rule) {
  TunedParameter p;
  p.name = rule.name;
  p.switchText = std::string(rule.flag) + " ";
  p.kind = ParameterKind::kCategorical;
  p.values = {"on", "off"};
  return p;
}

char KindLetter(ParameterKind kind) {
  switch (kind) {
    case ParameterKind::kReal:
      return 'r';
    case ParameterKind::kInteger:
      return 'i';
    default:
      return 'c';
  }
}

std::string Quoted(const std::string& text) {
  std::string quoted(1, '"');
  return quoted.append(text).append(1, '"');
}

std::optional<double> ParseNumber(const std::string& text) {
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (begin == end || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Splits one parameter line into its parts; throws a bare reason.
struct LineParts {
  std::string name, switchText, type, domain, condition;
};

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<LineParts> SplitLine(const std::string& rawLine) {
  // A "#" outside the quoted switch starts a comment.
  std::string line;
  bool quoted = false;
  for (const char c : rawLine) {
    if (c == '"') quoted = !quoted;
    if (c == '#' && !quoted) break;
    line += c;
  }
  line = Trimmed(line);
  if (line.empty()) return std::nullopt;
  LineParts parts;
  std::size_t at = line.find_first_of(" \t");
  if (at == std::string::npos) throw std::runtime_error("a name, a quoted switch, a type and a domain expected");
  parts.name = line.substr(0, at);
  at = line.find_first_not_of(" \t", at);
  if (at == std::string::npos || line[at] != '"') throw std::runtime_error("the switch must be in double quotes");
  const std::size_t close = line.find('"', at + 1);
  if (close == std::string::npos) throw std::runtime_error("the switch's closing quote is missing");
  parts.switchText = line.substr(at + 1, close - at - 1);
  at = line.find_first_not_of(" \t", close + 1);
  const std::size_t typeEnd = at == std::string::npos ? at : line.find_first_of(" \t(", at);
  if (at == std::string::npos || typeEnd == std::string::npos) throw std::runtime_error("a type and a domain expected");
  parts.type = line.substr(at, typeEnd - at);
  const std::size_t open = line.find('(', typeEnd);
  const std::size_t shut = open == std::string::npos ? open : line.find(')', open);
  if (open == std::string::npos || shut == std::string::npos || !Trimmed(line.substr(typeEnd, open - typeEnd)).empty())
    throw std::runtime_error("the domain must follow the type in brackets, as (low, high) or (on, off)");
  parts.domain = line.substr(open + 1, shut - open - 1);
  const std::string rest = Trimmed(line.substr(shut + 1));
  if (!rest.empty()) {
    if (rest[0] != '|') throw std::runtime_error("only \"| condition\" may follow the domain");
    parts.condition = Trimmed(rest.substr(1));
  }
  return parts;
}

std::vector<std::string> DomainItems(const std::string& domain) {
  std::vector<std::string> items;
  std::stringstream in(domain);
  std::string item;
  while (std::getline(in, item, ',')) {
    item = Trimmed(item);
    if (item.size() >= 2 && (item.front() == '"' || item.front() == '\'') && item.back() == item.front())
      item = item.substr(1, item.size() - 2);
    items.push_back(item);
  }
  return items;
}

std::string LimitsText(const FieldRule& rule) {
  return FormatNumber(rule.lowest) + " to " + FormatNumber(rule.highest);
}

TunedParameter CheckedParameter(const LineParts& parts, ProblemType type) {
  const FieldRule* rule = RuleByName(parts.name);
  if (!rule) throw std::runtime_error("unknown parameter " + parts.name + " (an experiment has no such setting)");
  if (!TypeHas(*rule, type))
    throw std::runtime_error("unknown parameter " + parts.name + ": the " + ProblemMenuName(type) +
                             " solver has no " + parts.name);
  if (parts.switchText != std::string(rule->flag) + " ")
    throw std::runtime_error(parts.name + " needs the switch \"" + rule->flag + " \"");
  TunedParameter p;
  p.name = parts.name;
  p.switchText = parts.switchText;
  p.kind = rule->kind;
  p.condition = parts.condition;
  const std::string expectedType = std::string(1, KindLetter(rule->kind));
  const bool log = parts.type == expectedType + ",log";
  if (parts.type != expectedType && !(log && rule->kind != ParameterKind::kCategorical))
    throw std::runtime_error(parts.name + " has type " + expectedType +
                             (rule->kind == ParameterKind::kCategorical ? "" : " or " + expectedType + ",log") +
                             ", not " + parts.type);
  p.logScale = log;
  const std::vector<std::string> items = DomainItems(parts.domain);
  if (rule->kind == ParameterKind::kCategorical) {
    std::set<std::string> seen;
    for (const std::string& value : items) {
      if (value != "on" && value != "off")
        throw std::runtime_error(parts.name + " takes the values on and off, not \"" + value + "\"");
      if (!seen.insert(value).second) throw std::runtime_error(parts.name + " lists " + value + " twice");
      p.values.push_back(value);
    }
    return p;
  }
  if (items.size() != 2) throw std::runtime_error(parts.name + " needs a range (low, high)");
  const auto low = ParseNumber(items[0]);
  const auto high = ParseNumber(items[1]);
  if (!low || !high) throw std::runtime_error(parts.name + ": the range's bounds must be numbers");
  if (rule->kind == ParameterKind::kInteger && (*low != std::floor(*low) || *high != std::floor(*high)))
    throw std::runtime_error(parts.name + ": the range's bounds must be integers");
  if (*low > *high) throw std::runtime_error(parts.name + ": the range's low bound is above its high bound");
  if (*low < rule->lowest || *high > rule->highest)
    throw std::runtime_error(parts.name + ": the range (" + items[0] + ", " + items[1] +
                             ") is outside what an experiment accepts, " + LimitsText(*rule));
  if (log && *low <= 0) throw std::runtime_error(parts.name + ": a log scale needs a range above 0");
  p.low = *low;
  p.high = *high;
  return p;
}

// Every known parameter name a condition mentions must be a parameter of the space.
void CheckConditions(const ParameterSpace& space) {
  for (const TunedParameter& p : space.parameters) {
    std::string word;
    const std::string text = p.condition + " ";
    bool inString = false;
    for (const char c : text) {
      if (c == '"' || c == '\'') inString = !inString;
      if (!inString && (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.')) {
        word += c;
        continue;
      }
      if (!word.empty() && RuleByName(word) && !space.Find(word))
        throw std::runtime_error("the condition of " + p.name + " names " + word + ", which the file lacks");
      if (word == p.name) throw std::runtime_error("the condition of " + p.name + " names the parameter itself");
      word.clear();
    }
  }
}

}  // namespace

bool TunedParameter::IsVariable() const {
  return kind == ParameterKind::kCategorical ? values.size() > 1 : low < high;
}

const TunedParameter* ParameterSpace::Find(const std::string& name) const {
  for (const TunedParameter& p : parameters)
    if (p.name == name) return &p;
  return nullptr;
}

std::size_t ParameterSpace::VariableCount() const {
  return static_cast<std::size_t>(
      std::count_if(parameters.begin(), parameters.end(), [](const TunedParameter& p) { return p.IsVariable(); }));
}

ParameterSpace DeclaredSpace(ProblemType type) {
  ParameterSpace space;
  space.type = type;
  const std::string decayOn = std::string(kDecayName) + " == \"on\"";
  // lambda scales the penalties against the cost: its useful values span
  // orders of magnitude, hence the log scale. The TSP lambda also sets the
  // integer penalty weight, which must not round to 0.
  const bool tsp = type == kProblemTSP;
  for (const FieldRule& rule : kFields) {
    if (!TypeHas(rule, type)) continue;
    const std::string name = rule.name;
    if (rule.kind == ParameterKind::kCategorical) {
      space.parameters.push_back(OnOffParameter(rule));
    } else if (name == "lambda") {
      space.parameters.push_back(Numeric(rule, tsp ? 0.02 : 0.01, tsp ? 5 : 100, true));
    } else if (name == "sideways") {
      space.parameters.push_back(Numeric(rule, 0, 50, false));
    } else if (name == "random_moves") {
      space.parameters.push_back(Numeric(rule, 0, 0.1, false));
    } else if (name == kDecayEveryName) {
      space.parameters.push_back(Numeric(rule, 10, 5000, true, decayOn));
    } else if (name == "decay_factor") {
      space.parameters.push_back(Numeric(rule, 0.5, 0.99, false, decayOn));
    }
  }
  return space;
}

void WriteIraceParameters(std::ostream& out, const ParameterSpace& space) {
  out << "# The " << ProblemMenuName(space.type)
      << " experiment fields that mirelock tune searches, in irace's format. Edit the\n"
         "# ranges, or delete a line to keep that field at experiment 0's value, and pass\n"
         "# the file back with --space. Names and switches are fixed.\n"
         "# name        switch             type   values          [conditions (using R syntax)]\n";
  for (const TunedParameter& p : space.parameters) {
    std::string line = p.name;
    line.resize(std::max<std::size_t>(line.size() + 1, 14), ' ');
    line += Quoted(p.switchText);
    line.resize(std::max<std::size_t>(line.size() + 1, 33), ' ');
    line += KindLetter(p.kind);
    if (p.logScale) line += ",log";
    line.resize(std::max<std::size_t>(line.size() + 1, 40), ' ');
    if (p.kind == ParameterKind::kCategorical) {
      std::string items;
      for (const std::string& value : p.values) items.append(items.empty() ? "" : ", ").append(value);
      line.append("(").append(items).append(")");
    } else {
      line.append("(").append(FormatNumber(p.low)).append(", ").append(FormatNumber(p.high)).append(")");
    }
    if (!p.condition.empty()) {
      line.resize(std::max<std::size_t>(line.size() + 1, 56), ' ');
      line.append("| ").append(p.condition);
    }
    out << line << '\n';
  }
}

ParameterSpace ReadIraceParameters(std::istream& in, const std::string& fileName, ProblemType type) {
  ParameterSpace space;
  space.type = type;
  std::string line;
  int lineNumber = 0;
  try {
    while (std::getline(in, line)) {
      ++lineNumber;
      const auto parts = SplitLine(line);
      if (!parts) continue;
      TunedParameter p = CheckedParameter(*parts, type);
      if (space.Find(p.name)) throw std::runtime_error(p.name + " is declared twice");
      space.parameters.push_back(std::move(p));
    }
    lineNumber = 0;
    if (in.bad()) throw std::runtime_error("the file cannot be read");
    CheckConditions(space);
    const TunedParameter* decay = space.Find(kDecayName);
    if (decay && std::count(decay->values.begin(), decay->values.end(), "on") > 0 && !space.Find(kDecayEveryName))
      throw std::runtime_error("decay can be on, so the file needs decay_every as well");
    if (space.VariableCount() == 0) throw std::runtime_error("no parameter has more than one value to try");
  } catch (const std::runtime_error& error) {
    throw SpaceError(fileName + (lineNumber > 0 ? ", line " + std::to_string(lineNumber) : "") + ": " +
                     error.what());
  }
  return space;
}

CExperiment ApplySettings(const CExperiment& base, ProblemType type,
                          const std::vector<std::pair<std::string, std::string>>& settings) {
  CExperiment ex = base;
  std::optional<bool> decay;
  for (const auto& [flag, value] : settings) {
    const FieldRule* rule = RuleByFlag(flag);
    if (!rule || !TypeHas(*rule, type))
      throw SpaceError("unknown setting " + flag + " for " + ProblemMenuName(type) + " experiments");
    if (rule->kind == ParameterKind::kCategorical) {
      if (value != "on" && value != "off") throw SpaceError(flag + " " + value + ": on or off expected");
      if (std::string(rule->name) == kDecayName) decay = value == "on";
      rule->apply(ex, 0, value == "on");
      continue;
    }
    const auto number = ParseNumber(value);
    if (!number || *number < rule->lowest || *number > rule->highest ||
        (rule->kind == ParameterKind::kInteger && *number != std::floor(*number)))
      throw SpaceError(flag + " " + value + ": a number from " + LimitsText(*rule) + " expected");
    rule->apply(ex, *number, false);
  }
  if (decay && !*decay) ex.m_nPenaltyDecayEvery = 0;
  if (decay && *decay && ex.m_nPenaltyDecayEvery == 0)
    throw SpaceError("--decay on needs --decay-every: experiment 0 has no decay period to keep");
  return ex;
}

std::string SettingsText(const CExperiment& experiment, ProblemType type) {
  std::string text;
  const bool decayOn = experiment.m_nPenaltyDecayEvery > 0;
  for (const FieldRule& rule : kFields) {
    if (!TypeHas(rule, type)) continue;
    if (!decayOn && (std::string(rule.name) == kDecayEveryName || std::string(rule.name) == "decay_factor"))
      continue;
    text.append(text.empty() ? "" : " ").append(rule.flag).append(" ").append(rule.show(experiment));
  }
  return text;
}

std::uint64_t MinimumBudget(std::size_t variableParameters) {
  if (variableParameters == 0) return 0;
  const auto iterations = static_cast<std::uint64_t>(std::floor(2 + std::log2(static_cast<double>(variableParameters))));
  const std::uint64_t survivors = iterations;  // the same rule in irace
  constexpr std::uint64_t kMu = 5, kEachTest = 1, kNewInstances = 1;
  const std::uint64_t perIteration =
      iterations > 5 ? kMu + kEachTest + (iterations - 5) * kNewInstances + 5 * std::max(kEachTest, kNewInstances)
                     : kMu + kEachTest + (iterations - 1) * std::max(kEachTest, kNewInstances);
  return (survivors + 1) * iterations * perIteration;
}

}  // namespace mirelock::tune
