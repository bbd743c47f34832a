#pragma once

// Numbers of the camera window's template and controls.
namespace camera {

inline constexpr int IDD_VIDEO = 110;
inline constexpr int IDC_CAMERA_LIST = 1047;
inline constexpr int IDC_START_CAMERA = 1048;
inline constexpr int IDC_SNAPSHOT = 1049;
inline constexpr int IDC_VIDEO_AREA = 1050;

}  // namespace camera
