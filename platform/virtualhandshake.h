#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace plat {

// The first datagram an emulated board sends on a new connection: what a USB host would read
// from the device descriptor and the string descriptors.
//
// Wire format (little-endian):
//   0   4 bytes  magic "VNH1"
//   4   u16      vendor id
//   6   u16      product id
//   8   u8       flags: bit 0 manufacturer string readable, bit 1 product string readable
//   9   u8       manufacturer length in UTF-16 code units (0 when unreadable)
//   10  u8       product length in UTF-16 code units (0 when unreadable)
//   11  ...      manufacturer code units, then product code units, u16 each
// A string is at most kMaxStringUnits long (the limit of a USB string descriptor).
struct VirtualHandshake {
  static constexpr std::size_t kMaxStringUnits = 126;

  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::optional<std::u16string> manufacturer;  // empty optional: the device cannot deliver it
  std::optional<std::u16string> product;

  // Longer strings are cut to kMaxStringUnits.
  std::vector<std::uint8_t> Encode() const;
  // Empty when the bytes are not a well-formed handshake.
  static std::optional<VirtualHandshake> Decode(std::span<const std::uint8_t> bytes);

  bool operator==(const VirtualHandshake&) const = default;
};

}  // namespace plat
