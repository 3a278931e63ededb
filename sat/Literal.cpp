#include "sat/Literal.h"

#include <algorithm>

namespace mirelock {

void Variable::RemoveClause(const Clause* clause) {
  occurrences_.erase(std::remove(occurrences_.begin(), occurrences_.end(), clause), occurrences_.end());
}

}  // namespace mirelock
