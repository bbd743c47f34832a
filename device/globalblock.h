#pragma once

#include <array>
#include <cstdint>

// The board's global parameter block: bytes 0..26 of page 0xF9, packed, 16-bit fields
// little-endian. Field offsets carry the names of their configuration keys.
struct GlobalBlock {
  static constexpr std::size_t kSize = 27;

  enum Offset : std::size_t {
    FLAGS = 0,
    VIEWDATARANGE_MAX = 4,
    VIEWDATARANGE_MIN = 6,
    TYPE = 8,
    PERCENTAGE = 9,
    ALLOWEDTHRES_HIGH = 11,
    ALLOWEDTHRES_LOW = 13,
    GUIOVERD = 15,
    EXPANDBOARDNUM = 16,
    EXPANDBOARDADDRESS = 17,  // 8 bytes, one bus address per expansion board
    EXPANDBOARDCOL = 25,
    EXPANDBOARDROW = 26,
  };

  // Bits of the flags byte.
  static constexpr std::uint8_t BUZZERENABLE = 0x01;
  static constexpr std::uint8_t BUZZERINVERT = 0x02;
  static constexpr std::uint8_t LEDENABLE = 0x04;
  static constexpr std::uint8_t LEDINVERT = 0x08;

  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t U8(std::size_t offset) const { return bytes[offset]; }
  void SetU8(std::size_t offset, std::uint8_t value) { bytes[offset] = value; }
  std::uint16_t U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
  }
  void SetU16(std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  bool Flag(std::uint8_t bit) const { return (bytes[FLAGS] & bit) != 0; }
  std::uint8_t ExpandBoardAddress(std::size_t board) const {
    return bytes[EXPANDBOARDADDRESS + board];
  }

  friend bool operator==(const GlobalBlock&, const GlobalBlock&) = default;
};
