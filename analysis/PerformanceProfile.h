#pragma once
#include <cstddef>
#include <vector>

namespace mirelock::analysis {

// One experiment's performance profile (Dolan and Moré 2002): for each problem the ratio of its
// ERT to the best experiment's ERT on that problem; the profile at tau is the fraction of
// problems whose ratio is at most tau. A problem that no experiment solved, or that this one did
// not, has an infinite ratio and keeps the profile below 1.
struct PerformanceProfile {
  std::vector<double> ratios;  // one per problem, ascending; infinite ones last
  double At(double tau) const;
};

// `ert[problem][experiment]`, infinite for none; one profile per experiment.
std::vector<PerformanceProfile> MakePerformanceProfiles(const std::vector<std::vector<double>>& ert);

}  // namespace mirelock::analysis
