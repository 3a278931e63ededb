// The declared parameter space as irace itself reads it, the checks a
// user-edited space file passes, and the settings irace hands back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TuneTestSupport.h"
#include "common/TempDir.h"
#include "platform/NumberFormat.h"
#include "tune/ParameterSpace.h"

namespace mirelock::tune {
namespace {

namespace fs = std::filesystem;
using test::RunShell;

constexpr ProblemType kTypes[] = {kProblemSAT, kProblemMaxSAT, kProblemQAP, kProblemTSP};

// What irace's readParameters made of a file: one line per parameter with its
// name, switch, type, transform, domain and condition, and the count of
// parameters it samples.
constexpr const char* kDumpScript = R"(p <- irace::readParameters(file = commandArgs(trailingOnly = TRUE)[1])
for (n in p$names) {
  condition <- p$conditions[[n]]
  if (is.expression(condition)) condition <- condition[[1]]
  cat(n, p$switches[[n]], p$types[[n]], as.character(p$transform[[n]]),
      paste(as.character(p$domain[[n]]), collapse = ","), paste(deparse(condition), collapse = " "), sep = "\t")
  cat("\n")
}
cat("variable", p$nbVariable, sep = "\t")
cat("\n")
)";

std::string ExpectedDump(const ParameterSpace& space) {
  std::string dump;
  for (const TunedParameter& p : space.parameters) {
    const char type = p.kind == ParameterKind::kReal ? 'r' : p.kind == ParameterKind::kInteger ? 'i' : 'c';
    std::string domain;
    if (p.kind == ParameterKind::kCategorical) {
      for (const std::string& v : p.values) domain += (domain.empty() ? "" : ",") + v;
    } else {
      domain = FormatNumber(p.low) + "," + FormatNumber(p.high);
    }
    dump += p.name + "\t" + p.switchText + "\t" + type + "\t" + (p.logScale ? "log" : "") + "\t" + domain + "\t" +
            (p.condition.empty() ? "TRUE" : p.condition) + "\n";
  }
  return dump + "variable\t" + std::to_string(space.VariableCount()) + "\n";
}

TEST(ParameterSpace, DeclaredSpaceOfEveryTypeIsReadByIraceAsDeclaredAndReadBackByTune) {
  test::TempDir temp;
  const std::string script = temp.Path("dump.R");
  std::ofstream(script) << kDumpScript;
  for (const ProblemType type : kTypes) {
    SCOPED_TRACE(ProblemMenuName(type));
    const ParameterSpace space = DeclaredSpace(type);
    // History only where the solver has it; the decay's period and factor only with decay on.
    EXPECT_EQ(space.Find("history") != nullptr, type != kProblemTSP);
    ASSERT_NE(space.Find("decay_factor"), nullptr);
    EXPECT_EQ(space.Find("decay_factor")->condition, "decay == \"on\"");
    EXPECT_TRUE(space.Find("lambda")->logScale);

    std::ostringstream text;
    WriteIraceParameters(text, space);
    const std::string file = temp.Path(std::string(ProblemKeyword(type)) + ".txt");
    std::ofstream(file) << text.str();

    std::istringstream in(text.str());
    const ParameterSpace back = ReadIraceParameters(in, file, type);
    ASSERT_EQ(back.parameters.size(), space.parameters.size());
    for (std::size_t i = 0; i < space.parameters.size(); ++i) {
      const TunedParameter &a = space.parameters[i], &b = back.parameters[i];
      EXPECT_EQ(a.name, b.name);
      EXPECT_EQ(a.switchText, b.switchText);
      EXPECT_EQ(a.kind, b.kind);
      EXPECT_EQ(a.low, b.low);
      EXPECT_EQ(a.high, b.high);
      EXPECT_EQ(a.logScale, b.logScale);
      EXPECT_EQ(a.values, b.values);
      EXPECT_EQ(a.condition, b.condition);
    }

    if (!test::IraceMissingReason().empty()) continue;
    const auto irace = RunShell("Rscript --vanilla '" + script + "' '" + file + "'");
    ASSERT_EQ(irace.status, 0) << irace.out;
    EXPECT_EQ(irace.out, ExpectedDump(space));
  }
  SKIP_WITHOUT_IRACE();
}

// Each file is named after its defect; the message names the file, the line where there is one, and the fault.
TEST(ParameterSpace, SpaceFilesWithAFaultAreRefusedWithTheFileLineAndReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"unknown-parameter.txt", "line 2: unknown parameter tabu_tenure"},
      {"lambda-above-editor-limit.txt", "line 1: lambda: the range (0.01, 2e12) is outside what an experiment accepts, 0 to 1e+12"},
      {"random-moves-above-one.txt", "is outside what an experiment accepts, 0 to 1"},
      {"log-scale-from-zero.txt", "lambda: a log scale needs a range above 0"},
      {"decay-period-from-zero.txt", "line 2: decay_every: the range (0, 500) is outside what an experiment accepts, 1 to"},
      {"wrong-switch.txt", "sideways needs the switch \"--sideways \""},
      {"integer-as-real.txt", "sideways has type i or i,log, not r"},
      {"integer-range-not-whole.txt", "sideways: the range's bounds must be integers"},
      {"unknown-value.txt", "aspiration takes the values on and off, not \"maybe\""},
      {"condition-names-absent-parameter.txt", "the condition of decay_factor names decay, which the file lacks"},
      {"decay-without-period.txt", "decay can be on, so the file needs decay_every as well"},
      {"range-reversed.txt", "lambda: the range's low bound is above its high bound"},
      {"switch-unquoted.txt", "line 1: the switch's closing quote is missing"},
      {"domain-without-brackets.txt", "line 1: the domain must follow the type in brackets"},
      {"parameter-twice.txt", "line 2: lambda is declared twice"},
      {"nothing-to-tune.txt", "no parameter has more than one value to try"},
      {"empty.txt", "no parameter has more than one value to try"},
  };
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(MIRELOCK_TUNE_TEST_DIR) / "space")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, std::size(cases)) << "a file of tests/tune/space has no case here";
  for (const auto& [name, reason] : cases) {
    const std::string path = (fs::path(MIRELOCK_TUNE_TEST_DIR) / "space" / name).string();
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    try {
      ReadIraceParameters(in, path, kProblemQAP);
      ADD_FAILURE() << name << " was accepted";
    } catch (const SpaceError& error) {
      const std::string what = error.what();
      EXPECT_EQ(what.rfind(path, 0), 0u) << what;
      EXPECT_NE(what.find(reason), std::string::npos) << name << ": " << what;
    }
  }
  // History is a QAP setting, but the TSP solver has none.
  std::istringstream history("history  \"--history \"  c  (on, off)\n");
  EXPECT_THROW(ReadIraceParameters(history, "h.txt", kProblemTSP), SpaceError);
}

