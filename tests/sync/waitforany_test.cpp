#include "platform/waitforany.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 5s;

struct PriorityCase {
  const char* name;
  std::vector<int> signalled;
  int expected;
  friend void PrintTo(const PriorityCase& scenario, std::ostream* out) { *out << scenario.name; }
};

class WaitForAnyPriority : public ::testing::TestWithParam<PriorityCase> {};

TEST_P(WaitForAnyPriority, ConsumesOnlyTheLowestSignalledIndex) {
  std::array<plat::AutoResetEvent, 4> events;
  const std::array<plat::AutoResetEvent*, 4> list{&events[0], &events[1], &events[2], &events[3]};
  for (int index : GetParam().signalled) {
    events[static_cast<std::size_t>(index)].Set();
  }

  EXPECT_EQ(plat::WaitForAny(list, 0ms), GetParam().expected);

  for (int index = 0; index < 4; ++index) {
    const bool leftSignalled = index != GetParam().expected &&
                               std::ranges::find(GetParam().signalled, index) != GetParam().signalled.end();
    EXPECT_EQ(events[static_cast<std::size_t>(index)].Wait(0ms), leftSignalled) << "event " << index;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitForAnyPriority,
    ::testing::Values(PriorityCase{"none", {}, plat::kWaitTimeout}, PriorityCase{"onlyLast", {3}, 3},
                      PriorityCase{"firstOfAll", {0, 1, 2, 3}, 0}, PriorityCase{"setInReverse", {3, 1}, 1},
                      PriorityCase{"middlePair", {2, 1}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaitForAny, EmptyListTimesOutAtOnceEvenWithoutBound) {
  EXPECT_EQ(plat::WaitForAny({}, std::nullopt), plat::kWaitTimeout);
}

TEST(WaitForAny, EventListedTwiceReportsItsFirstPosition) {
  plat::AutoResetEvent a;
  plat::AutoResetEvent b;
  const std::array<plat::AutoResetEvent*, 3> list{&a, &b, &b};
  auto waiter = std::async(std::launch::async, [&] { return plat::WaitForAny(list, kHangGuard); });
  std::this_thread::sleep_for(20ms);
  b.Set();
  ASSERT_EQ(waiter.wait_for(kHangGuard), std::future_status::ready);
  EXPECT_EQ(waiter.get(), 1);
  EXPECT_FALSE(b.Wait(0ms));
}

TEST(WaitForAny, BlockedWaiterWakesForAnyEventOfItsList) {
  std::array<plat::AutoResetEvent, 3> events;
  const std::array<plat::AutoResetEvent*, 3> list{&events[0], &events[1], &events[2]};
  auto waiter = std::async(std::launch::async, [&] { return plat::WaitForAny(list, std::nullopt); });
  std::this_thread::sleep_for(20ms);
  events[2].Set();
  ASSERT_EQ(waiter.wait_for(kHangGuard), std::future_status::ready);
  EXPECT_EQ(waiter.get(), 2);
}

TEST(WaitForAny, TimedOutWaiterLeavesLaterSignalsToOthers) {
  plat::AutoResetEvent event;
  const std::array<plat::AutoResetEvent*, 1> list{&event};
  EXPECT_EQ(plat::WaitForAny(list, 10ms), plat::kWaitTimeout);
  event.Set();
  EXPECT_TRUE(event.Wait(0ms));
}

// Waiters on {a, b} and {b, c}: one signal of the shared event releases exactly one of them,
// and the other still gets the signal meant for it.
TEST(WaitForAny, OverlappingListsConsumeDistinctSignals) {
  plat::AutoResetEvent a;
  plat::AutoResetEvent b;
  plat::AutoResetEvent c;
  const std::array<plat::AutoResetEvent*, 2> left{&a, &b};
  const std::array<plat::AutoResetEvent*, 2> right{&b, &c};
  auto leftWaiter = std::async(std::launch::async, [&] { return plat::WaitForAny(left, kHangGuard); });
  auto rightWaiter = std::async(std::launch::async, [&] { return plat::WaitForAny(right, kHangGuard); });
  std::this_thread::sleep_for(20ms);

  b.Set();
  const auto isReady = [](std::future<int>& waiter) { return waiter.wait_for(0ms) == std::future_status::ready; };
  const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
  while (!isReady(leftWaiter) && !isReady(rightWaiter) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(1ms);
  }
  // Give a wrongly released second waiter time to show up.
  std::this_thread::sleep_for(50ms);
  const bool leftTookB = isReady(leftWaiter);
  ASSERT_NE(leftTookB, isReady(rightWaiter)) << "exactly one waiter takes b";

  (leftTookB ? c : a).Set();
  EXPECT_EQ(leftWaiter.get(), leftTookB ? 1 : 0);
  EXPECT_EQ(rightWaiter.get(), leftTookB ? 1 : 0);
  EXPECT_FALSE(a.Wait(0ms));
  EXPECT_FALSE(b.Wait(0ms));
  EXPECT_FALSE(c.Wait(0ms));
}

// Producers each signal their own event and wait for the acknowledgement before signalling
// again, so every signal must be consumed exactly once. Consumers wait on overlapping lists,
// half of them with short bounds so that time-outs race with signals. A lost wake-up shows
// as a missing acknowledgement, a duplicated signal as an extra consumption.
TEST(WaitForAny, ManyThreadsLoseAndDuplicateNoSignal) {
  static constexpr int kProducers = 4;
  constexpr int kConsumers = 4;
  constexpr int kRounds = 2000;
  std::array<plat::AutoResetEvent, kProducers> requests;
  std::array<plat::AutoResetEvent, kProducers> acks;
  std::array<std::atomic<int>, kProducers> consumed{};
  plat::AutoResetEvent quit;
  std::atomic<bool> quitting{false};

  std::vector<std::thread> consumers;
  for (int c = 0; c < kConsumers; ++c) {
    consumers.emplace_back([&, c] {
      const std::array<plat::AutoResetEvent*, 3> list{&requests[c], &requests[(c + 1) % kProducers], &quit};
      const auto producerOf = [c](int index) { return (c + index) % kProducers; };
      const std::optional<std::chrono::milliseconds> bound =
          c % 2 == 0 ? std::optional(1ms) : std::optional<std::chrono::milliseconds>();
      for (;;) {
        const int index = plat::WaitForAny(list, bound);
        if (index == 2) {
          quit.Set();  // hand the quit on to the next consumer
          return;
        }
        if (index == plat::kWaitTimeout) {
          if (quitting) {
            return;
          }
          continue;
        }
        const int producer = producerOf(index);
        ++consumed[producer];
        acks[producer].Set();
      }
    });
  }

  std::vector<std::future<bool>> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.push_back(std::async(std::launch::async, [&, p] {
      for (int round = 0; round < kRounds; ++round) {
        requests[p].Set();
        if (!acks[p].Wait(kHangGuard)) {
          return false;
        }
      }
      return true;
    }));
  }
  for (int p = 0; p < kProducers; ++p) {
    EXPECT_TRUE(producers[p].get()) << "producer " << p << " lost a signal";
  }
  quitting = true;
  quit.Set();
  for (std::thread& consumer : consumers) {
    consumer.join();
  }
  for (int p = 0; p < kProducers; ++p) {
    EXPECT_EQ(consumed[p].load(), kRounds) << "producer " << p;
  }
}

}  // namespace
