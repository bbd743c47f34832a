#include "platform/autoresetevent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 5s;

TEST(AutoResetEvent, StartsUnsignalled) {
  plat::AutoResetEvent event;
  EXPECT_FALSE(event.Wait(0ms));
}

TEST(AutoResetEvent, OneWaitConsumesTheSignal) {
  plat::AutoResetEvent event;
  event.Set();
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_FALSE(event.Wait(0ms));
}

TEST(AutoResetEvent, SignalsAreNotCounted) {
  plat::AutoResetEvent event;
  event.Set();
  event.Set();
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_FALSE(event.Wait(0ms));
}

TEST(AutoResetEvent, BoundedWaitTimesOutNoEarlierThanItsBound) {
  plat::AutoResetEvent event;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.Wait(30ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
}

TEST(AutoResetEvent, SetReleasesABlockedWaiter) {
  plat::AutoResetEvent event;
  auto waiter = std::async(std::launch::async, [&] { event.Wait(); });
  std::this_thread::sleep_for(20ms);
  event.Set();
  ASSERT_EQ(waiter.wait_for(kHangGuard), std::future_status::ready);
  // The signal went to the waiter, not back into the event.
  EXPECT_FALSE(event.Wait(0ms));
}

TEST(AutoResetEvent, EachSignalReleasesOneOfSeveralWaiters) {
  plat::AutoResetEvent event;
  std::atomic<int> released{0};
  auto waitOnce = [&] {
    if (event.Wait(kHangGuard)) {
      ++released;
    }
  };
  std::thread first(waitOnce);
  std::thread second(waitOnce);
  std::this_thread::sleep_for(20ms);

  event.Set();
  const auto guard = std::chrono::steady_clock::now() + kHangGuard;
  while (released.load() == 0 && std::chrono::steady_clock::now() < guard) {
    std::this_thread::sleep_for(1ms);
  }
  // Give a wrongly released second waiter time to show up.
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(released.load(), 1);

  event.Set();
  first.join();
  second.join();
  EXPECT_EQ(released.load(), 2);
}

}  // namespace