TEST(ParameterSpace, SettingsFromIraceChangeOnlyTheirFieldsAndDecayOffClearsThePeriod) {
  CExperiment base;
  base.m_nMaxRepairs = 2500;
  base.m_nNumRuns = 7;
  base.m_nPenaltyDecayEvery = 300;
  const CExperiment tuned = ApplySettings(base, kProblemQAP,
                                          {{"--lambda", "0.0754"}, {"--aspiration", "on"}, {"--sideways", "15"},
                                           {"--random-moves", "1e-04"}, {"--history", "on"}, {"--decay", "on"},
                                           {"--decay-every", "135"}, {"--decay-factor", "0.9087"}});
  EXPECT_EQ(tuned.m_dLambda, 0.0754);
  EXPECT_TRUE(tuned.m_bAspiration);
  EXPECT_EQ(tuned.m_nSideways, 15u);
  EXPECT_EQ(tuned.m_dRandomMoveProb, 0.0001);
  EXPECT_TRUE(tuned.m_bHistory);
  EXPECT_EQ(tuned.m_nPenaltyDecayEvery, 135u);
  EXPECT_EQ(tuned.m_dPenaltyDecayFactor, 0.9087);
  EXPECT_EQ(tuned.m_nMaxRepairs, 2500u);  // termination criteria stay
  EXPECT_EQ(tuned.m_nNumRuns, 7u);
  EXPECT_EQ(SettingsText(tuned, kProblemQAP),
            "--lambda 0.0754 --aspiration on --sideways 15 --random-moves 0.0001 --history on --decay on "
            "--decay-every 135 --decay-factor 0.9087");

  // irace sends no period with decay off: the period goes to 0, whatever the base had.
  const CExperiment off = ApplySettings(base, kProblemQAP, {{"--decay", "off"}, {"--lambda", "3"}});
  EXPECT_EQ(off.m_nPenaltyDecayEvery, 0u);
  EXPECT_EQ(off.m_dPenaltyDecayFactor, base.m_dPenaltyDecayFactor);
  EXPECT_EQ(SettingsText(off, kProblemTSP), "--lambda 3 --aspiration off --sideways 2 --random-moves 0 --decay off");

  CExperiment noDecay;
  EXPECT_THROW(ApplySettings(noDecay, kProblemQAP, {{"--decay", "on"}}), SpaceError);
  EXPECT_THROW(ApplySettings(base, kProblemTSP, {{"--history", "on"}}), SpaceError);
  EXPECT_THROW(ApplySettings(base, kProblemQAP, {{"--random-moves", "1.5"}}), SpaceError);
  EXPECT_THROW(ApplySettings(base, kProblemQAP, {{"--sideways", "2.5"}}), SpaceError);
  EXPECT_THROW(ApplySettings(base, kProblemQAP, {{"--lambda", "abc"}}), SpaceError);
  EXPECT_THROW(ApplySettings(base, kProblemQAP, {{"--tabu", "5"}}), SpaceError);
}

// irace 3.5's computeMinimumBudget for its default scenario, evaluated once in R
// for 1 to 8 sampled parameters.
TEST(ParameterSpace, MinimumBudgetIsIracesOwn) {
  const std::uint64_t fromR[] = {42, 96, 96, 180, 180, 180, 180, 300};
  for (std::size_t n = 1; n <= 8; ++n) EXPECT_EQ(MinimumBudget(n), fromR[n - 1]) << n << " parameters";
}

}  // namespace
}  // namespace mirelock::tune
