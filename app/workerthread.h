#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/autoresetevent.h"

// A callback of the wait table; it gets the context pointer of its entry.
using WorkerCallback = void (*)(void* context);

// One row of the dispatcher's wait table: when `event` is signalled, a dispatcher thread
// calls `callback(context)`.
struct WorkerEntry {
  plat::AutoResetEvent* event = nullptr;
  WorkerCallback callback = nullptr;
  void* context = nullptr;
};

// Dispatcher threads that wait on a table of events and run the callback of whichever
// event is signalled; the position in the table is the priority, entry 0 is the stop event.
//
// Pausing and stopping are cooperative. A dispatcher counts as parked while it waits for
// its events and while a callback is inside SafePoint, SleepFor or LockAtSafePoint. Pause
// returns once every dispatcher of this worker is parked, and none of them runs on until
// Resume; Stop makes SafePoint, SleepFor and LockAtSafePoint return false so that
// callbacks which never return by themselves come back, then joins every dispatcher.
//
// A callback may call SafePoint, SleepFor and LockAtSafePoint only while it holds neither
// the channel lock nor the hardware lock (a loop may keep its own loop lock). Pause must
// not be called while holding either of those locks, and no callback may wait for the
// thread that calls Pause or Stop.
class CWorkerThread {
 public:
  // How long Stop waits for the dispatchers by default: long enough for a callback to
  // finish one board exchange that runs into its time-out.
  static constexpr std::chrono::milliseconds kStopBound{5000};

  CWorkerThread();
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;
  // Stops and joins every dispatcher, however long they take to reach a safe point.
  virtual ~CWorkerThread();

  // Appends an entry to the wait table. The table is fixed once the first dispatcher has
  // started; a later call throws std::logic_error.
  void AddEntry(const WorkerEntry& entry);

  // Starts one more dispatcher thread; earlier ones keep running. Does nothing while a
  // Stop is under way.
  void Start();
  // Returns once every dispatcher is parked; callable while already paused or with no
  // dispatcher, and from a callback of this worker (which does not wait for itself).
  void Pause();
  void Resume();
  // Ends every dispatcher thread and joins them. True when all ended within `bound` (or
  // there was none); false otherwise, in which case the stop stays in force and a later
  // Stop or the destructor waits for the rest.
  bool Stop(std::chrono::milliseconds bound = kStopBound);

  // For callbacks. Parks the calling dispatcher while the worker is paused; false once a
  // stop has begun, when the callback must return.
  bool SafePoint();
  // Sleeps for `duration`, parked, waking early when a stop begins (result false). A
  // pause that is still in force when the time is up keeps the thread parked.
  bool SleepFor(std::chrono::milliseconds duration);
  // Takes `lock`, waiting for it at safe points, so that a thread blocked at a lock held
  // for good by another callback can still be paused and stopped. False, without the
  // lock, once a stop has begun.
  bool LockAtSafePoint(std::recursive_mutex& lock);

  // Sequence number of the dispatcher started last (1, 2, …); 0 before the first Start.
  std::uint32_t ThreadId() const;

 private:
  // How often a thread blocked at a lock tries it again.
  static constexpr std::chrono::milliseconds kLockRetryInterval{10};

  void Run();
  bool LeaveWait(int index);
  bool EnterWait();
  void Leave();
  bool IsOwnDispatcher() const;
  void ParkWhilePaused(std::unique_lock<std::mutex>& lock);
  bool AwaitAllEnded(std::chrono::steady_clock::time_point deadline);
  void JoinAll();

  std::uint32_t m_threadId = 0;
  std::thread m_hThread;                      // the dispatcher started last
  std::vector<std::thread> m_earlierThreads;  // kept so that Stop can join them
  plat::AutoResetEvent m_hStop;
  plat::AutoResetEvent m_hDone;  // set by each dispatcher as it ends
  std::vector<WorkerEntry> m_entries;

  mutable std::mutex m_mutex;  // guards everything below
  std::condition_variable m_stateChanged;
  bool m_tableFixed = false;
  bool m_paused = false;
  bool m_stopping = false;
  int m_running = 0;  // dispatchers started and not yet ended
  int m_parked = 0;   // of those, the ones at a safe point
  std::mutex m_stopSerial;  // one Stop at a time
};
