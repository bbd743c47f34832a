#pragma once

// Builders for hand-made reports, shared by the board suites.
#include "platform/hidbus.h"

#include <initializer_list>
#include <vector>

namespace boardtest {

inline plat::Report Bytes(std::initializer_list<std::uint8_t> fromByte1) {
  plat::Report report{};
  std::size_t i = 1;
  for (std::uint8_t byte : fromByte1) report[i++] = byte;
  return report;
}

inline plat::Report Header(std::uint8_t code) { return Bytes({0xAA, 0x55, code}); }

inline plat::Report Single(std::uint8_t code, std::initializer_list<std::uint8_t> fromByte4) {
  plat::Report report = Header(code);
  std::size_t i = 4;
  for (std::uint8_t byte : fromByte4) report[i++] = byte;
  return report;
}

inline std::vector<std::uint8_t> PayloadOf(const plat::Report& reply) {
  return std::vector<std::uint8_t>(reply.begin() + 1, reply.end());
}

}  // namespace boardtest
