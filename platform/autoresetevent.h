#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace plat {

// An event that lets exactly one waiter through per signal and then closes again.
// Signals are not counted: a Set while the event is already signalled changes nothing.
// A Set while threads are blocked on the event releases the longest-waiting of them
// directly, so the event never stays signalled while someone waits for it.
// The event must outlive every wait on it.
class AutoResetEvent {
 public:
  AutoResetEvent() = default;
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Set();
  // Waits until the event is signalled and consumes the signal.
  void Wait();
  // As Wait, giving up after `bound`; false on time-out (no signal consumed).
  bool Wait(std::chrono::milliseconds bound);

 private:
  friend int WaitForAny(std::span<AutoResetEvent* const> events,
                        std::optional<std::chrono::milliseconds> bound);

  // A thread blocked in WaitForAny. The event that releases it stores its index in
  // `consumed` and removes the waiter from every event of its list.
  struct Waiter {
    std::span<AutoResetEvent* const> events;
    int consumed = -1;
    std::condition_variable released;
  };

  // One lock for the state of all events and waiters, so a Set and a wait over any list of
  // events see each other without lost wake-ups.
  static std::mutex& Registry();
  static void Unregister(Waiter& waiter);

  bool m_signalled = false;
  std::vector<Waiter*> m_waiters;  // oldest first
};

}  // namespace plat
