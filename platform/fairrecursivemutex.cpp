#include "platform/fairrecursivemutex.h"

namespace plat {

void FairRecursiveMutex::lock() {
  std::unique_lock state(m_state);
  if (m_owner == std::this_thread::get_id()) {
    ++m_depth;
    return;
  }
  const std::uint64_t ticket = m_nextTicket++;
  m_turnChanged.wait(state, [&] { return m_nowServing == ticket; });
  m_owner = std::this_thread::get_id();
  m_depth = 1;
}

bool FairRecursiveMutex::try_lock() {
  std::lock_guard state(m_state);
  if (m_owner == std::this_thread::get_id()) {
    ++m_depth;
    return true;
  }
  if (m_nextTicket != m_nowServing) return false;
  ++m_nextTicket;
  m_owner = std::this_thread::get_id();
  m_depth = 1;
  return true;
}

void FairRecursiveMutex::unlock() {
  std::lock_guard state(m_state);
  if (--m_depth > 0) return;
  m_owner = std::thread::id();
  ++m_nowServing;
  if (m_nextTicket != m_nowServing) m_turnChanged.notify_all();
}

}  // namespace plat
