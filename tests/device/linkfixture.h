#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sstream>
#include <string>
#include <vector>

#include "board/emulatedboard.h"
#include "device/usbchannel.h"
#include "platform/virtualbus.h"
#include "tests/support/waituntil.h"

// A device link connected to one emulated board on a private virtual bus, wire time off.
class LinkFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    board.SetReportPeriod({});
    ASSERT_TRUE(board.Plug());
    ASSERT_FALSE(link.Connect());
    board.ClearLog();
  }

  // The board's log once it holds `count` reports (write-only commands may still be on the wire).
  std::vector<plat::Report> LogOf(std::size_t count) {
    WaitUntil([&] { return board.ReceivedReports().size() >= count; }, std::chrono::seconds(5));
    return board.ReceivedReports();
  }

  QTemporaryDir dir;
  board::EmulatedBoard board{dir.path().toStdString(), "board", {}};
  plat::VirtualBus bus{dir.path().toStdString()};
  CUSBChannel link{bus};
};

// "AA 55 21" -> a report with bytes 1.. set, the rest zero.
inline plat::Report ReportOf(const std::string& hex) {
  plat::Report report{};
  std::istringstream in(hex);
  std::string byte;
  std::size_t index = 1;
  while (in >> byte) report[index++] = static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16));
  return report;
}

inline plat::Report DataReport(const std::uint8_t* data, std::size_t length) {
  plat::Report report{};
  std::copy_n(data, length, report.begin() + 1);
  return report;
}

// The command codes of a stream of reports, one per command, found by each command's length.
inline std::vector<std::uint8_t> CommandsOf(const std::vector<plat::Report>& log) {
  auto reportsOf = [](std::uint8_t code) -> std::size_t {
    switch (code) {
      case 0x20: case 0x22: return 3;
      case 0x1C: case 0x21: case 0x23: case 0x25: return 2;
      default: return 1;
    }
  };
  std::vector<std::uint8_t> codes;
  for (std::size_t i = 0; i < log.size();) {
    const bool header = log[i][1] == 0xAA && log[i][2] == 0x55;
    const std::uint8_t code = header ? log[i][3] : 0x00;
    codes.push_back(code);
    i += header ? reportsOf(code) : 1;
  }
  return codes;
}
