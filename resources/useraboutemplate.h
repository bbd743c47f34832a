#pragma once

#include "resources/dialogtemplate.h"

namespace resources {

// Numbers of the device information dialog, its controls and its pictures.
namespace userabout {
inline constexpr int kDialog = 108;
inline constexpr int kBackground = 138;  // tiled behind the controls

inline constexpr int kFirmwareType = 1034;
inline constexpr int kFirmwareVersion = 1035;
inline constexpr int kFirmwareDate = 1036;
inline constexpr int kBootloaderVersion = 1037;
inline constexpr int kProgramVersion = 1041;
inline constexpr int kLogo = 1042;
inline constexpr int kHistoryList = 1043;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

// Brand logos.
inline constexpr int kLogoTelmars = 131;
inline constexpr int kLogoDefault = 132;
inline constexpr int kLogoOrbenka = 133;
inline constexpr int kLogoPeldrawisko = 134;
inline constexpr int kLogoSaviren = 135;
}  // namespace userabout

DialogTemplate UserAboutTemplate();

}  // namespace resources
