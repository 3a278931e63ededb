#include "summary/ExperimentDescription.h"

namespace mirelock {

ExperimentDescription ExperimentDescription::Of(const std::vector<CExperiment>& experiments) {
  ExperimentDescription description;
  if (experiments.empty()) return description;
  const CExperiment& first = experiments.front();
  std::vector<unsigned> varying;
  for (unsigned i = 0; i < CommonParamCount(experiments); ++i) {
    bool fixed = true;
    for (const CExperiment& experiment : experiments)
      if (experiment.GetParamAt(i) != first.GetParamAt(i)) fixed = false;
    if (fixed)
      description.fixedText.append(" ").append(first.GetParamAt(i));
    else
      varying.push_back(i);
  }
  if (varying.empty()) return description;
  for (const CExperiment& experiment : experiments) {
    std::string label;
    for (unsigned i : varying) {
      if (!label.empty()) label += ' ';
      label += experiment.GetParamAt(i);
    }
    description.labels.push_back(label);
  }
  return description;
}

}  // namespace mirelock
