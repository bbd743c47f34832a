#pragma once

#include "board/boardconfig.h"
#include "board/commandparser.h"
#include "board/firmware.h"
#include "board/reportlog.h"
#include "platform/virtualendpoint.h"
#include "platform/virtualserver.h"

#include <mutex>
#include <string>

namespace board {

// One emulated bridge board (with its expansion boards and panel) on the virtual bus: the
// socket "<directory>/<name>.sock", served from a thread of this process. Every method is
// safe to call from any thread while the board serves.
//
//   board::EmulatedBoard board(tempDir, "board", {.model = board::Model::Expansion, .rows = 2, .cols = 3});
//   board.SetReportPeriod({});   // no wire time
//   board.Plug();                // the board arrives
//   ... plat::VirtualBus(tempDir).Enumerate() lists it ...
//   board.Touch(4, 7);           // cell 4, channel 7 above its limit
//   board.Unplug();              // the board is removed
class EmulatedBoard final : private plat::VirtualEndpoint {
 public:
  using Page = Firmware::Page;

  // Throws std::invalid_argument for a configuration that is not Valid().
  EmulatedBoard(std::string directory, std::string name = "board", const BoardConfig& config = {});
  ~EmulatedBoard() override;

  // Creates the socket file (arrival); false when it cannot be created. Plugging a plugged
  // board reconnects it. Unplug closes every connection and removes the file (removal).
  bool Plug();
  void Unplug();
  // False after Unplug and after the board vanished.
  bool IsPlugged() const { return m_server.Serving(); }
  std::string SocketPath() const;
  const std::string& Name() const { return m_name; }

  // What connections made from now on learn in the handshake. A missing string is one the
  // board cannot deliver; other ids or strings make it a device that is not a bridge board.
  plat::VirtualHandshake Identity() const;
  void SetIdentity(plat::VirtualHandshake identity);

  // Wire time per report in each direction (default 1 ms); zero switches it off.
  void SetReportPeriod(std::chrono::nanoseconds period) { m_server.SetReportPeriod(period); }
  std::chrono::nanoseconds ReportPeriod() const { return m_server.ReportPeriod(); }
  // Reports received and replies sent since construction, over all connections.
  std::uint64_t ReportsReceived() const { return m_server.ReportsReceived(); }
  std::uint64_t ReportsSent() const { return m_server.ReportsSent(); }

  // Faults. Silent: received reports are logged but neither executed nor answered.
  void SetSilent(bool silent);
  // Every reply leaves this much later.
  void SetReplyDelay(std::chrono::milliseconds delay);
  // After `reports` more received reports the board vanishes: it closes every connection
  // and removes its socket file, without executing that last report. 0 cancels.
  void VanishAfter(unsigned reports);

  // Board state, as the commands see it.
  Page ReadPage(std::uint8_t page) const;
  bool WritePage(std::uint8_t page, const Page& content);
  std::vector<std::uint8_t> ReadMemory(std::uint16_t address, std::size_t length) const;
  void WriteMemory(std::uint16_t address, std::span<const std::uint8_t> bytes);
  Page Outputs() const;
  void SetOutputs(const Page& outputs);
  Page FirmwareInfo() const;
  void SetFirmwareInfo(const Page& info);
  // Back to the factory state of `config` (throws like the constructor); faults stay.
  void ResetToFactory(const BoardConfig& config);
  // Runs `action(Firmware&)` under the board's lock, for anything the accessors do not offer.
  template <class Action>
  auto WithFirmware(Action&& action) {
    std::lock_guard lock(m_mutex);
    return action(m_firmware);
  }

  // The panel, addressed by grid cell number (the cell the program shows the channel in,
  // through the board's layout and expansion table; the single-board model has cell 0).
  // False for a cell without a group or a channel outside 0..31.
  bool Touch(int cell, int channel, std::optional<std::uint16_t> value = std::nullopt);
  bool Release(int cell, int channel);
  bool OpenChannel(int cell, int channel);
  bool ShortChannel(int cell, int channel);
  void ReleaseAll();
  void SetNoise(std::uint16_t amplitude);
  // Touches every channel of every cell in turn, `step` each; see Panel::StartSweep.
  void StartSweep(std::chrono::milliseconds step, bool repeat = false);
  void StopSweep();
  bool Sweeping() const;

  // The received reports, oldest first (the newest ReportLog::kDefaultCapacity).
  std::vector<plat::Report> ReceivedReports() const { return m_log.Reports(); }
  void ClearLog() { m_log.Clear(); }

 private:
  class Session;

  plat::VirtualHandshake Handshake() override;
  std::unique_ptr<VirtualEndpoint::Session> OpenSession() override;
  Outcome HandleReport(CommandParser& parser, const plat::Report& received, plat::Report& reply);
  template <class Edit>
  bool EditCell(int cell, Edit&& edit);

  const std::string m_directory;
  const std::string m_name;
  mutable std::mutex m_mutex;  // guards everything below; never held while waiting
  Firmware m_firmware;
  plat::VirtualHandshake m_identity;
  bool m_silent = false;
  std::chrono::milliseconds m_replyDelay{};
  unsigned m_vanishCountdown = 0;
  ReportLog m_log;
  plat::VirtualServer m_server{*this};  // last: its thread stops before the rest goes
};

}  // namespace board
