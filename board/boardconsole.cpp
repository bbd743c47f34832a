#include "board/boardconsole.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace board {
namespace {

using Words = std::vector<std::string>;

constexpr std::chrono::milliseconds kDefaultSweepStep{200};
constexpr const char* kHelp =
    "ok commands: touch <cell> <ch> [value] | release <cell> <ch> | release all | open <cell> <ch> | "
    "short <cell> <ch> | noise <n> | sweep on|once|off [step-ms] | silent on|off | delay <ms> | "
    "vanish <reports> | timing <ms> | outputs | page <hex> | set-page <hex> <offset> <hex-byte>... | "
    "memory <hex-address> [length] | status | plug | unplug | quit | help";

Words Split(const std::string& line) {
  std::istringstream stream(line);
  Words words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

template <class Number>
std::optional<Number> Parse(const std::string& text, int base) {
  std::string_view digits = text;
  if (base == 16 && (digits.starts_with("0x") || digits.starts_with("0X"))) digits.remove_prefix(2);
  Number value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) return std::nullopt;
  return value;
}

std::optional<int> Decimal(const Words& words, std::size_t index) {
  return index < words.size() ? Parse<int>(words[index], 10) : std::nullopt;
}

std::optional<std::uint8_t> HexByte(const std::string& text) { return Parse<std::uint8_t>(text, 16); }

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char buffer[4];
  for (std::uint8_t byte : bytes) {
    std::snprintf(buffer, sizeof buffer, " %02X", byte);
    text += buffer;
  }
  return text;
}

std::string Answer(bool done, const std::string& what) { return done ? "ok " + what : "error " + what; }

std::optional<bool> OnOff(const Words& words) {
  if (words.size() != 2) return std::nullopt;
  if (words[1] == "on") return true;
  if (words[1] == "off") return false;
  return std::nullopt;
}

using ChannelEdit = bool (EmulatedBoard::*)(int, int);

std::string EditChannel(EmulatedBoard& board, const Words& words, ChannelEdit edit) {
  const std::optional<int> cell = Decimal(words, 1);
  const std::optional<int> channel = Decimal(words, 2);
  if (words.size() != 3 || !cell || !channel) return "error usage: " + words[0] + " <cell> <channel>";
  return Answer((board.*edit)(*cell, *channel), words[0] + " cell " + words[1] + " channel " + words[2]);
}

std::string Touch(EmulatedBoard& board, const Words& words) {
  constexpr const char* kUsage = "error usage: touch <cell> <channel> [value 0-65535]";
  const std::optional<int> cell = Decimal(words, 1);
  const std::optional<int> channel = Decimal(words, 2);
  if (words.size() < 3 || words.size() > 4 || !cell || !channel) return kUsage;
  std::optional<std::uint16_t> value;
  if (words.size() == 4) {
    value = Parse<std::uint16_t>(words[3], 10);
    if (!value) return kUsage;
  }
  return Answer(board.Touch(*cell, *channel, value), "touch cell " + words[1] + " channel " + words[2]);
}

std::string Release(EmulatedBoard& board, const Words& words) {
  if (words.size() == 2 && words[1] == "all") {
    board.ReleaseAll();
    return "ok released all";
  }
  return EditChannel(board, words, &EmulatedBoard::Release);
}

std::string Sweep(EmulatedBoard& board, const Words& words) {
  const std::optional<int> step = words.size() == 3 ? Decimal(words, 2) : std::optional(int(kDefaultSweepStep.count()));
  if (words.size() < 2 || words.size() > 3 || !step || *step <= 0) return "error usage: sweep on|once|off [step-ms]";
  if (words[1] == "off") {
    board.StopSweep();
    return "ok sweep off";
  }
  if (words[1] != "on" && words[1] != "once") return "error usage: sweep on|once|off [step-ms]";
  board.StartSweep(std::chrono::milliseconds(*step), words[1] == "on");
  return "ok sweep " + words[1] + " step " + std::to_string(*step) + " ms";
}

std::string Silent(EmulatedBoard& board, const Words& words) {
  const std::optional<bool> on = OnOff(words);
  if (!on) return "error usage: silent on|off";
  board.SetSilent(*on);
  return "ok silent " + words[1];
}

std::string Delay(EmulatedBoard& board, const Words& words) {
  const std::optional<int> ms = Decimal(words, 1);
  if (words.size() != 2 || !ms || *ms < 0) return "error usage: delay <ms>";
  board.SetReplyDelay(std::chrono::milliseconds(*ms));
  return "ok delay " + words[1] + " ms";
}

std::string Vanish(EmulatedBoard& board, const Words& words) {
  const std::optional<int> reports = Decimal(words, 1);
  if (words.size() != 2 || !reports || *reports < 0) return "error usage: vanish <reports>";
  board.VanishAfter(static_cast<unsigned>(*reports));
  return "ok vanish after " + words[1] + " reports";
}

