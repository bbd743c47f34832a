#pragma once

#include "resources/dialogtemplate.h"

namespace resources {

// Numbers of the expansion-board dialog, its controls and its pictures.
namespace expand {
inline constexpr int kDialog = 107;
inline constexpr int kPicture = 137;
inline constexpr int kBackground = 138;  // tiled behind the controls

inline constexpr int kBoardCount = 1017;
// Bus addresses of expansion boards 0..7, in board order.
inline constexpr int kBoardAddresses[8] = {1018, 1020, 1021, 1022, 1023, 1024, 1025, 1026};
inline constexpr int kRows = 1019;
inline constexpr int kCols = 1027;
inline constexpr int kMappingList = 1028;
inline constexpr int kQuickInit = 1029;
inline constexpr int kWriteTable = 1030;
inline constexpr int kReadTable = 1031;
inline constexpr int kReadLayout = 1032;
inline constexpr int kWriteLayout = 1033;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace expand

DialogTemplate ExpandTemplate();

}  // namespace resources
