#pragma once

namespace plat {

// Event codes and device types of a device notice, as the main window's handler expects them.
inline constexpr unsigned DBT_DEVICEARRIVAL = 0x8000;
inline constexpr unsigned DBT_DEVICEREMOVECOMPLETE = 0x8004;
inline constexpr unsigned DBT_DEVTYP_OEM = 0;
inline constexpr unsigned DBT_DEVTYP_DEVICEINTERFACE = 5;

}  // namespace plat
