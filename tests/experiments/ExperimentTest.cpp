#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "UnusualExperiment.h"
#include "experiments/CExperiment.h"
#include "solver/SolverParameters.h"

namespace mirelock {
namespace {

TEST(Experiment, DefaultRecordIsTheDocumentedBytes) {
  const CExperiment::Record expected = {
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // lambda 1.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // random move probability 0
      0x00, 0x00, 0x00, 0x00,                          // aspiration
      0x00, 0x00, 0x00, 0x00,                          // history
      0x02, 0x00, 0x00, 0x00,                          // sideways
      0x00, 0x00, 0x00, 0x00,                          // decay every
      0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0xE9, 0x3F,  // decay factor 0.8
      0xE8, 0x03, 0x00, 0x00,                          // max repairs
      0x0A, 0x00, 0x00, 0x00,                          // runs
      0x01, 0x00, 0x00, 0x00};                         // times N
  EXPECT_EQ(CExperiment().ToRecord(), expected);

  // The document file test saves and opens a record of every field's extremes.
}

// The default texts are pinned by the reports' titles and the editor's table.
TEST(Experiment, ParameterTexts) {
  const CExperiment ex = test::UnusualExperiment();
  const std::vector<std::string> texts = {
      "Lambda=1.23457e+06", "Aspiration=On", "Sideways=4294967295", "Pr(random move)=1e-300", "History=On",
      "Penalty decay=0.7 every 200 local minima", "Max repairs=2147483648", "Num runs=4000000000"};
  ASSERT_EQ(ex.GetParamCount(), 8u);
  for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(ex.GetParamAt(i), texts[i]);
  // The ninth text, the neighbourhood, counts only for fast local search.
  EXPECT_EQ(ex.GetParamAt(8), "Neighbourhood=Full");
  EXPECT_EQ(ex.GetParamAt(9),
            "INVALID:UnknownParamStr in const CString CExperiment::GetParamAt(unsigned int nIdx) const");
  CExperiment fast = ex;
  fast.m_nNeighbours = 12;
  ASSERT_EQ(fast.GetParamCount(), 9u);
  EXPECT_EQ(fast.GetParamAt(8), "Neighbourhood=Fast 12 nearest");
  EXPECT_NE(fast, ex);
  EXPECT_EQ(fast.ToRecord(), ex.ToRecord());  // the record does not hold the setting
}

TEST(Experiment, PresetsSetTheSearchAndKeepTerminationAndGlssat1KeepsTheDecayFactor) {
  const CExperiment ex = test::UnusualExperiment();
  CExperiment expected;  // the default search, with ex's termination and decay factor
  expected.m_bHistory = true;
  expected.m_nSideways = 20;
  expected.m_dPenaltyDecayFactor = ex.m_dPenaltyDecayFactor;
  expected.m_nMaxRepairs = ex.m_nMaxRepairs;
  expected.m_nNumRuns = ex.m_nNumRuns;
  expected.m_bMaxRepairsTimesN = false;
  CExperiment one = ex;
  one.ApplyPresetGLSSAT1();
  EXPECT_EQ(one, expected);

  expected.m_nPenaltyDecayEvery = 200;
  expected.m_dPenaltyDecayFactor = 0.8;
  CExperiment two = ex;
  two.ApplyPresetGLSSAT2();
  EXPECT_EQ(two, expected);
}

// Records every setter call so that the order of ApplyExperiment is visible;
// refuses the setting named `refuse` as a solver without it does.
class RecordingParameters : public SolverParameters {
 public:
  std::vector<std::string> calls;
  std::string refuse;
  unsigned GetNumRuns() override { return 0; }
  void SetAspiration(bool on) override { Log("Aspiration", on); }
  void SetRandomMoves(double p) override { Log("RandomMoves", p); }
  void SetHistory(bool on) override { Log("History", on); }
  void SetSidewaysMoves(int n) override { Log("Sideways", n); }
  void SetPenaltyDecay(unsigned period, double factor) override { Log("PenaltyDecay", period, factor); }
  void SetLambda(double lambda) override { Log("Lambda", lambda); }
  void SetNumRuns(unsigned runs) override { Log("NumRuns", runs); }
  void SetMaxRepairsPerN(unsigned f) override { Log("MaxRepairsPerN", f); }
  void SetMaxRepairs(unsigned r) override { Log("MaxRepairs", r); }
  void SetSeed(unsigned seed) override { Log("Seed", seed); }
  void SetMonitor(const std::string& file, unsigned period) override { Log("Monitor", file, period); }
  std::ostream& WriteOptions(std::ostream& out) override { return out; }

 private:
  template <typename First, typename... More>
  void Log(const std::string& name, const First& first, const More&... more) {
    if (name == refuse) throw UnsupportedFeature(name);
    std::ostringstream text;
    text << name << ":" << first;
    ((text << "," << more), ...);
    calls.push_back(text.str());
  }
};

TEST(Experiment, ApplyExperimentCallsInFixedOrder) {
  RecordingParameters plain;
  ApplyExperiment(plain, CExperiment(), RunSettings{});
  EXPECT_EQ(plain.calls,
            (std::vector<std::string>{"MaxRepairsPerN:1000", "NumRuns:10", "Lambda:1", "RandomMoves:0",
                                      "Aspiration:0", "History:0", "Sideways:2", "Seed:21"}));

  CExperiment ex;
  ex.m_bMaxRepairsTimesN = false;
  ex.m_nPenaltyDecayEvery = 5;
  ex.m_dPenaltyDecayFactor = 0.5;
  RunSettings monitor{.seedMode = kSeedNone, .monitorRun = true, .monitorFile = "mon.txt", .monitorEvery = 7};
  RecordingParameters full;
  ApplyExperiment(full, ex, monitor);
  EXPECT_EQ(full.calls,
            (std::vector<std::string>{"MaxRepairs:1000", "NumRuns:10", "Lambda:1", "RandomMoves:0",
                                      "Aspiration:0", "Monitor:mon.txt,7", "History:0",
                                      "PenaltyDecay:5,0.5", "Sideways:2", "Seed:4294967295"}));

  // A seed from the time is some seed; an unknown seed mode sets none.
  for (const std::uint32_t mode : {std::uint32_t{kSeedFromTime}, std::uint32_t{9}}) {
    RecordingParameters seeded;
    RunSettings settings;
    settings.seedMode = mode;
    ApplyExperiment(seeded, CExperiment(), settings);
    EXPECT_EQ(seeded.calls.size(), mode == 9 ? 7u : 8u);
    EXPECT_EQ(seeded.calls.back().substr(0, 5), mode == 9 ? "Sidew" : "Seed:");
  }

  // The first refused setting ends the hand-over: nothing after History is set.
  CExperiment history;
  history.m_bHistory = true;
  RecordingParameters refusing;
  refusing.refuse = "History";
  try {
    ApplyExperiment(refusing, history, RunSettings{});
    ADD_FAILURE() << "History was accepted";
  } catch (const UnsupportedFeature& e) {
    EXPECT_STREQ(e.what(), "History");
  }
  EXPECT_EQ(refusing.calls.size(), 5u);
  EXPECT_EQ(refusing.calls.back(), "Aspiration:0");
}

}  // namespace
}  // namespace mirelock
