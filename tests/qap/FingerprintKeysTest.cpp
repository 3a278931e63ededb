#include <gtest/gtest.h>

#include "qap/VisitedSet.h"

namespace mirelock {
namespace {

// Keys built again for another size are those of a fresh build for it: a
// search that goes on to a 4-item problem after a 2-item one must not index
// the old, smaller table.
TEST(FingerprintKeys, RebuiltForEachNewSize) {
  for (const auto& [first, second] : {std::pair{2u, 4u}, std::pair{4u, 2u}, std::pair{3u, 3u}}) {
    FingerprintKeys reused, fresh;
    reused.Build(first);
    reused.Build(second);
    fresh.Build(second);
    // In position order, stopping at the first difference: a table left at the
    // smaller size would be read past its end further on.
    bool same = true;
    for (unsigned position = 0; position < second && same; ++position)
      for (int item = 0; item < static_cast<int>(second) && same; ++item)
        same = reused.Key(position, item) == fresh.Key(position, item);
    EXPECT_TRUE(same) << first << " then " << second;
  }
}

}  // namespace
}  // namespace mirelock
