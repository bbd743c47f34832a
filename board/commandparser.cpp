#include "board/commandparser.h"

#include <optional>

namespace board {
namespace {

struct Frame {
  bool parameter;
  bool data;
};

std::optional<Frame> FrameOf(std::uint8_t code) {
  switch (static_cast<CommandCode>(code)) {
    case CommandCode::QueryStatus:
    case CommandCode::ReadPage:
    case CommandCode::ReadMemory: return Frame{true, false};
    case CommandCode::WritePage:
    case CommandCode::WriteMemory: return Frame{true, true};
    case CommandCode::WriteOutputs: return Frame{false, true};
    case CommandCode::ReadOutputs:
    case CommandCode::ReadChannels:
    case CommandCode::ModifyPageBits:
    case CommandCode::SelectExpansionGroup:
    case CommandCode::ParametersChanged:
    case CommandCode::ReadFirmwareInfo: return Frame{false, false};
  }
  return std::nullopt;
}

bool IsHeader(const plat::Report& report) { return report[1] == 0xAA && report[2] == 0x55; }

}  // namespace

const Command* CommandParser::Feed(const plat::Report& report) {
  switch (m_stage) {
    case Stage::Header: {
      const std::optional<Frame> frame = IsHeader(report) ? FrameOf(report[3]) : std::nullopt;
      if (!frame) return nullptr;
      m_command = Command{static_cast<CommandCode>(report[3]), report, {}, {}};
      m_needsData = frame->data;
      if (frame->parameter) return Advance(Stage::Parameter);
      return Advance(m_needsData ? Stage::Data : Stage::Header);
    }
    case Stage::Parameter:
      m_command.parameter = report;
      return Advance(m_needsData ? Stage::Data : Stage::Header);
    case Stage::Data:
      m_command.data = report;
      return Advance(Stage::Header);
  }
  return nullptr;
}

const Command* CommandParser::Advance(Stage next) {
  m_stage = next;
  return next == Stage::Header ? &m_command : nullptr;
}

}  // namespace board
