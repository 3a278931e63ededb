#pragma once
#include "experiments/CExperiment.h"

namespace mirelock::test {

// Every field away from its default, at values where a narrower type, a lost
// sign or a rounded text would show.
inline CExperiment UnusualExperiment() {
  CExperiment ex;
  ex.m_dLambda = 1234567.0;
  ex.m_bAspiration = true;
  ex.m_dRandomMoveProb = 1e-300;
  ex.m_bHistory = true;
  ex.m_nSideways = 0xFFFFFFFFu;
  ex.m_nPenaltyDecayEvery = 200;
  ex.m_dPenaltyDecayFactor = 0.7;
  ex.m_nMaxRepairs = 0x80000000u;
  ex.m_bMaxRepairsTimesN = false;
  ex.m_nNumRuns = 4000000000u;
  return ex;
}

}  // namespace mirelock::test
