#include "app/workerthread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 10s;  // longer than CWorkerThread::kStopBound

// Runs `action` and aborts the whole run if it does not come back: a hung Pause or Stop
// must fail loudly instead of blocking the suite.
void WithinGuard(const char* what, const std::function<void()>& action) {
  auto done = std::async(std::launch::async, action);
  if (done.wait_for(kHangGuard) != std::future_status::ready) {
    std::fprintf(stderr, "%s did not return within the guard\n", what);
    std::abort();
  }
  done.get();
}

bool Eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// What the callbacks share with the test: stand-ins for the controller's loop lock and the
// device's channel and hardware locks, and a record of what ran.
struct Bench {
  CWorkerThread* worker = nullptr;
  std::recursive_mutex loopLock;
  std::recursive_mutex channelLock;
  std::recursive_mutex hardwareLock;
  std::atomic<long> exchanges{0};
  std::atomic<int> activeCallbacks{0};
  std::atomic<int> loopsHoldingLock{0};
  plat::AutoResetEvent gate;
  std::atomic<bool> gateEntered{false};
  std::atomic<int> outcome{-1};  // what a one-off callback reports
  std::mutex mutex;
  std::vector<int> ran;

  void Record(int entry) {
    std::lock_guard lock(mutex);
    ran.push_back(entry);
  }
  std::vector<int> Ran() {
    std::lock_guard lock(mutex);
    return ran;
  }
  long RunsOf(int entry) {
    const std::vector<int> all = Ran();
    return std::ranges::count(all, entry);
  }
};

class ActiveScope {
 public:
  explicit ActiveScope(Bench& bench) : m_bench(bench) { ++m_bench.activeCallbacks; }
  ~ActiveScope() { --m_bench.activeCallbacks; }

 private:
  Bench& m_bench;
};

// One board exchange: both device locks held for a moment.
void Exchange(Bench& bench) {
  std::lock_guard channel(bench.channelLock);
  std::lock_guard hardware(bench.hardwareLock);
  ++bench.exchanges;
  std::this_thread::sleep_for(100us);
}

// The pattern of the controller's measurement loops: the loop lock is taken at safe points
// and kept for good, and every exchange is followed by a safe point.
void MeasureLoop(void* context) {
  Bench& bench = *static_cast<Bench*>(context);
  ActiveScope active(bench);
  if (!bench.worker->LockAtSafePoint(bench.loopLock)) {
    return;
  }
  std::unique_lock loop(bench.loopLock, std::adopt_lock);
  ++bench.loopsHoldingLock;
  do {
    Exchange(bench);
  } while (bench.worker->SafePoint());
}

// As MeasureLoop, pacing its exchanges with short sleeps instead of safe points.
void PacedMeasureLoop(void* context) {
  Bench& bench = *static_cast<Bench*>(context);
  ActiveScope active(bench);
  if (!bench.worker->LockAtSafePoint(bench.loopLock)) {
    return;
  }
  std::unique_lock loop(bench.loopLock, std::adopt_lock);
  ++bench.loopsHoldingLock;
  do {
    Exchange(bench);
  } while (bench.worker->SleepFor(1ms));
}

void SleepForever(void* context) {
  Bench& bench = *static_cast<Bench*>(context);
  ActiveScope active(bench);
  while (bench.worker->SleepFor(1h)) {
  }
}

void WaitAtGate(void* context) {
  Bench& bench = *static_cast<Bench*>(context);
  bench.gateEntered = true;
  bench.gate.Wait(kHangGuard);
  bench.Record(1);
}

void RecordOne(void* context) { static_cast<Bench*>(context)->Record(1); }
void RecordTwo(void* context) { static_cast<Bench*>(context)->Record(2); }
void RecordThree(void* context) { static_cast<Bench*>(context)->Record(3); }

// Events and bench are declared before the worker so that the worker, destroyed first,
// has joined its dispatchers before anything they use goes away.
class WorkerTest : public ::testing::Test {
 protected:
  WorkerTest() { bench.worker = &worker; }

  void AddEntries(std::initializer_list<WorkerCallback> callbacks) {
    std::size_t index = 0;
    for (WorkerCallback callback : callbacks) {
      worker.AddEntry({&events[index++], callback, &bench});
    }
  }
  void StartDispatchers(int count) {
    for (int i = 0; i < count; ++i) {
      worker.Start();
    }
  }
  // Signals entry `entry` once a callback is running for each earlier signal, since
  // signals that meet no waiter are not counted.
  void StartLoops(int entry, int count) {
    for (int i = 1; i <= count; ++i) {
      events[static_cast<std::size_t>(entry - 1)].Set();
      ASSERT_TRUE(Eventually([&] { return bench.activeCallbacks.load() == i; }));
    }
  }
  void PauseGuarded() {
    WithinGuard("Pause", [&] { worker.Pause(); });
  }
  bool StopGuarded() {
    bool stopped = false;
    WithinGuard("Stop", [&] { stopped = worker.Stop(); });
    return stopped;
  }

