#pragma once
#include <string>
#include <vector>

#include "experiments/CExperiment.h"

namespace mirelock {

// How the reports name the experiments: the parameter texts shared by all of
// them ("fixed text", each after a blank, in parameter order), and one label
// per experiment made of the texts that differ, joined by blanks. When no
// text differs (one experiment, say) there are no labels at all.
struct ExperimentDescription {
  std::string fixedText;
  std::vector<std::string> labels;

  static ExperimentDescription Of(const std::vector<CExperiment>& experiments);
};

}  // namespace mirelock
