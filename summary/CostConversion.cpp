#include "summary/CostConversion.h"

#include <algorithm>
#include <cctype>

namespace mirelock {

namespace {

// The best known numbers of one problem: B from the first map, B2 and B3 from
// the second and third (MAX-SAT only).
struct Best {
  std::optional<double> b, b2, b3;
};

using Formula = std::optional<double> (*)(double v, const Best& best);

std::optional<double> GapToBest(double v, const Best& best) {
  if (!best.b || *best.b == 0) return std::nullopt;
  return (v - *best.b) / *best.b * 100;
}
std::optional<double> RatioToBest(double v, const Best& best) {
  if (!best.b || *best.b == 0) return std::nullopt;
  return v / *best.b * 100;
}
std::optional<double> SatisfiedWeightError(double v, const Best& best) {
  if (!best.b2 || *best.b2 == 0) return std::nullopt;
  return (*best.b2 - v) / *best.b2 * 100;
}
std::optional<double> UnsatisfiedWeightError(double v, const Best& best) {
  if (!best.b2 || !best.b3 || *best.b2 == 0) return std::nullopt;
  return (*best.b2 - (*best.b3 - v)) / *best.b2 * 100;
}
std::optional<double> RatioToSatisfiedWeight(double v, const Best& best) {
  if (!best.b2 || *best.b2 == 0) return std::nullopt;
  return v / *best.b2 * 100;
}

// For a cost column of a type, the first row whose name part the column name
// contains (any case; an empty part matches every name) gives the formula and
// the text that replaces the name's first "cost".
struct ConversionRule {
  std::uint32_t type;
  const char* namePart;
  Formula formula;
  const char* replacement;
};

constexpr const char* kGapName = "%gap_to_best_known_cost";
constexpr const char* kErrorName = "(%relative_error)";

constexpr ConversionRule kRules[] = {
    {kProblemQAP, "stddev", RatioToBest, kGapName},
    {kProblemQAP, "", GapToBest, kGapName},
    {kProblemTSP, "stddev", RatioToBest, kGapName},
    {kProblemTSP, "", GapToBest, kGapName},
    {kProblemMaxSAT, "best_found_solution_max_cost", SatisfiedWeightError, kErrorName},
    {kProblemMaxSAT, "stddev", RatioToSatisfiedWeight, kErrorName},
    {kProblemMaxSAT, "", UnsatisfiedWeightError, kErrorName},
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

const ConversionRule* RuleFor(std::uint32_t type, const std::string& columnName) {
  const std::string lower = Lower(columnName);
  if (lower.find("cost") == std::string::npos) return nullptr;
  for (const ConversionRule& rule : kRules)
    if (rule.type == type && lower.find(rule.namePart) != std::string::npos) return &rule;
  return nullptr;
}

}  // namespace

void CostConversion::Convert(ResultsTable& table) {
  problemsWithoutBest_.clear();
  std::vector<Best> best;
  for (const std::string& problem : table.Problems())
    best.push_back({best_.First(problem), best_.Second(problem), best_.Third(problem)});

  std::vector<bool> lacksBest(table.ProblemCount(), false);
  for (std::size_t c = 0; c < table.ColumnCount(); ++c) {
    const ConversionRule* rule = RuleFor(type_, table.ColumnName(c));
    if (!rule) continue;
    for (std::size_t p = 0; p < table.ProblemCount(); ++p) {
      // Every formula is undefined exactly when the problem's best known numbers are.
      if (!rule->formula(0, best[p])) lacksBest[p] = true;
      for (std::size_t e = 0; e < table.ExperimentCount(); ++e)
        for (std::uint32_t r = 0; r < table.Runs(e); ++r)
          if (const auto value = table.Get(p, e, r, c)) table.Set(p, e, r, c, rule->formula(*value, best[p]));
    }
    const std::string name = table.ColumnName(c);
    const std::size_t cost = Lower(name).find("cost");
    table.RenameColumn(c, name.substr(0, cost) + rule->replacement + name.substr(cost + 4));
  }
  for (std::size_t p = 0; p < table.ProblemCount(); ++p)
    if (lacksBest[p]) problemsWithoutBest_.push_back(table.Problems()[p]);
}

}  // namespace mirelock
