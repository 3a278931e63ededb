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

  SeedRandom(21);
  const int a = Random();
  SeedRandom(21);
  EXPECT_EQ(Random(), a);
  for (int i = 0; i < 100000; ++i) {
    const int r = Random();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, kRandomMax);
  }
}

}  // namespace
}  // namespace mirelock
