#include "platform/autoresetevent.h"

#include <algorithm>
#include <array>

#include "platform/waitforany.h"

namespace plat {

std::mutex& AutoResetEvent::Registry() {
  static std::mutex registry;
  return registry;
}

void AutoResetEvent::Unregister(Waiter& waiter) {
  for (AutoResetEvent* event : waiter.events) {
    std::erase(event->m_waiters, &waiter);
  }
}

void AutoResetEvent::Set() {
  std::lock_guard lock(Registry());
  if (m_waiters.empty()) {
    m_signalled = true;
    return;
  }
  Waiter& waiter = *m_waiters.front();
  const auto position = std::ranges::find(waiter.events, this);
  waiter.consumed = static_cast<int>(position - waiter.events.begin());
  Unregister(waiter);
  // Notified under the lock: once it is released the waiter may return and destroy itself.
  waiter.released.notify_one();
}

void AutoResetEvent::Wait() {
  const std::array<AutoResetEvent*, 1> self{this};
  WaitForAny(self, std::nullopt);
}

bool AutoResetEvent::Wait(std::chrono::milliseconds bound) {
  const std::array<AutoResetEvent*, 1> self{this};
  return WaitForAny(self, bound) == 0;
}

}  // namespace plat
