#include "analysis/AnytimeHtml.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "analysis/ExpectedRunningTime.h"
#include "analysis/HtmlText.h"

namespace mirelock::analysis {

namespace {

std::string Figure(double value, const char* format = "%.4g") {
  if (std::isinf(value)) return "&infin;";
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string TargetName(const Report& report, double target) {
  if (report.problemType == kProblemSAT) return "solved";
  if (target == 0) return "best known";
  // Appended piece by piece: g++ 12 warns (-Wrestrict, wrongly) about the same built with operator+.
  std::string name = "+";
  name += Figure(target, "%g");
  name += " %";
  return name;
}

void WriteErtTables(std::ostream& out, const Report& report) {
  const AnytimeSummary& anytime = report.anytime;
  out << "<p class=\"explain\">ERT: the repairs of all runs (a run that reached the target counts its repairs to "
         "it, one that did not its whole run) divided by the runs that reached it; in brackets a 95 % percentile "
         "bootstrap interval from "
      << kErtResamples << " resamples of the runs (fixed seed), then runs that reached the target / runs. Below it, "
         "the same over CPU seconds (the CPU time of each run when it reached the target, or of the whole run).</p>\n";
  for (std::size_t t = 0; t < anytime.targets.size(); ++t) {
    out << "<h3>ERT to " << TargetName(report, anytime.targets[t]) << "</h3>\n<table>\n<tr><th>Problem</th>";
    for (const ExperimentSummary& experiment : report.experiments) out << "<th>" << HtmlEscaped(experiment.name) << "</th>";
    out << "</tr>\n";
    for (std::size_t p = 0; p < anytime.ertRepairs.size(); ++p) {
      bool any = false;
      for (const auto& cells : anytime.ertRepairs[p]) any = any || (t < cells.size() && cells[t].runs > 0);
      if (!any) continue;
      out << "<tr><td>" << HtmlEscaped(report.problems[p]) << "</td>";
      for (std::size_t e = 0; e < anytime.ertRepairs[p].size(); ++e) {
        const auto& cells = anytime.ertRepairs[p][e];
        if (t >= cells.size() || cells[t].runs == 0) {
          out << "<td>NA</td>";
          continue;
        }
        const ErtEstimate& repairs = cells[t];
        const ErtEstimate& seconds = anytime.ertSeconds[p][e][t];
        out << "<td>" << Figure(repairs.ert) << " [" << Figure(repairs.low) << ", " << Figure(repairs.high) << "] "
            << repairs.successes << '/' << repairs.runs << "<br>" << Figure(seconds.ert) << " s ["
            << Figure(seconds.low) << ", " << Figure(seconds.high) << "]</td>";
      }
      out << "</tr>\n";
    }
    out << "</table>\n";
  }
}

}  // namespace

void WriteAnytimeSection(std::ostream& out, const Report& report) {
  out << "<h2>Anytime behaviour</h2>\n";
  const AnytimeSummary& anytime = report.anytime;
  if (!anytime.available) {
    out << "<p class=\"note\">This section needs the runs' trace files"
        << (report.problemType == kProblemSAT ? "" : " and best known costs")
        << ": the ECDF areas, the performance profiles and the expected running times (ERT) are left out.</p>\n";
    return;
  }
  // ECDF areas, best first, beside the Friedman mean ranks.
  std::vector<std::size_t> order(report.experiments.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return anytime.ecdfArea[a] > anytime.ecdfArea[b]; });
  out << "<p class=\"explain\">ECDF area: the fraction of (problem, target, run) triples that reached their target "
         "within a budget, each (problem, target) pair weighing the same, averaged over the budget on a log10 "
         "axis from 1 to "
      << Figure(anytime.ecdfBudget, "%.0f")
      << " repairs; 1 reaches every target at once, 0 none. Higher is better; the Friedman mean rank (lower is "
         "better) ranks the final results.</p>\n<table>\n<tr><th>Experiment</th><th>Label</th><th>ECDF area</th>"
         "<th>Mean rank</th></tr>\n";
  for (std::size_t e : order) {
    const ExperimentSummary& experiment = report.experiments[e];
    out << "<tr><td>" << HtmlEscaped(experiment.name) << "</td><td>" << HtmlEscaped(experiment.label) << "</td><td>"
        << Figure(anytime.ecdfArea[e], "%.4f") << "</td><td>"
        << (experiment.meanRank ? Figure(*experiment.meanRank, "%.2f") : std::string("NA")) << "</td></tr>\n";
  }
  out << "</table>\n";
  // Performance profiles at a few ratios.
  const double taus[] = {1, 2, 5, 10};
  out << "<p class=\"explain\">Performance profiles (Dolan and Mor&eacute;) on ERT in repairs to "
      << TargetName(report, anytime.targets[anytime.profileTarget])
      << ": the fraction of problems on which the experiment's ERT is within a factor &tau; of the best "
         "experiment's.</p>\n<table>\n<tr><th>Experiment</th>";
  for (double tau : taus) out << "<th>&tau; = " << Figure(tau, "%g") << "</th>";
  out << "</tr>\n";
  for (std::size_t e = 0; e < anytime.profiles.size(); ++e) {
    out << "<tr><td>" << HtmlEscaped(report.experiments[e].name) << "</td>";
    for (double tau : taus) out << "<td>" << Figure(anytime.profiles[e].At(tau), "%.2f") << "</td>";
    out << "</tr>\n";
  }
  out << "</table>\n";
  WriteErtTables(out, report);
}

}  // namespace mirelock::analysis
