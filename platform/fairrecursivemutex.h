#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace plat {

// A recursive lock handed over in the order it was asked for. A thread that releases it and
// at once asks again queues behind every thread already waiting, so a loop that holds the
// lock for nearly all of its time cannot keep others out of it indefinitely (a plain mutex
// lets the releasing thread win the race again and again on a multi-core machine).
class FairRecursiveMutex {
 public:
  FairRecursiveMutex() = default;
  FairRecursiveMutex(const FairRecursiveMutex&) = delete;
  FairRecursiveMutex& operator=(const FairRecursiveMutex&) = delete;

  void lock();
  // Succeeds when the calling thread holds the lock already or nobody holds or awaits it.
  bool try_lock();
  void unlock();

 private:
  std::mutex m_state;
  std::condition_variable m_turnChanged;
  std::uint64_t m_nextTicket = 0;
  std::uint64_t m_nowServing = 0;
  std::thread::id m_owner;
  int m_depth = 0;
};

}  // namespace plat
