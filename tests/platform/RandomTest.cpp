#include "platform/Random.h"

#include <gtest/gtest.h>

#include <thread>

namespace mirelock {
namespace {

TEST(Random, ReproducesTheRuntimeLibrarySequenceAndKeepsStatePerThread) {
  SeedRandom(1);
  EXPECT_EQ(Random(), 41);
  EXPECT_EQ(Random(), 18467);
  EXPECT_EQ(Random(), 6334);
  EXPECT_EQ(Random(), 26500);
  EXPECT_EQ(Random(), 19169);

  // A new thread starts at state 1 whatever this thread has drawn.
  int first = -1;
  std::thread other([&first] { first = Random(); });
  other.join();
  EXPECT_EQ(first, 41);

  // The seed is the state: (21 * 214013 + 2531011) >> 16 is 107.
  SeedRandom(21);
  EXPECT_EQ(Random(), 107);
  for (int i = 0; i < 1000; ++i) ASSERT_LE(Random(), kRandomMax);  // fifteen bits of the state
}

}  // namespace
}  // namespace mirelock
