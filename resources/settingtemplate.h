#pragma once

#include "resources/dialogtemplate.h"

namespace resources {

// Numbers of the reference and threshold dialog, its controls and its background picture.
namespace setting {
inline constexpr int kDialog = 106;
inline constexpr int kBackground = 138;  // tiled behind the controls

inline constexpr int kSampleList = 1001;
inline constexpr int kRead = 1002;
inline constexpr int kAverageList = 1003;
inline constexpr int kPercentageRule = 1004;
inline constexpr int kOffsetRule = 1005;
inline constexpr int kPercentage = 1006;
inline constexpr int kViewMax = 1007;
inline constexpr int kViewMin = 1008;
inline constexpr int kLowerOffset = 1009;
inline constexpr int kUpperOffset = 1010;
inline constexpr int kOpenAll = 1011;
inline constexpr int kCloseAll = 1012;
inline constexpr int kLoad = 1013;
inline constexpr int kSave = 1014;
inline constexpr int kPreview = 1015;
inline constexpr int kAverage = 1016;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace setting

DialogTemplate SettingTemplate();

}  // namespace resources
