#pragma once

#include <atomic>
#include <chrono>

namespace plat {

// The wire time of one direction of a full-speed interrupt endpoint: one report per period.
// A report that is ready at time t has crossed the wire at max(t, end of the previous
// report) + period. Times are planned on a schedule, so waiting until them never adds drift.
class VirtualWireClock {
 public:
  using Clock = std::chrono::steady_clock;

  explicit VirtualWireClock(std::chrono::nanoseconds period) : m_period(period.count()) {}

  // Zero switches the wire time off.
  void SetPeriod(std::chrono::nanoseconds period) { m_period.store(period.count(), std::memory_order_relaxed); }
  std::chrono::nanoseconds Period() const { return std::chrono::nanoseconds(m_period.load(std::memory_order_relaxed)); }

  // Books the next report that is ready at `ready`; returns when it has arrived.
  // Called from one thread; only the period may change from others.
  Clock::time_point Book(Clock::time_point ready) {
    const Clock::time_point start = ready > m_busyUntil ? ready : m_busyUntil;
    m_busyUntil = start + Period();
    return m_busyUntil;
  }

 private:
  std::atomic<std::chrono::nanoseconds::rep> m_period;
  Clock::time_point m_busyUntil{};
};

}  // namespace plat
