#include "app/workerthread.h"

#include <stdexcept>

#include "platform/waitforany.h"

namespace {

// The worker whose dispatcher the current thread is, if any.
thread_local const CWorkerThread* t_dispatcherOf = nullptr;

}  // namespace

CWorkerThread::CWorkerThread() { m_entries.push_back({&m_hStop, nullptr, nullptr}); }

CWorkerThread::~CWorkerThread() {
  Stop();
  JoinAll();
}

void CWorkerThread::AddEntry(const WorkerEntry& entry) {
  std::lock_guard lock(m_mutex);
  if (m_tableFixed) {
    throw std::logic_error("the wait table is fixed once a dispatcher has started");
  }
  m_entries.push_back(entry);
}

void CWorkerThread::Start() {
  std::lock_guard lock(m_mutex);
  if (m_stopping) {
    return;
  }
  m_tableFixed = true;
  // Started under the lock, the thread cannot reach its counters before they include it.
  std::thread dispatcher(&CWorkerThread::Run, this);
  // A new dispatcher counts as parked from the start: it runs no callback before its wait.
  ++m_running;
  ++m_parked;
  if (m_hThread.joinable()) {
    m_earlierThreads.push_back(std::move(m_hThread));
  }
  m_hThread = std::move(dispatcher);
  ++m_threadId;
}

void CWorkerThread::Pause() {
  std::unique_lock lock(m_mutex);
  m_paused = true;
  const int self = IsOwnDispatcher() ? 1 : 0;
  m_stateChanged.wait(lock, [&] { return m_stopping || m_parked + self >= m_running; });
}

void CWorkerThread::Resume() {
  std::lock_guard lock(m_mutex);
  m_paused = false;
  m_stateChanged.notify_all();
}

bool CWorkerThread::Stop(std::chrono::milliseconds bound) {
  std::lock_guard serial(m_stopSerial);
  {
    std::lock_guard lock(m_mutex);
    if (!m_hThread.joinable()) {
      return true;
    }
    m_stopping = true;
    m_stateChanged.notify_all();
  }
  m_hStop.Set();
  if (!AwaitAllEnded(std::chrono::steady_clock::now() + bound)) {
    return false;
  }
  JoinAll();
  // Every dispatcher has gone: drop the signals they left behind and allow a new Start.
  m_hStop.Wait(std::chrono::milliseconds::zero());
  m_hDone.Wait(std::chrono::milliseconds::zero());
  std::lock_guard lock(m_mutex);
  m_stopping = false;
  m_paused = false;
  return true;
}

bool CWorkerThread::SafePoint() {
  std::unique_lock lock(m_mutex);
  ParkWhilePaused(lock);
  return !m_stopping;
}

bool CWorkerThread::SleepFor(std::chrono::milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  std::unique_lock lock(m_mutex);
  const bool counted = IsOwnDispatcher();
  if (counted) {
    ++m_parked;
    m_stateChanged.notify_all();
  }
  m_stateChanged.wait_until(lock, deadline, [this] { return m_stopping; });
  if (counted) {
    m_stateChanged.wait(lock, [this] { return m_stopping || !m_paused; });
    --m_parked;
  }
  return !m_stopping;
}

bool CWorkerThread::LockAtSafePoint(std::recursive_mutex& lock) {
  while (SafePoint()) {
    if (lock.try_lock()) {
      return true;
    }
    if (!SleepFor(kLockRetryInterval)) {
      return false;
    }
  }
  return false;
}

std::uint32_t CWorkerThread::ThreadId() const {
  std::lock_guard lock(m_mutex);
  return m_threadId;
}

void CWorkerThread::Run() {
  t_dispatcherOf = this;
  // The table is fixed before the first dispatcher starts, so it is read without the lock.
  std::vector<plat::AutoResetEvent*> events;
  for (const WorkerEntry& entry : m_entries) {
    events.push_back(entry.event);
  }
  for (;;) {
    const int index = plat::WaitForAny(events);
    if (!LeaveWait(index)) {
      break;
    }
    const WorkerEntry& entry = m_entries[static_cast<std::size_t>(index)];
    entry.callback(entry.context);
    if (!EnterWait()) {
      break;
    }
  }
  Leave();
}

// A dispatcher that took an event during a pause holds it until Resume; index 0 is the stop.
bool CWorkerThread::LeaveWait(int index) {
  std::unique_lock lock(m_mutex);
  m_stateChanged.wait(lock, [this] { return m_stopping || !m_paused; });
  --m_parked;
  return !m_stopping && index > 0;
}

bool CWorkerThread::EnterWait() {
  std::lock_guard lock(m_mutex);
  if (m_stopping) {
    return false;
  }
  ++m_parked;
  m_stateChanged.notify_all();
  return true;
}

// Only a stop ends a dispatcher. One stop signal ends one waiting dispatcher, so each one
// that leaves passes the signal on to the next.
void CWorkerThread::Leave() {
  {
    std::lock_guard lock(m_mutex);
    --m_running;
    m_stateChanged.notify_all();
  }
  m_hStop.Set();
  m_hDone.Set();
}

bool CWorkerThread::IsOwnDispatcher() const { return t_dispatcherOf == this; }

void CWorkerThread::ParkWhilePaused(std::unique_lock<std::mutex>& lock) {
  if (!m_paused || m_stopping || !IsOwnDispatcher()) {
    return;
  }
  ++m_parked;
  m_stateChanged.notify_all();
  m_stateChanged.wait(lock, [this] { return m_stopping || !m_paused; });
  --m_parked;
}

bool CWorkerThread::AwaitAllEnded(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (m_running == 0) {
        return true;
      }
    }
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (remaining <= std::chrono::milliseconds::zero()) {
      return false;
    }
    m_hDone.Wait(remaining);
  }
}

void CWorkerThread::JoinAll() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(m_mutex);
    threads = std::move(m_earlierThreads);
    m_earlierThreads.clear();
    if (m_hThread.joinable()) {
      threads.push_back(std::move(m_hThread));
    }
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
}
