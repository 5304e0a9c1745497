// Item texts of the main window's port, line and emulation lists, in list order.
#pragma once

#include <array>

namespace tessaly {

inline constexpr std::array<const char*, 10> kPortItems{"COM1", "COM2", "COM3", "COM4", "COM5",
                                                        "COM6", "COM7", "COM8", "COM9", "COM10"};
inline constexpr std::array<const char*, 5> kBaudItems{"9600", "19200", "38400", "57600", "115200"};
inline constexpr std::array<const char*, 2> kDataBitsItems{"8", "7"};
inline constexpr std::array<const char*, 3> kParityItems{"None", "Odd", "Even"};
inline constexpr std::array<const char*, 3> kStopBitsItems{"1", "1.5", "2"};
inline constexpr std::array<const char*, 2> kFlowItems{"Hardware", "Xon/Xoff"};
inline constexpr std::array<const char*, 3> kEmulationItems{"ESC/POS", "QUELMAR", "Others"};

}  // namespace tessaly
