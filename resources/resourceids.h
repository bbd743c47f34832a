#pragma once

// Numbers of dialogs, menus, strings, bitmaps and controls, as the program knows them.
namespace resources {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;

inline constexpr int IDR_MAINFRAME = 128;  // the program's icon
inline constexpr int IDR_MAIN_MENU = 129;
inline constexpr int IDR_CONTEXT_MENU = 130;

inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_PANE_0 = 102;
inline constexpr int IDS_SOCKETS_INIT_FAILED = 103;
inline constexpr int IDS_PANE_1 = 104;
inline constexpr int IDS_PANE_2 = 105;

inline constexpr int IDC_GRID = 1000;
inline constexpr int IDC_STATUS_BAR = 59393;
inline constexpr int IDM_ABOUTBOX = 16;  // the about item appended to the system menu

// Commands of the menu bar and the context menu.
inline constexpr int ID_FILE_SAVE_CONFIG = 32798;
inline constexpr int ID_FILE_LOAD_CONFIG = 32800;
inline constexpr int ID_FILE_SAVE_LEGACY = 57603;
inline constexpr int ID_FILE_LOAD_LEGACY = 32790;
inline constexpr int ID_EDIT_SETTINGS = 32773;
inline constexpr int ID_EDIT_INDICATION = 32778;
inline constexpr int ID_EDIT_CLEAR_INDICATION = 32782;
inline constexpr int ID_BUZZER_ENABLE = 32784;
inline constexpr int ID_BUZZER_INVERT = 32785;
inline constexpr int ID_LED_ENABLE = 32795;
inline constexpr int ID_LED_INVERT = 32796;
inline constexpr int ID_EDIT_CAMERA = 32802;
inline constexpr int ID_EXPANSION_SETTINGS = 32787;
inline constexpr int ID_HELP_CHECK_VERSION = 32776;
inline constexpr int ID_HELP_ABOUT = 32774;
inline constexpr int ID_CELL_SETTINGS = 32789;

}  // namespace resources
