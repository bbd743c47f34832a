#pragma once

#include <cstdint>

// One entry of the board's expansion table: which grid position the k-th polled group fills,
// and where that group lives (an index into EXPANDBOARDADDRESS and a group number 0..7).
struct ExpansionEntry {
  static constexpr std::size_t kCount = 64;
  static constexpr std::size_t kSize = 4;

  std::uint8_t ROW = 0;
  std::uint8_t COL = 0;
  std::uint8_t ADDRESS = 0;
  std::uint8_t CHANNEL = 0;

  friend bool operator==(const ExpansionEntry&, const ExpansionEntry&) = default;
};
