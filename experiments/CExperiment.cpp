#include "experiments/CExperiment.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/NumberFormat.h"

namespace mirelock {

namespace {

// "%g" through the classic-locale stream: the same six significant digits as
// printf, but a decimal point that no user locale can turn into a comma (the
// texts are part of results file names).
std::string G(double value) { return FormatNumber(value); }

// Unsigned values are printed as unsigned: a count above 2^31 must not appear
// as a negative number in a results file name.
std::string D(std::uint32_t value) { return std::to_string(value); }

std::string OnOff(bool on) { return on ? "=On" : "=Off"; }

class RecordWriter {
 public:
  explicit RecordWriter(CExperiment::Record& record) : record_(record) {}
  void Double(double value) { Word64(std::bit_cast<std::uint64_t>(value)); }
  void Word32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) record_[pos_++] = static_cast<std::uint8_t>(value >> (8 * i));
  }

 private:
  void Word64(std::uint64_t value) {
    for (int i = 0; i < 8; ++i) record_[pos_++] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  CExperiment::Record& record_;
  std::size_t pos_ = 0;
};

class RecordReader {
 public:
  explicit RecordReader(const CExperiment::Record& record) : record_(record) {}
  double Double() { return std::bit_cast<double>(Word64()); }
  std::uint32_t Word32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(record_[pos_++]) << (8 * i);
    return value;
  }

 private:
  std::uint64_t Word64() {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(record_[pos_++]) << (8 * i);
    return value;
  }
  const CExperiment::Record& record_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string CExperiment::GetParamAt(unsigned nIdx) const {
  switch (nIdx) {
    case 0:
      return "Lambda=" + G(m_dLambda);
    case 1:
      return "Aspiration" + OnOff(m_bAspiration);
    case 2:
      return "Sideways=" + D(m_nSideways);
    case 3:
      return m_dRandomMoveProb > 0 ? "Pr(random move)=" + G(m_dRandomMoveProb) : "Pr(random move)=Off";
    case 4:
      return "History" + OnOff(m_bHistory);
    case 5:
      if (m_nPenaltyDecayEvery == 0) return "Penalty decay=Off";
      return "Penalty decay=" + G(m_dPenaltyDecayFactor) + " every " + D(m_nPenaltyDecayEvery) +
             " local minima";
    case 6:
      return "Max repairs=" + D(m_nMaxRepairs) + (m_bMaxRepairsTimesN ? "*N" : "");
    case 7:
      return "Num runs=" + D(m_nNumRuns);
    case 8:
      return m_nNeighbours == 0 ? "Neighbourhood=Full" : "Neighbourhood=Fast " + D(m_nNeighbours) + " nearest";
    default:
      return "INVALID:UnknownParamStr in const CString CExperiment::GetParamAt(unsigned int nIdx) const";
  }
}

CExperiment::Record CExperiment::ToRecord() const {
  Record record{};
  RecordWriter out(record);
  out.Double(m_dLambda);
  out.Double(m_dRandomMoveProb);
  out.Word32(m_bAspiration ? 1 : 0);
  out.Word32(m_bHistory ? 1 : 0);
  out.Word32(m_nSideways);
  out.Word32(m_nPenaltyDecayEvery);
  out.Double(m_dPenaltyDecayFactor);
  out.Word32(m_nMaxRepairs);
  out.Word32(m_nNumRuns);
  out.Word32(m_bMaxRepairsTimesN ? 1 : 0);
  return record;
}

CExperiment CExperiment::FromRecord(const Record& record) {
  RecordReader in(record);
  CExperiment ex;
  ex.m_dLambda = in.Double();
  ex.m_dRandomMoveProb = in.Double();
  ex.m_bAspiration = in.Word32() != 0;
  ex.m_bHistory = in.Word32() != 0;
  ex.m_nSideways = in.Word32();
  ex.m_nPenaltyDecayEvery = in.Word32();
  ex.m_dPenaltyDecayFactor = in.Double();
  ex.m_nMaxRepairs = in.Word32();
  ex.m_nNumRuns = in.Word32();
  ex.m_bMaxRepairsTimesN = in.Word32() != 0;
  return ex;
}

void CExperiment::ApplyPresetGLSSAT1() {
  m_dLambda = 1.0;
  m_bAspiration = false;
  m_dRandomMoveProb = 0.0;
  m_bHistory = true;
  m_nSideways = 20;
  m_nPenaltyDecayEvery = 0;  // the decay factor is left as it was
}

void CExperiment::ApplyPresetGLSSAT2() {
  ApplyPresetGLSSAT1();
  m_nPenaltyDecayEvery = 200;
  m_dPenaltyDecayFactor = 0.8;
}

CExperiment CExperiment::FirstOfEmptyList() {
  CExperiment ex;
  ex.m_bAspiration = true;
  ex.m_dRandomMoveProb = 0.05;
  return ex;
}

unsigned CommonParamCount(const std::vector<CExperiment>& experiments) {
  unsigned count = 0;
  for (const CExperiment& ex : experiments) count = std::max(count, ex.GetParamCount());
  return count;
}

}  // namespace mirelock
