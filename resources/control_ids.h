// Window, control and icon ids. These numbers must not change: each window
// resolves its control ids within itself, so the same number serves different
// controls in different windows (1001 is "Check Communication" in the main window
// and the code table list in both editing windows), and tests and scripts find
// controls by them.
#pragma once

namespace tessaly {

// Windows and the icon.
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDD_SWITCH_EDITOR = 130;
inline constexpr int IDD_BASIC_SETTINGS = 132;

// Commands every window understands.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
// Labels and group boxes that no code addresses.
inline constexpr int IDC_STATIC = -1;

// Main window.
inline constexpr int IDC_CHECK_COMM = 1001;
inline constexpr int IDC_PORT = 1022;
inline constexpr int IDC_SELF_TEST = 1023;
inline constexpr int IDC_BAUD = 1024;
inline constexpr int IDC_DATA_BITS = 1025;
inline constexpr int IDC_PARITY = 1026;
inline constexpr int IDC_STOP_BITS = 1027;
inline constexpr int IDC_RUN_MANAGER = 1030;
inline constexpr int IDC_FLOW = 1031;
inline constexpr int IDC_EMULATION = 1032;

// Switch editor window and, where shared, the basic settings window.
inline constexpr int IDC_PROGRESS = 10;
inline constexpr int IDC_CODE_TABLE = 1001;
inline constexpr int IDC_GET_STATUS = 1002;
inline constexpr int IDC_SET_STATUS = 1003;
inline constexpr int IDC_SAVE_STATUS = 1004;
inline constexpr int IDC_LOAD_STATUS = 1005;
inline constexpr int IDC_EXIT = 1007;
inline constexpr int IDC_INTL_SET = 1023;
inline constexpr int IDC_BRIGHTNESS = 1024;
inline constexpr int IDC_PERIPHERAL = 1025;
inline constexpr int IDC_CURSOR_MODE = 1026;

// Basic settings window only.
inline constexpr int IDC_SHOW_INFO = 1002;

}  // namespace tessaly
