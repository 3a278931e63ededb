#include "analysis/HtmlReport.h"

#include "analysis/AnytimeHtml.h"

#include <cstdio>

#include "analysis/HtmlText.h"
#include "analysis/ReportNumbers.h"
#include "platform/NumberFormat.h"

namespace mirelock::analysis {

namespace {

// Six significant digits, as the summary CSV writes them, so the two can be compared by eye.
std::string Number(const std::optional<double>& value) { return value ? FormatNumber(*value) : "NA"; }

std::string Fixed(double value, int decimals) { return FixedDecimals(value, decimals); }

std::string PCell(const std::optional<double>& p) { return p ? HtmlEscaped(PValueCell(*p)) : "no differences"; }

std::string Percent(const std::optional<double>& fraction) {
  return fraction ? Fixed(*fraction * 100, 1) + "%" : "NA";
}

std::string NameList(const std::vector<std::string>& names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) list += (i ? ", " : "") + HtmlEscaped(names[i]);
  return list;
}

std::string ExperimentCell(const ExperimentSummary& experiment) {
  return "<td>" + HtmlEscaped(experiment.name) + "</td><td class=\"text\">" + HtmlEscaped(experiment.label) + "</td>";
}

const char* kStyle = R"(<style>
body { font-family: sans-serif; margin: 2em; color: #222; max-width: 1100px; }
table { border-collapse: collapse; margin: 0.5em 0 1.5em; }
th, td { border: 1px solid #bbb; padding: 3px 8px; text-align: right; }
th { background: #eee; }
td:first-child, th:first-child, td.text { text-align: left; }
td.best { font-weight: bold; background: #dff0d8; }
.note { background: #fff7e0; border-left: 4px solid #e0a000; padding: 6px 10px; margin: 0.5em 0; }
.explain { color: #444; font-size: 0.95em; max-width: 960px; }
img { border: 1px solid #ccc; max-width: 100%; }
table.origin th { text-align: left; }
span.runs { color: #666; font-size: 0.85em; }
</style>
)";

void WriteOrigin(std::ostream& out, const ReportOrigin& origin) {
  out << "<table class=\"origin\">\n";
  auto row = [&](const char* name, const std::string& value) {
    if (!value.empty()) out << "<tr><th>" << name << "</th><td class=\"text\">" << HtmlEscaped(value) << "</td></tr>\n";
  };
  row("Program", origin.programVersion);
  row("Made", origin.date);
  row("Document", origin.document);
  row("Seed mode", origin.seedMode.empty() ? "" : origin.seedMode + (origin.seed ? ", seed " + std::to_string(*origin.seed) : ""));
  row("Command", origin.commandLine);
  out << "</table>\n";
}

// Which parts of the report need the runs' trace files, and which trace files could not be read.
void WriteTraceNote(std::ostream& out, const Report& report) {
  if (report.noTraces)
    out << "<p class=\"note\">No trace files beside the results files: the batch was made before each run's new best "
           "solutions were recorded. traces.csv, which lists them, is empty; every other table and chart here is "
           "taken from the results files alone. Run the batch again to have traces.</p>\n";
  if (report.traceErrors.empty()) return;
  out << "<p class=\"note\">Trace files that could not be read; their runs have no rows in traces.csv:</p>\n<ul>\n";
  for (const std::string& error : report.traceErrors) out << "<li>" << HtmlEscaped(error) << "</li>\n";
  out << "</ul>\n";
}

void WriteHeader(std::ostream& out, const Report& report) {
  out << "<h1>Mirelock batch report</h1>\n";
  WriteOrigin(out, report.origin);
  out << "<p>" << report.problems.size() << ' '
      << HtmlEscaped(ProblemMenuName(report.problemType)) << " problem" << (report.problems.size() == 1 ? "" : "s")
      << " complete for every experiment, " << report.experiments.size() << " experiment"
      << (report.experiments.size() == 1 ? "" : "s") << ", " << report.runs.size() << " runs.<br>\n"
      << "Problems from directory: " << HtmlEscaped(report.problemsDirectory) << "<br>\nResults directory: "
      << HtmlEscaped(report.resultsDirectory) << "<br>\nSettings shared by all experiments:" << HtmlEscaped(report.fixedText)
      << "</p>\n";
  if (report.batchInProgress)
    out << "<p class=\"note\">A batch is still running on these results: this report covers only the problems "
           "finished for every experiment so far.</p>\n";
  if (!report.incompletePairs.empty())
    out << "<p class=\"note\">" << report.incompletePairs.size()
        << " problem and experiment pair(s) are left out because their results files are not complete; "
           "they are listed at the end.</p>\n";
  if (!report.problemsWithoutBest.empty())
    out << "<p class=\"note\">No usable best known cost for " << NameList(report.problemsWithoutBest)
        << ": these problems have no gaps and no successes; they are ranked on their raw costs.</p>\n";
  if (!report.problemsWithZeroBest.empty())
    out << "<p class=\"note\">Best known cost 0 for " << NameList(report.problemsWithZeroBest)
        << ": a gap to 0 is undefined, so these problems have no gaps; a run that reached cost 0 is a success. "
           "They are ranked on their mean cost.</p>\n";
  if (!report.problemsWithoutCutoff.empty())
    out << "<p class=\"note\">No \"p cnf\" header could be read in the problem file of "
        << NameList(report.problemsWithoutCutoff)
        << ": the repair budget per variable, and so the cutoff that PAR-2 charges a failed run, is unknown; a "
           "problem with a failed run is then not ranked.</p>\n";
  if (!report.problemsNotRanked.empty())
    out << "<p class=\"note\">Not ranked, because a run value is missing (NA): " << NameList(report.problemsNotRanked)
        << ".</p>\n";
}

void WriteExperimentTable(std::ostream& out, const Report& report) {
  const bool gaps = report.HasGaps();
  const char* gapName = report.problemType == kProblemMaxSAT ? "% relative error" : "% gap";
  out << "<h2>Experiments</h2>\n<table>\n<tr><th>Experiment</th><th>Settings</th><th>Runs per problem</th>";
  if (gaps) out << "<th>Mean " << gapName << "</th><th>Median " << gapName << "</th>";
  out << "<th>Success rate</th><th>Mean rank</th><th>Mean CPU seconds</th></tr>\n";
  for (const ExperimentSummary& experiment : report.experiments) {
    out << "<tr>" << ExperimentCell(experiment) << "<td>" << experiment.runsPerProblem << "</td>";
    if (gaps) out << "<td>" << Number(experiment.meanGap) << "</td><td>" << Number(experiment.medianGap) << "</td>";
    out << "<td>" << Percent(experiment.successRate) << "</td><td>"
        << (experiment.meanRank ? Fixed(*experiment.meanRank, 2) : "NA") << "</td><td>"
        << Number(experiment.meanCpuSeconds) << "</td></tr>\n";
  }
  out << "</table>\n<p class=\"explain\">" << (gaps ? "Gaps are over every run of the problems with a best known cost. " : "")
      << "Success: "
      << (report.problemType == kProblemSAT ? "the run found a satisfying assignment (Sol_Found 1)."
                                             : "the run reached the best known cost.")
      << " Mean rank: over the " << report.rankedProblemCount << " ranked problems, 1 being best. "
      << HtmlEscaped(report.scoreDescription) << "</p>\n";
}

void WriteCharts(std::ostream& out, const std::vector<ReportChartImage>& charts, const std::string& note) {
  out << "<h2>Charts</h2>\n";
  if (!note.empty()) out << "<p class=\"note\">" << HtmlEscaped(note) << "</p>\n";
  for (const ReportChartImage& chart : charts) {
    out << "<h3>" << HtmlEscaped(chart.heading) << "</h3>\n<img alt=\"" << HtmlEscaped(chart.heading) << "\" src=\""
        << chart.dataUri << "\">\n<p class=\"explain\">" << HtmlEscaped(chart.explanation) << " (Also in "
        << HtmlEscaped(chart.fileName) << ".)</p>\n";
  }
}

std::string MethodText(const WilcoxonResult& w) {
  switch (w.method) {
    case WilcoxonResult::Method::kExact: return "exact";
    case WilcoxonResult::Method::kNone: return "&#8212;";
    case WilcoxonResult::Method::kNormalApproximation: break;
  }
  std::string reason;
  if (w.pairs >= 50) reason = "50 or more differences";
  if (w.zeros > 0) reason += std::string(reason.empty() ? "" : ", ") + "zeros";
  if (w.tiedDifferences) reason += std::string(reason.empty() ? "" : ", ") + "ties";
  return "normal approx. with continuity correction (" + reason + ")";
}

void WriteTests(std::ostream& out, const Report& report) {
  out << "<h2>Is the difference real? Rank tests over problems</h2>\n";
  if (!report.friedman) {
    out << "<p class=\"note\">No tests: " << HtmlEscaped(report.testsOmitted) << "</p>\n";
    return;
  }
  const FriedmanResult& f = *report.friedman;
  out << "<p>Friedman test over " << f.blocks << " problems and " << f.treatments
      << " experiments (ties get mid-ranks; the statistic is corrected for them): chi-square = "
      << Fixed(f.chiSquare, 3) << " with " << f.treatments - 1 << (f.treatments == 2 ? " degree" : " degrees")
      << " of freedom, "
      << HtmlEscaped(PValueStatement(f.pValue));
  if (f.imanDavenportF)
    out << "; Iman-Davenport F = " << Fixed(*f.imanDavenportF, 3) << " with " << f.treatments - 1 << " and "
        << (f.treatments - 1) * (f.blocks - 1) << " degrees of freedom, " << HtmlEscaped(PValueStatement(f.imanDavenportPValue));
  out << ".<br>\n"
      << (f.pValue < kAlpha ? "<b>The experiments differ</b> at the 0.05 level: at least one ranks consistently "
                              "better or worse than the others."
                            : "No significant difference at the 0.05 level: the rank differences may be chance.")
      << "</p>\n";
  if (report.criticalDifference)
    out << "<p>Nemenyi critical difference (alpha 0.05): " << Fixed(*report.criticalDifference, 3)
        << " = q &#215; &#8730;(k(k+1)/(6N)), with q = q<sub>0.05</sub>(" << f.treatments
        << ", &#8734;)/&#8730;2 from the studentized range distribution (as R's qtukey). Two experiments whose mean "
           "ranks differ by more than this differ significantly.</p>\n";

  out << "<h3>Pairwise Wilcoxon signed-rank tests with Holm's correction</h3>\n<table>\n<tr><th>First</th>"
         "<th>Second</th><th>Problems differing</th><th>Ties (zero differences)</th><th>V (first worse)</th>"
         "<th>Method</th><th>p</th><th>Holm p</th><th>Verdict at 0.05</th></tr>\n";
  for (const PairwiseComparison& pair : report.pairwise) {
    const WilcoxonResult& w = pair.test;
    const ExperimentSummary& a = report.experiments[pair.first];
    const ExperimentSummary& b = report.experiments[pair.second];
    std::string verdict = "no significant difference";
    if (!pair.holmPValue)
      verdict = "no differences";
    else if (*pair.holmPValue < kAlpha)
      verdict = (w.positiveRankSum < w.negativeRankSum ? a.name : b.name) + " better";
    out << "<tr><td>" << HtmlEscaped(a.name) << "</td><td>" << HtmlEscaped(b.name) << "</td><td>" << w.pairs << "</td><td>"
        << w.zeros << "</td><td>" << FormatNumber(w.positiveRankSum) << "</td><td class=\"text\">"
        << MethodText(w) << "</td><td>" << PCell(w.pValue) << "</td><td>" << PCell(pair.holmPValue)
        << "</td><td class=\"text\">" << HtmlEscaped(verdict) << "</td></tr>\n";
  }
  out << "</table>\n<p class=\"explain\">Each test pairs the two experiments' scores problem by problem, "
         "computed as R's <code>wilcox.test(x, y, paired = TRUE, exact = NULL, correct = TRUE)</code> computes "
         "it: zero differences (ties between the two experiments) are dropped; p is exact when fewer than 50 "
         "problems differ, no two differences are equal in size and no zero difference was dropped; otherwise "
         "it comes from the normal approximation with the variance corrected for tied differences and a "
         "continuity correction of 0.5. A pair that differs on no problem has no p-value (no differences). "
         "Holm's correction, over the pairs with a p-value, keeps the chance of any false verdict among them at "
         "0.05.</p>\n";
}

void WriteProblemTable(std::ostream& out, const Report& report) {
  out << "<h2>Per problem</h2>\n<p class=\"explain\">Each problem's figure per experiment, with its successful "
         "runs out of its runs in brackets; the best is marked. " << HtmlEscaped(report.scoreDescription) << "</p>\n<table>\n<tr><th>Problem</th><th>Figure</th>";
  for (const ExperimentSummary& experiment : report.experiments) out << "<th>" << HtmlEscaped(experiment.name) << "</th>";
  out << "</tr>\n";
  for (const ProblemScores& row : report.problemTable) {
    out << "<tr><td>" << HtmlEscaped(row.problem) << "</td><td class=\"text\">" << HtmlEscaped(row.measure)
        << (row.ranked ? "" : " (not ranked)") << "</td>";
    for (std::size_t e = 0; e < row.shown.size(); ++e) {
      out << (row.best[e] ? "<td class=\"best\">&#9733; " : "<td>") << Number(row.shown[e]);
      if (e < row.runsWithSuccess.size() && row.runsWithSuccess[e] > 0)
        out << " <span class=\"runs\">(" << row.successes[e] << "/" << row.runsWithSuccess[e] << ")</span>";
      out << "</td>";
    }
    out << "</tr>\n";
  }
  out << "</table>\n";
}

void WriteLeftOut(std::ostream& out, const Report& report) {
  if (report.incompletePairs.empty()) return;
  out << "<h2>Left out</h2>\n<table>\n<tr><th>Problem</th><th>Experiment</th><th>Lines found</th>"
         "<th>Lines needed</th><th>State</th></tr>\n";
  for (const IncompletePair& pair : report.incompletePairs) {
    const char* state = pair.notInCurrentBatch ? "complete, but not yet solved by the batch in progress"
                        : pair.beingWritten    ? "being written"
                        : pair.linesFound == 0 ? "no results file"
                                               : "incomplete";
    out << "<tr><td>" << HtmlEscaped(pair.problem) << "</td><td>" << HtmlEscaped(report.experiments[pair.experiment].name)
        << "</td><td>" << pair.linesFound << "</td><td>" << pair.linesNeeded << "</td><td class=\"text\">" << state
        << "</td></tr>\n";
  }
  out << "</table>\n";
}

}  // namespace

void WriteHtmlReport(std::ostream& out, const Report& report, const std::vector<ReportChartImage>& charts,
                     const std::string& chartsNote) {
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Mirelock batch report</title>\n"
      << kStyle << "</head>\n<body>\n";
  WriteHeader(out, report);
  WriteExperimentTable(out, report);
  WriteCharts(out, charts, chartsNote);
  WriteTraceNote(out, report);
  WriteTests(out, report);
  WriteAnytimeSection(out, report);
  WriteProblemTable(out, report);
  WriteLeftOut(out, report);
  out << "<p class=\"explain\">Files beside this page: runs.csv (one row per run), traces.csv (one row per new best solution of a run) and each chart as PNG and SVG.</p>\n"
         "</body>\n</html>\n";
}

}  // namespace mirelock::analysis
