#pragma once

#include "platform/hidbus.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace board {

// The reports a board received, oldest first. Thread-safe. It keeps the newest `capacity`
// reports, so a board that runs for hours does not grow without bound.
class ReportLog {
 public:
  static constexpr std::size_t kDefaultCapacity = 1 << 16;

  explicit ReportLog(std::size_t capacity = kDefaultCapacity);

  void Append(const plat::Report& report);
  std::vector<plat::Report> Reports() const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::size_t m_capacity;
  std::vector<plat::Report> m_ring;
  std::size_t m_oldest = 0;  // index of the oldest report once the ring is full
};

}  // namespace board
