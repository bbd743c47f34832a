#pragma once

#include "platform/hidbus.h"

#include <cstdint>

namespace board {

// Command codes (byte 3 of a header report).
enum class CommandCode : std::uint8_t {
  QueryStatus = 0x1C,
  WritePage = 0x20,
  ReadPage = 0x21,
  WriteMemory = 0x22,
  ReadMemory = 0x23,
  ReadOutputs = 0x24,
  WriteOutputs = 0x25,
  ReadChannels = 0x30,
  ModifyPageBits = 0x40,
  SelectExpansionGroup = 0x50,
  ParametersChanged = 0xFD,
  ReadFirmwareInfo = 0xFF,
};

// One complete command as received: its header report and, where the command has them, its
// parameter and data reports (zero otherwise). Byte indices are report indices (0 = report id).
struct Command {
  CommandCode code{};
  plat::Report header{};
  plat::Report parameter{};
  plat::Report data{};
};

}  // namespace board