  std::array<plat::AutoResetEvent, 3> events;
  Bench bench;
  CWorkerThread worker;
};

// --- table and dispatch ---

TEST_F(WorkerTest, SignalledEntriesRunInTableOrder) {
  AddEntries({RecordOne, RecordTwo, RecordThree});
  events[2].Set();
  events[0].Set();
  events[1].Set();
  StartDispatchers(1);
  ASSERT_TRUE(Eventually([&] { return bench.Ran().size() == 3; }));
  EXPECT_EQ(bench.Ran(), (std::vector<int>{1, 2, 3}));
}

TEST_F(WorkerTest, TableIsFixedOnceADispatcherRuns) {
  AddEntries({RecordOne});
  StartDispatchers(1);
  EXPECT_THROW(worker.AddEntry({&events[1], RecordTwo, &bench}), std::logic_error);
}

TEST_F(WorkerTest, StartGivesEachDispatcherANewId) {
  AddEntries({RecordOne});
  EXPECT_EQ(worker.ThreadId(), 0u);
  StartDispatchers(2);
  EXPECT_EQ(worker.ThreadId(), 2u);
}

TEST_F(WorkerTest, SignalsArrivingDuringACallbackAreNotCounted) {
  AddEntries({WaitAtGate, RecordTwo});
  StartDispatchers(1);
  events[0].Set();
  ASSERT_TRUE(Eventually([&] { return bench.gateEntered.load(); }));
  events[1].Set();
  events[1].Set();
  bench.gate.Set();
  ASSERT_TRUE(Eventually([&] { return bench.RunsOf(2) == 1; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(bench.RunsOf(2), 1);
}

TEST_F(WorkerTest, EachSignalRunsItsCallbackOnOneOfTwoDispatchers) {
  AddEntries({RecordOne});
  StartDispatchers(2);
  constexpr long kSignals = 200;
  for (long signal = 1; signal <= kSignals; ++signal) {
    events[0].Set();
    ASSERT_TRUE(Eventually([&] { return bench.RunsOf(1) >= signal; }));
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(bench.RunsOf(1), kSignals);
}

TEST_F(WorkerTest, SpareDispatcherServesWhileTheOtherIsBusy) {
  AddEntries({WaitAtGate, RecordTwo});
  StartDispatchers(2);
  events[0].Set();
  ASSERT_TRUE(Eventually([&] { return bench.gateEntered.load(); }));
  events[1].Set();
  EXPECT_TRUE(Eventually([&] { return bench.RunsOf(2) == 1; }));
  bench.gate.Set();
}

TEST_F(WorkerTest, SleepForRunsItsTimeWhenNotStopped) {
  AddEntries({[](void* context) {
    Bench& bench = *static_cast<Bench*>(context);
    bench.outcome = bench.worker->SleepFor(5ms) ? 1 : 0;
  }});
  StartDispatchers(1);
  events[0].Set();
  ASSERT_TRUE(Eventually([&] { return bench.outcome.load() != -1; }));
  EXPECT_EQ(bench.outcome.load(), 1);
}

// --- stopping ---

struct StopCase {
  const char* name;
  int dispatchers;
  WorkerCallback loop;
  int loops;
  bool pausedFirst;
  friend void PrintTo(const StopCase& scenario, std::ostream* out) { *out << scenario.name; }
};

class WorkerStop : public WorkerTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(WorkerStop, EndsEveryDispatcherAndReturnsAtOnceTheSecondTime) {
  const StopCase& scenario = GetParam();
  AddEntries({scenario.loop});
  StartDispatchers(scenario.dispatchers);
  StartLoops(1, scenario.loops);
  if (scenario.pausedFirst) {
    PauseGuarded();
  }

  EXPECT_TRUE(StopGuarded());
  EXPECT_EQ(bench.activeCallbacks.load(), 0);
  EXPECT_TRUE(StopGuarded());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorkerStop,
    ::testing::Values(StopCase{"noDispatcher", 0, MeasureLoop, 0, false},
                      StopCase{"oneWaiting", 1, MeasureLoop, 0, false},
                      StopCase{"twoWaiting", 2, MeasureLoop, 0, false},
                      StopCase{"loopWithSafePoints", 1, MeasureLoop, 1, false},
                      StopCase{"loopWithSleeps", 1, PacedMeasureLoop, 1, false},
                      StopCase{"longSleep", 1, SleepForever, 1, false},
                      StopCase{"loopAndSpare", 2, MeasureLoop, 1, false},
                      StopCase{"secondLoopBlockedAtLoopLock", 3, MeasureLoop, 2, false},
                      StopCase{"pausedLoopAndSpare", 2, MeasureLoop, 1, true},
                      StopCase{"pausedWithBlockedSecondLoop", 2, PacedMeasureLoop, 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerTest, StartsAgainAfterStop) {
  AddEntries({RecordOne});
  StartDispatchers(2);
  ASSERT_TRUE(StopGuarded());
  StartDispatchers(1);
  events[0].Set();
  EXPECT_TRUE(Eventually([&] { return bench.RunsOf(1) == 1; }));
}

TEST(WorkerDestructor, StopsLoopsSparesAndBlockedLoops) {
  plat::AutoResetEvent measure;
  Bench bench;
  WithinGuard("destruction", [&] {
    CWorkerThread worker;
    bench.worker = &worker;
    worker.AddEntry({&measure, MeasureLoop, &bench});
    for (int loops = 1; loops <= 2; ++loops) {
      worker.Start();
      measure.Set();
      ASSERT_TRUE(Eventually([&] { return bench.activeCallbacks.load() == loops; }));
    }
    worker.Start();
  });
  EXPECT_EQ(bench.activeCallbacks.load(), 0);
}

// --- pausing ---

TEST_F(WorkerTest, PauseWithoutDispatcherAndTwiceReturns) {
  AddEntries({RecordOne});
  PauseGuarded();
  StartDispatchers(1);
  PauseGuarded();
  PauseGuarded();
  worker.Resume();
  events[0].Set();
  EXPECT_TRUE(Eventually([&] { return bench.RunsOf(1) == 1; }));
}

TEST_F(WorkerTest, PausedDispatcherStartsNoCallbackUntilResume) {
  AddEntries({RecordOne});
  StartDispatchers(2);
  PauseGuarded();
  events[0].Set();
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(bench.Ran().empty());
  worker.Resume();
  EXPECT_TRUE(Eventually([&] { return bench.RunsOf(1) == 1; }));
}

TEST_F(WorkerTest, PauseFromACallbackDoesNotWaitForItself) {
  AddEntries({[](void* context) {
    Bench& bench = *static_cast<Bench*>(context);
    bench.worker->Pause();
    bench.outcome = 1;
    bench.worker->Resume();
  }});
  StartDispatchers(2);
  events[0].Set();
  EXPECT_TRUE(Eventually([&] { return bench.outcome.load() == 1; }));
}

struct PauseCase {
  const char* name;
  WorkerCallback loop;
  int loopsBeforeLastStart;  // loops started before the stored dispatcher
  int loopsAfterLastStart;
  friend void PrintTo(const PauseCase& scenario, std::ostream* out) { *out << scenario.name; }
};

class WorkerPause : public WorkerTest, public ::testing::WithParamInterface<PauseCase> {};

// After Pause the device locks are free at once and no exchange happens until Resume,
// whichever dispatcher the loop runs on and whether a second loop waits at the loop lock.
TEST_P(WorkerPause, ParksLoopsOutsideTheDeviceLocksUntilResume) {
  const PauseCase& scenario = GetParam();
  AddEntries({scenario.loop});
  StartDispatchers(scenario.loopsBeforeLastStart);
  StartLoops(1, scenario.loopsBeforeLastStart);
  StartDispatchers(1);
  for (int i = 1; i <= scenario.loopsAfterLastStart; ++i) {
    events[0].Set();
    const int expected = scenario.loopsBeforeLastStart + i;
    ASSERT_TRUE(Eventually([&] { return bench.activeCallbacks.load() == expected; }));
  }
  ASSERT_EQ(bench.loopsHoldingLock.load(), 1);
  ASSERT_TRUE(Eventually([&] { return bench.exchanges.load() > 0; }));

  PauseGuarded();
  ASSERT_TRUE(bench.channelLock.try_lock());
  ASSERT_TRUE(bench.hardwareLock.try_lock());
  bench.hardwareLock.unlock();
  bench.channelLock.unlock();
  const long before = bench.exchanges.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(bench.exchanges.load(), before);

  worker.Resume();
  EXPECT_TRUE(Eventually([&] { return bench.exchanges.load() > before; }));
  EXPECT_EQ(bench.loopsHoldingLock.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkerPause,
                         ::testing::Values(PauseCase{"loopOnStoredThread", MeasureLoop, 0, 1},
                                           PauseCase{"loopOnEarlierThread", MeasureLoop, 1, 0},
                                           PauseCase{"pacedLoopOnEarlierThread", PacedMeasureLoop, 1, 0},
                                           PauseCase{"secondLoopBlockedAtLoopLock", MeasureLoop, 1, 1},
                                           PauseCase{"pacedSecondLoopBlocked", PacedMeasureLoop, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
