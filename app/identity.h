#pragma once

#include <QString>

#include "device/usbchannel.h"

// What the identity page (0xFE) tells about the attached board.
namespace identity {

enum class BoardModel { Unrecognised, SingleBoard, Expansion };

inline constexpr std::size_t kBrandOffset = 32;
inline constexpr std::size_t kDeviceTypeOffset = 48;

// The 16-byte text field at `offset`: cut at its first zero (a full field has none), read as
// 8-bit characters and upper-cased.
QString CodeAt(const CUSBChannel::Block& page, std::size_t offset);
// "设备ID=XXXXXXXX-XXXXXXXX-XXXXXXXX-XXXXXXXX" from bytes 0..15.
QString DeviceIdText(const CUSBChannel::Block& page);
// The status-bar supplier line for an upper-cased brand code.
QString VendorLine(const QString& brand);
BoardModel ModelOf(const QString& deviceType);

inline const QString kSingleBoardType = QStringLiteral("VARNOSTELLION");
inline const QString kExpansionType = QStringLiteral("VARNOSTELLIONPLU");

}  // namespace identity
