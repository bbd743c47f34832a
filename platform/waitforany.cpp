#include "platform/waitforany.h"

#include <mutex>

namespace plat {

int WaitForAny(std::span<AutoResetEvent* const> events, std::optional<std::chrono::milliseconds> bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound.value_or(std::chrono::milliseconds::zero());
  std::unique_lock lock(AutoResetEvent::Registry());
  for (std::size_t index = 0; index < events.size(); ++index) {
    if (events[index]->m_signalled) {
      events[index]->m_signalled = false;
      return static_cast<int>(index);
    }
  }
  if (events.empty() || (bound && *bound <= std::chrono::milliseconds::zero())) {
    return kWaitTimeout;
  }

  AutoResetEvent::Waiter waiter;
  waiter.events = events;
  for (AutoResetEvent* event : events) {
    event->m_waiters.push_back(&waiter);
  }
  const auto released = [&waiter] { return waiter.consumed >= 0; };
  if (!bound) {
    waiter.released.wait(lock, released);
  } else if (!waiter.released.wait_until(lock, deadline, released)) {
    AutoResetEvent::Unregister(waiter);
    return kWaitTimeout;
  }
  return waiter.consumed;
}

}  // namespace plat
