#include "board/reportlog.h"

#include <algorithm>

namespace board {

ReportLog::ReportLog(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)) {}

void ReportLog::Append(const plat::Report& report) {
  std::lock_guard lock(m_mutex);
  if (m_ring.size() < m_capacity) {
    m_ring.push_back(report);
    return;
  }
  m_ring[m_oldest] = report;
  m_oldest = (m_oldest + 1) % m_capacity;
}

std::vector<plat::Report> ReportLog::Reports() const {
  std::lock_guard lock(m_mutex);
  std::vector<plat::Report> ordered(m_ring.begin() + static_cast<std::ptrdiff_t>(m_oldest), m_ring.end());
  ordered.insert(ordered.end(), m_ring.begin(), m_ring.begin() + static_cast<std::ptrdiff_t>(m_oldest));
  return ordered;
}

void ReportLog::Clear() {
  std::lock_guard lock(m_mutex);
  m_ring.clear();
  m_oldest = 0;
}

}  // namespace board
