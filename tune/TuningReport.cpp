#include "tune/TuningReport.h"

#include <ostream>

#include "analysis/HtmlText.h"
#include "platform/NumberFormat.h"

namespace mirelock::tune {

namespace {

using analysis::HtmlEscaped;

std::string SettingsOf(const EliteSummary& elite) {
  std::string text;
  for (const auto& [name, value] : elite.settings) text.append(text.empty() ? "" : " ").append(name + " " + value);
  return text;
}

std::string Setup(const TuningRecord& r) {
  return std::string(ProblemMenuName(r.type)) + " tuning on " + std::to_string(r.trainingProblems) +
         " training problem" + (r.trainingProblems == 1 ? "" : "s") + " in " + r.trainingDirectory + ", budget " +
         std::to_string(r.budget) + " runs, seed " + std::to_string(r.seed) +
         (r.slurm ? ", runs as Slurm jobs, " + std::to_string(r.jobs) + " at a time"
                  : ", " + std::to_string(r.jobs) + " parallel run" + (r.jobs == 1 ? "" : "s"));
}

std::string Effort(const TuningRecord& r) {
  return std::to_string(r.summary.settingsTried) + " settings tried, " + std::to_string(r.summary.runs) +
         " runs spent; CPU " + FormatNumber(r.cpuSeconds) + " s, wall-clock " + FormatNumber(r.wallSeconds) + " s";
}

}  // namespace

std::string CostMeasure(ProblemType type) {
  switch (type) {
    case kProblemSAT:
      return "repairs to a solution, a failed run counting 10 x its repair budget (PAR-10)";
    case kProblemMaxSAT:
      return "% relative error to best.txt (the satisfied weight negated where best.txt has none)";
    default:
      return "% gap to best.txt's best known cost (the cost itself where best.txt has none)";
  }
}

void WriteTuningText(std::ostream& out, const TuningRecord& r) {
  out << Setup(r) << "\n" << Effort(r) << "\nCost: " << r.costMeasure << "\n\nElites (in irace's order, best first; mean rank and mean cost over the "
      << (r.summary.elites.empty() ? 0 : r.summary.elites.front().instances) << " instance runs all of them made):\n";
  for (std::size_t k = 0; k < r.summary.elites.size(); ++k) {
    const EliteSummary& e = r.summary.elites[k];
    out << "  " << (k < r.eliteNames.size() ? r.eliteNames[k] : "") << "  setting " << e.id << "  mean rank "
        << FormatNumber(e.meanRank) << "  mean cost " << FormatNumber(e.meanCost) << "  " << SettingsOf(e) << "\n";
  }
  out << "  Exp 0 (kept): " << r.experiment0Settings << "\n\nIterations (settings raced, eliminated, kept as elites, runs):\n";
  for (const IterationSummary& it : r.summary.iterations)
    out << "  " << it.iteration << ": " << it.raced << " raced, " << (it.raced - std::min(it.raced, it.kept))
        << " eliminated, " << it.kept << " kept, " << it.runs << " runs, best setting " << it.best << "\n";
  out << "irace's files and log: " << r.logDirectory << "\n";
}

void WriteTuningPage(std::ostream& out, const TuningRecord& r) {
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tuning summary</title>\n"
         "<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
         "td,th{border:1px solid #bbb;padding:3px 8px;text-align:left}</style></head><body>\n"
      << "<h1>Tuning summary</h1>\n<p>" << HtmlEscaped(Setup(r)) << ".</p>\n<p>" << HtmlEscaped(Effort(r)) << ".</p>\n"
      << "<p>Cost minimised by irace: " << HtmlEscaped(r.costMeasure) << ".</p>\n";
  if (!r.reportPage.empty())
    out << "<p>The verdict of the tuning is the test on unseen problems: <a href=\"" << HtmlEscaped(r.reportPage)
        << "\">the report of the test batch</a>, not the racing below.</p>\n";
  out << "<h2>Elite settings</h2>\n<p>In irace's order, best first (its ranks over all the runs each elite made). Mean rank and mean cost over the "
      << (r.summary.elites.empty() ? 0 : r.summary.elites.front().instances)
      << " instance runs that every elite made.</p>\n<table><tr><th>Document</th><th>irace setting</th><th>Mean rank</th>"
         "<th>Mean cost</th><th>Settings</th></tr>\n";
  for (std::size_t k = 0; k < r.summary.elites.size(); ++k) {
    const EliteSummary& e = r.summary.elites[k];
    out << "<tr><td>" << HtmlEscaped(k < r.eliteNames.size() ? r.eliteNames[k] : "") << "</td><td>" << e.id << "</td><td>"
        << FormatNumber(e.meanRank) << "</td><td>" << FormatNumber(e.meanCost) << "</td><td><code>"
        << HtmlEscaped(SettingsOf(e)) << "</code></td></tr>\n";
  }
  out << "<tr><td>Exp 0 (kept)</td><td></td><td></td><td></td><td><code>" << HtmlEscaped(r.experiment0Settings)
      << "</code></td></tr>\n</table>\n<h2>Iterations</h2>\n<table><tr><th>Iteration</th><th>Settings raced</th>"
         "<th>Eliminated</th><th>Kept as elites</th><th>Runs</th><th>Best setting</th></tr>\n";
  for (const IterationSummary& it : r.summary.iterations)
    out << "<tr><td>" << it.iteration << "</td><td>" << it.raced << "</td><td>" << (it.raced - std::min(it.raced, it.kept))
        << "</td><td>" << it.kept << "</td><td>" << it.runs << "</td><td>" << it.best << "</td></tr>\n";
  out << "</table>\n<p>irace's files and its log (irace.Rdata, irace.log) are in <code>" << HtmlEscaped(r.logDirectory)
      << "</code>; <code>irace --scenario scenario.txt</code> there replays the tuning.</p>\n</body></html>\n";
}

}  // namespace mirelock::tune
