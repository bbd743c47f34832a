#include "platform/fairrecursivemutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool TryLockFromOtherThread(plat::FairRecursiveMutex& mutex) {
  return std::async(std::launch::async, [&] {
           if (!mutex.try_lock()) return false;
           mutex.unlock();
           return true;
         }).get();
}

TEST(FairRecursiveMutex, OwnerReentersAndOthersWaitUntilTheLastRelease) {
  plat::FairRecursiveMutex mutex;
  mutex.lock();
  EXPECT_TRUE(mutex.try_lock());
  mutex.lock();
  EXPECT_FALSE(TryLockFromOtherThread(mutex));
  mutex.unlock();
  mutex.unlock();
  EXPECT_FALSE(TryLockFromOtherThread(mutex));
  mutex.unlock();
  EXPECT_TRUE(TryLockFromOtherThread(mutex));
}

TEST(FairRecursiveMutex, BlockedThreadGetsTheLockOnRelease) {
  plat::FairRecursiveMutex mutex;
  mutex.lock();
  std::atomic<bool> entered{false};
  std::thread waiter([&] {
    std::lock_guard hold(mutex);
    entered = true;
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(entered);
  mutex.unlock();
  waiter.join();
  EXPECT_TRUE(entered);
}

// A loop that releases the lock only for an instant and takes it straight back, like the
// measurement loop between two board exchanges. A thread asking in between must get its turn
// after at most a few of the loop's holds (one, unless it was descheduled before it asked),
// not after the loop happens to lose a race.
template <typename Mutex>
int LongestWaitInHolds(Mutex& mutex) {
  std::atomic<int> holds{0};
  std::atomic<bool> done{false};
  std::thread loop([&] {
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (!done && std::chrono::steady_clock::now() < deadline) {
      std::lock_guard hold(mutex);
      ++holds;
      const auto busyUntil = std::chrono::steady_clock::now() + 100us;
      while (std::chrono::steady_clock::now() < busyUntil) {
      }
    }
  });
  while (holds == 0) std::this_thread::yield();
  int longest = 0;
  for (int turn = 0; turn < 100; ++turn) {
    const int before = holds;
    {
      std::lock_guard hold(mutex);
      longest = std::max(longest, holds - before);
    }
    std::this_thread::sleep_for(200us);
  }
  done = true;
  loop.join();
  return longest;
}

TEST(FairRecursiveMutex, BusyLoopCannotKeepAnotherThreadOut) {
  plat::FairRecursiveMutex mutex;
  EXPECT_LE(LongestWaitInHolds(mutex), 20);
}

}  // namespace
