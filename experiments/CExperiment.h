#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mirelock {

class SolverParameters;

// One set of GLS settings with its termination criteria. Equality compares all
// values exactly, including those that no parameter text shows.
//
// Besides the ten values of the 52-byte record, an experiment may ask the TSP
// solver for fast local search over each city's nearest neighbours. That
// setting is an addition: an experiment that does not use it has the same
// eight texts and record as before, and the document stores it apart from the
// record (DocumentFile).
class CExperiment {
 public:
  static constexpr std::size_t kRecordSize = 52;
  using Record = std::array<std::uint8_t, kRecordSize>;

  double m_dLambda = 1.0;
  bool m_bAspiration = false;
  double m_dRandomMoveProb = 0.0;
  bool m_bHistory = false;
  std::uint32_t m_nSideways = 2;
  std::uint32_t m_nPenaltyDecayEvery = 0;
  double m_dPenaltyDecayFactor = 0.8;
  std::uint32_t m_nMaxRepairs = 1000;
  bool m_bMaxRepairsTimesN = true;
  std::uint32_t m_nNumRuns = 10;
  // 0: the full 2-opt neighbourhood; K > 0: fast local search over the K
  // nearest neighbours of each city (TSP only).
  std::uint32_t m_nNeighbours = 0;
  static constexpr std::uint32_t kDefaultFastNeighbours = 10;

  bool operator==(const CExperiment& other) const = default;

  // 8, and a ninth text "Neighbourhood=..." only for fast local search.
  unsigned GetParamCount() const { return m_nNeighbours == 0 ? 8 : 9; }
  // "Lambda=1", "Aspiration=Off", ... ; index 8 is the neighbourhood
  // ("Neighbourhood=Full" or "Neighbourhood=Fast 10 nearest"), for tables
  // that compare it across a list; an index beyond 8 gives the INVALID text.
  std::string GetParamAt(unsigned nIdx) const;

  // The 52-byte little-endian record of the document file; it does not hold
  // m_nNeighbours.
  Record ToRecord() const;
  static CExperiment FromRecord(const Record& record);

  // The two published GLSSAT settings; termination criteria stay as they are.
  void ApplyPresetGLSSAT1();
  void ApplyPresetGLSSAT2();

  // What Add starts from when the list is empty.
  static CExperiment FirstOfEmptyList();
};

// The number of texts that describe every experiment of a list side by side:
// the largest GetParamCount, so that the neighbourhood appears as soon as one
// experiment uses fast local search.
unsigned CommonParamCount(const std::vector<CExperiment>& experiments);

// Seed modes of the document.
enum SeedMode : std::uint32_t { kSeedFromTime = 0, kSeedFixed = 1, kSeedNone = 2 };

// The run settings that accompany an experiment when it is handed to a solver.
struct RunSettings {
  std::uint32_t seedMode = kSeedFixed;
  std::uint32_t fixedSeed = 21;
  bool monitorRun = false;  // only a monitor run calls SetMonitor
  std::string monitorFile;
  std::uint32_t monitorEvery = 1;
};

// Hands an experiment to a solver's parameters by the fixed sequence of
// setter calls; an unsupported setting throws UnsupportedFeature.
void ApplyExperiment(SolverParameters& parameters, const CExperiment& experiment,
                     const RunSettings& settings);

}  // namespace mirelock
