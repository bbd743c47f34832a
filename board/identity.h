#pragma once

#include "platform/virtualhandshake.h"

#include <cstdint>
#include <string_view>

namespace board {

// What the bridge board tells the USB host about itself.
inline constexpr std::uint16_t kVendorId = 0x04B4;
inline constexpr std::uint16_t kProductId = 0xE006;
inline constexpr std::string_view kManufacturer = "ORVAN TECH LTD.";  // exactly 15 characters
inline constexpr std::string_view kProduct = "OrvanBoxLinkV4";

// The tag a ModifyPageBits command must carry (bytes 8-17) for the board to apply it.
inline constexpr std::string_view kModifyTag = "OV20240517";

// Device-type codes of the identity page.
inline constexpr std::string_view kSingleDeviceType = "VARNOSTELLION";
inline constexpr std::string_view kExpansionDeviceType = "VARNOSTELLIONPLU";

// Widens 8-bit text code unit by code unit.
inline std::u16string Widen(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// The identity of a genuine bridge board.
inline plat::VirtualHandshake DefaultIdentity() {
  return {kVendorId, kProductId, Widen(kManufacturer), Widen(kProduct)};
}

static_assert(kManufacturer.size() == 15);
static_assert(kModifyTag.size() == 10);
static_assert(kExpansionDeviceType.size() == 16);

}  // namespace board
