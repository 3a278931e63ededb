#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/UserMessages.h"
#include "summary/BestKnownCosts.h"
#include "summary/CompletedProblems.h"
#include "summary/ResultsTable.h"

namespace mirelock {

// The run values of a batch's completed problems, read the one way every
// report reads them: the results files into a table, the best known costs from
// best.txt, and the cost columns converted into gaps. `raw` keeps the costs as
// the solvers wrote them, for reports that rank problems without a best known
// cost; it is filled only when asked for.
struct BatchResults {
  ResultsTable converted;
  std::optional<ResultsTable> raw;
  BestKnownCosts bestKnownCosts;
  std::vector<std::string> problemsWithoutBest;
};

// Shows "No problems completed for all experiments, please solve some first."
// and returns nothing when no problem is complete. Messages about unreadable
// or malformed files go to `messages` and reading goes on.
std::optional<BatchResults> ReadBatchResults(const CompletedProblemsQuery& query, UserMessages& messages,
                                             bool keepRawCosts = false);

}  // namespace mirelock
