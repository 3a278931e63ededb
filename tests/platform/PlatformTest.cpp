#include <gtest/gtest.h>

#include <atomic>
#include <locale>
#include <sstream>
#include <thread>

#include "platform/Clock.h"
#include "platform/NumberFormat.h"
#include "platform/PauseGate.h"

namespace mirelock {
namespace {

TEST(NumberFormat, SixSignificantDigitsShorterNotation) {
  EXPECT_EQ(FormatNumber(1.0), "1");
  EXPECT_EQ(FormatNumber(0.8), "0.8");
  EXPECT_EQ(FormatNumber(1234567.0), "1.23457e+06");
  EXPECT_EQ(FormatNumber(8.164965809), "8.16497");
  EXPECT_EQ(FormatNumber(0.0001), "0.0001");
  EXPECT_EQ(FormatNumber(0.00001), "1e-05");
  EXPECT_EQ(FormatNumber(-2.5), "-2.5");
}

TEST(Clock, CountsThisThreadsProcessorTimeOnly) {
  const long start = ClockMilliseconds();
  // A sleeping neighbour must not add to this thread's time.
  std::thread sleeper([] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); });
  sleeper.join();
  EXPECT_LT(ClockMilliseconds() - start, 150);
  volatile double x = 0;
  while (ClockMilliseconds() - start < 20) x = x + 1;
  EXPECT_GE(ClockMilliseconds() - start, 20);
}

TEST(PauseGate, WorkerParksWhileClosedAndContinuesWhereItWas) {
  PauseGate gate;
  std::atomic<int> progress{0};
  std::atomic<bool> done{false};
  gate.Close();
  std::thread worker([&] {
    for (int i = 0; i < 1000; ++i) {
      if (i == 500) gate.WaitIfClosed();
      progress.store(i + 1);
    }
    done = true;
  });
  ASSERT_TRUE(gate.WaitUntilParked());
  EXPECT_EQ(progress.load(), 500);
  EXPECT_FALSE(done.load());
  gate.Open();
  worker.join();
  EXPECT_EQ(progress.load(), 1000);
  EXPECT_FALSE(gate.WaitUntilParked());
}

}  // namespace
}  // namespace mirelock
