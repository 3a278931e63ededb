#include "sat/WeightedSATReader.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/FatalError.h"
#include "sat/CNFInstance.h"
#include "sat/ClauseLiteralSet.h"
#include "sat/SATProblem.h"
#include "sat/TextScanner.h"

namespace mirelock {
namespace {

class RecordReader {
 public:
  RecordReader(TextScanner& scanner, const SATProblem& problem) : scanner_(scanner), problem_(problem) {}

  // The next integer, which must lie in [low, high]; `what` names it in errors.
  long long Next(const std::string& what, long long low, long long high) {
    long long value = 0;
    switch (scanner_.ReadInteger(value)) {
      case TextScanner::Result::kEnd:
        Fail("the file ends where " + what + " was expected");
      case TextScanner::Result::kNotInteger:
        Fail("'" + scanner_.PendingToken() + "' is not an integer (" + what + ")");
      case TextScanner::Result::kOk:
        break;
    }
    if (value < low || value > high)
      Fail(what + " " + std::to_string(value) + " is outside " + std::to_string(low) + ".." +
           std::to_string(high));
    return value;
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw FatalError(problem_.SourceName() + ": " + what, OutputStream::Err, 1);
  }

 private:
  TextScanner& scanner_;
  const SATProblem& problem_;
};

}  // namespace

std::istream& WeightedSATReader::Read(std::istream& in, SATProblem& problem) {
  TextScanner scanner(in, problem.SourceName());
  RecordReader reader(scanner, problem);
  constexpr long long kMaxInt = std::numeric_limits<std::int32_t>::max();

  const long long variableCount = reader.Next("the variable count", 0, kMaxVariables);
  CheckVariablesFitTheFile(variableCount, scanner.RemainingBytes(), problem.SourceName());
  const std::size_t firstVariable = problem.NumVariables();
  for (long long i = 0; i < variableCount; ++i) problem.AddVariable();
  const long long clauseCount = reader.Next("the clause count", 0, kMaxClauses);
  // A record takes at least four bytes ("0 0 "): reserve no more than the file can hold.
  problem.ReserveClauses(problem.NumClauses() + std::min<std::size_t>(static_cast<std::size_t>(clauseCount),
                                                                      scanner.RemainingBytes() / 4));

  ClauseLiteralSet seen;
  std::vector<long long> literals;
  for (long long record = 1; record <= clauseCount; ++record) {
    const std::string where = " of clause record " + std::to_string(record);
    const long long length = reader.Next("the literal count" + where, 0, kMaxInt);
    const long long weight = reader.Next("the weight" + where, 0, kMaxInt);
    seen.Clear();
    literals.clear();
    bool complementary = false;
    for (long long k = 0; k < length; ++k) {
      const long long value = reader.Next("a literal" + where, -variableCount, variableCount);
      if (value == 0 || seen.Contains(value)) continue;
      if (seen.Contains(-value)) complementary = true;
      seen.Insert(value);
      literals.push_back(value);
    }
    // The clause is made only when it is kept, so the ids stay dense.
    if (complementary) continue;
    WeightedClause& clause = problem.AddWeightedClause(static_cast<std::int32_t>(weight));
    for (long long value : literals)
      clause.AddLiteral(problem.LiteralOf(
          firstVariable + static_cast<std::size_t>((value < 0 ? -value : value) - 1), value > 0));
  }
  return in;
}

}  // namespace mirelock