std::string Timing(EmulatedBoard& board, const Words& words) {
  const std::optional<int> ms = Decimal(words, 1);
  if (words.size() != 2 || !ms || *ms < 0) return "error usage: timing <ms>";
  board.SetReportPeriod(std::chrono::milliseconds(*ms));
  return "ok timing " + words[1] + " ms";
}

std::string Noise(EmulatedBoard& board, const Words& words) {
  const std::optional<int> amplitude = Decimal(words, 1);
  if (words.size() != 2 || !amplitude || *amplitude < 0 || *amplitude > 0xFFFF) return "error usage: noise <amplitude>";
  board.SetNoise(static_cast<std::uint16_t>(*amplitude));
  return "ok noise " + words[1];
}

std::string Outputs(EmulatedBoard& board, const Words&) { return "ok" + Hex(board.Outputs()); }

std::string ShowPage(EmulatedBoard& board, const Words& words) {
  const std::optional<std::uint8_t> page = words.size() == 2 ? HexByte(words[1]) : std::nullopt;
  if (!page || *page < Firmware::kGlobalPage || *page > Firmware::kIdentityPage) return "error usage: page F9..FE";
  return "ok" + Hex(board.ReadPage(*page));
}

std::string SetPage(EmulatedBoard& board, const Words& words) {
  const std::optional<std::uint8_t> page = words.size() >= 4 ? HexByte(words[1]) : std::nullopt;
  const std::optional<int> offset = Decimal(words, 2);
  const std::size_t count = words.size() >= 3 ? words.size() - 3 : 0;
  if (!page || *page < Firmware::kGlobalPage || *page > Firmware::kIdentityPage || !offset || *offset < 0 ||
      *offset + count > Firmware::kPageSize) {
    return "error usage: set-page F9..FE <offset> <hex-byte>... (within 64 bytes)";
  }
  Firmware::Page content = board.ReadPage(*page);
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<std::uint8_t> byte = HexByte(words[3 + i]);
    if (!byte) return "error not a hex byte: " + words[3 + i];
    content[*offset + i] = *byte;
  }
  board.WritePage(*page, content);
  return "ok page " + words[1] + " set " + std::to_string(count) + " bytes";
}

std::string Memory(EmulatedBoard& board, const Words& words) {
  const std::optional<std::uint16_t> address = words.size() >= 2 ? Parse<std::uint16_t>(words[1], 16) : std::nullopt;
  const std::optional<int> length = words.size() == 3 ? Decimal(words, 2) : std::optional(64);
  if (words.size() > 3 || !address || !length || *length < 1 || *length > 256) {
    return "error usage: memory <hex-address> [length 1-256]";
  }
  return "ok" + Hex(board.ReadMemory(*address, static_cast<std::size_t>(*length)));
}

std::string Status(EmulatedBoard& board, const Words&) {
  return board.IsPlugged() ? "ok plugged " + board.SocketPath() : "ok unplugged";
}

std::string Plug(EmulatedBoard& board, const Words&) {
  return Answer(board.Plug(), "plugged in at " + board.SocketPath());
}

std::string Unplug(EmulatedBoard& board, const Words&) {
  board.Unplug();
  return "ok unplugged";
}

using Handler = std::function<std::string(EmulatedBoard&, const Words&)>;

const std::map<std::string, Handler>& Handlers() {
  static const std::map<std::string, Handler> handlers = {
      {"touch", Touch},
      {"release", Release},
      {"open", [](EmulatedBoard& b, const Words& w) { return EditChannel(b, w, &EmulatedBoard::OpenChannel); }},
      {"short", [](EmulatedBoard& b, const Words& w) { return EditChannel(b, w, &EmulatedBoard::ShortChannel); }},
      {"noise", Noise},
      {"sweep", Sweep},
      {"silent", Silent},
      {"delay", Delay},
      {"vanish", Vanish},
      {"timing", Timing},
      {"outputs", Outputs},
      {"page", ShowPage},
      {"set-page", SetPage},
      {"memory", Memory},
      {"status", Status},
      {"plug", Plug},
      {"unplug", Unplug},
      {"help", [](EmulatedBoard&, const Words&) { return std::string(kHelp); }},
  };
  return handlers;
}

}  // namespace

std::string BoardConsole::Execute(const std::string& line) {
  const Words words = Split(line);
  if (words.empty()) return "error empty command (try help)";
  if (words[0] == "quit") {
    m_quit = true;
    return "ok quit";
  }
  const auto handler = Handlers().find(words[0]);
  if (handler == Handlers().end()) return "error unknown command: " + words[0] + " (try help)";
  return handler->second(m_board, words);
}

}  // namespace board
