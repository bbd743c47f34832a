#include "board/emulatedboard.h"

#include "board/identity.h"
#include "platform/virtualbus.h"

namespace board {

// One connection's receive state; the board state itself is shared by all connections.
class EmulatedBoard::Session final : public plat::VirtualEndpoint::Session {
 public:
  explicit Session(EmulatedBoard& board) : m_board(board) {}
  Outcome OnReport(const plat::Report& received, plat::Report& reply) override {
    return m_board.HandleReport(m_parser, received, reply);
  }

 private:
  EmulatedBoard& m_board;
  CommandParser m_parser;
};

EmulatedBoard::EmulatedBoard(std::string directory, std::string name, const BoardConfig& config)
    : m_directory(std::move(directory)), m_name(std::move(name)), m_firmware(config), m_identity(DefaultIdentity()) {}

EmulatedBoard::~EmulatedBoard() { Unplug(); }

bool EmulatedBoard::Plug() { return m_server.Start(SocketPath()); }

void EmulatedBoard::Unplug() { m_server.Stop(); }

std::string EmulatedBoard::SocketPath() const { return plat::VirtualBus::SocketPath(m_directory, m_name); }

plat::VirtualHandshake EmulatedBoard::Identity() const {
  std::lock_guard lock(m_mutex);
  return m_identity;
}

void EmulatedBoard::SetIdentity(plat::VirtualHandshake identity) {
  std::lock_guard lock(m_mutex);
  m_identity = std::move(identity);
}

void EmulatedBoard::SetSilent(bool silent) {
  std::lock_guard lock(m_mutex);
  m_silent = silent;
}

void EmulatedBoard::SetReplyDelay(std::chrono::milliseconds delay) {
  std::lock_guard lock(m_mutex);
  m_replyDelay = delay;
}

void EmulatedBoard::VanishAfter(unsigned reports) {
  std::lock_guard lock(m_mutex);
  m_vanishCountdown = reports;
}

EmulatedBoard::Page EmulatedBoard::ReadPage(std::uint8_t page) const {
  std::lock_guard lock(m_mutex);
  return m_firmware.ReadPage(page);
}

bool EmulatedBoard::WritePage(std::uint8_t page, const Page& content) {
  std::lock_guard lock(m_mutex);
  return m_firmware.WritePage(page, content);
}

std::vector<std::uint8_t> EmulatedBoard::ReadMemory(std::uint16_t address, std::size_t length) const {
  std::lock_guard lock(m_mutex);
  return m_firmware.ReadMemory(address, length);
}

void EmulatedBoard::WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(m_mutex);
  m_firmware.WriteMemory(address, bytes);
}

EmulatedBoard::Page EmulatedBoard::Outputs() const {
  std::lock_guard lock(m_mutex);
  return m_firmware.Outputs();
}

void EmulatedBoard::SetOutputs(const Page& outputs) {
  std::lock_guard lock(m_mutex);
  m_firmware.SetOutputs(outputs);
}

EmulatedBoard::Page EmulatedBoard::FirmwareInfo() const {
  std::lock_guard lock(m_mutex);
  return m_firmware.FirmwareInfo();
}

void EmulatedBoard::SetFirmwareInfo(const Page& info) {
  std::lock_guard lock(m_mutex);
  m_firmware.SetFirmwareInfo(info);
}

void EmulatedBoard::ResetToFactory(const BoardConfig& config) {
  Firmware fresh(config);
  std::lock_guard lock(m_mutex);
  m_firmware = std::move(fresh);
}

template <class Edit>
bool EmulatedBoard::EditCell(int cell, Edit&& edit) {
  std::lock_guard lock(m_mutex);
  const std::optional<GroupId> group = m_firmware.GroupOfCell(cell);
  return group && edit(m_firmware.GetPanel(), *group);
}

bool EmulatedBoard::Touch(int cell, int channel, std::optional<std::uint16_t> value) {
  return EditCell(cell, [&](Panel& panel, GroupId group) { return panel.Touch(group, channel, value); });
}

bool EmulatedBoard::Release(int cell, int channel) {
  return EditCell(cell, [&](Panel& panel, GroupId group) { return panel.Release(group, channel); });
}

bool EmulatedBoard::OpenChannel(int cell, int channel) {
  return EditCell(cell, [&](Panel& panel, GroupId group) { return panel.SetOpen(group, channel); });
}

bool EmulatedBoard::ShortChannel(int cell, int channel) {
  return EditCell(cell, [&](Panel& panel, GroupId group) { return panel.SetShorted(group, channel); });
}

void EmulatedBoard::ReleaseAll() {
  std::lock_guard lock(m_mutex);
  m_firmware.GetPanel().ReleaseAll();
}

void EmulatedBoard::SetNoise(std::uint16_t amplitude) {
  std::lock_guard lock(m_mutex);
  m_firmware.GetPanel().SetNoise(amplitude);
}

void EmulatedBoard::StartSweep(std::chrono::milliseconds step, bool repeat) {
  std::lock_guard lock(m_mutex);
  m_firmware.GetPanel().StartSweep(m_firmware.CellGroups(), step, repeat, Firmware::Clock::now());
}

void EmulatedBoard::StopSweep() {
  std::lock_guard lock(m_mutex);
  m_firmware.GetPanel().StopSweep();
}

bool EmulatedBoard::Sweeping() const {
  std::lock_guard lock(m_mutex);
  return m_firmware.GetPanel().Sweeping(Firmware::Clock::now());
}

plat::VirtualHandshake EmulatedBoard::Handshake() { return Identity(); }

std::unique_ptr<plat::VirtualEndpoint::Session> EmulatedBoard::OpenSession() {
  return std::make_unique<Session>(*this);
}

plat::VirtualEndpoint::Outcome EmulatedBoard::HandleReport(CommandParser& parser, const plat::Report& received,
                                                           plat::Report& reply) {
  m_log.Append(received);
  std::lock_guard lock(m_mutex);
  if (m_vanishCountdown > 0 && --m_vanishCountdown == 0) return {.vanish = true};
  if (m_silent) return {};
  const Command* command = parser.Feed(received);
  if (!command || !m_firmware.Execute(*command, Firmware::Clock::now(), reply)) return {};
  return {.reply = true, .replyDelay = m_replyDelay};
}

}  // namespace board
