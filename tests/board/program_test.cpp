#include "board/boardconsole.h"
#include "board/boardoptions.h"
#include "platform/virtualbus.h"
#include "reports.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace {

using namespace boardtest;
using namespace std::chrono_literals;

constexpr int kWaitMs = 5000;

// The standalone board, started in a temporary board directory and driven through a pipe.
class BoardProgram : public ::testing::Test {
 protected:
  void Start(QStringList extra = {}) {
    ASSERT_TRUE(dir.isValid());
    process.setProgram(VARNO_BOARD_PROGRAM);
    process.setArguments(QStringList{"--dir", dir.path(), "--name", "bench", "--timing-ms", "0"} + extra);
    process.start();
    ASSERT_TRUE(process.waitForStarted(kWaitMs));
    const std::string first = ReadLine();
    ASSERT_EQ(first, "plugged in at " + SocketPath());
    ASSERT_FALSE(ReadLine().empty()) << "a line that tells how to stop it";
  }

  void TearDown() override {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(kWaitMs);
    }
  }

  std::string SocketPath() const { return dir.path().toStdString() + "/bench.sock"; }

  std::string ReadLine() {
    while (!process.canReadLine()) {
      if (!process.waitForReadyRead(kWaitMs)) return {};
    }
    return process.readLine().trimmed().toStdString();
  }

  std::string Command(const std::string& line) {
    process.write((line + "\n").c_str());
    return ReadLine();
  }

  void ExpectStopsAndRemovesItsSocket() {
    ASSERT_TRUE(process.waitForFinished(kWaitMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(SocketPath()));
  }

  QTemporaryDir dir;
  QProcess process;
};

TEST_F(BoardProgram, TouchShowsOnTheBusAndQuitUnplugs) {
  Start();
  plat::VirtualBus bus(dir.path().toStdString());
  ASSERT_EQ(bus.Enumerate().size(), 1u);
  const std::unique_ptr<plat::HidDevice> device = bus.Open(SocketPath());
  ASSERT_TRUE(device);

  EXPECT_EQ(Command("touch 0 5 1500").rfind("ok", 0), 0u);
  ASSERT_TRUE(device->WriteReport(Single(0x30, {0x20})));
  plat::Report reply;
  ASSERT_TRUE(device->ReadReport(reply, 5000ms));
  EXPECT_EQ(reply[11] << 8 | reply[12], 1500);

  plat::Report outputs{};
  outputs[1 + 6] = 1;
  ASSERT_TRUE(device->WriteReport(Header(0x25)));
  ASSERT_TRUE(device->WriteReport(outputs));
  ASSERT_TRUE(device->ReadReport(reply, 5000ms));
  std::string expected = "ok";
  for (int i = 0; i < 64; ++i) expected += i == 6 ? " 01" : " 00";
  EXPECT_EQ(Command("outputs"), expected);

  EXPECT_EQ(Command("quit"), "ok quit");
  ExpectStopsAndRemovesItsSocket();
  EXPECT_FALSE(device->WriteReport(Header(0x24)));
}

TEST_F(BoardProgram, UnplugAndPlugCommandsRemoveAndRecreateTheSocket) {
  Start({"--model", "expansion", "--layout", "2x3"});
  EXPECT_EQ(Command("unplug"), "ok unplugged");
  EXPECT_FALSE(std::filesystem::exists(SocketPath()));
  EXPECT_EQ(Command("plug"), "ok plugged in at " + SocketPath());
  EXPECT_TRUE(std::filesystem::exists(SocketPath()));
  EXPECT_EQ(Command("page f9").substr(0, 15), "ok 05 00 00 00 ");
  process.closeWriteChannel();  // end of input stops it too
  ExpectStopsAndRemovesItsSocket();
}

TEST_F(BoardProgram, TerminationSignalUnplugs) {
  Start();
  ASSERT_TRUE(std::filesystem::exists(SocketPath()));
  process.terminate();
  ExpectStopsAndRemovesItsSocket();
}

TEST_F(BoardProgram, FaultOptionsReachTheHandshake) {
  Start({"--fault", "no-manufacturer", "--fault", "vendor-id=046d"});
  const std::unique_ptr<plat::HidDevice> device = plat::VirtualBus(dir.path().toStdString()).Open(SocketPath());
  ASSERT_TRUE(device);
  std::uint16_t vendor = 0, product = 0;
  device->GetAttributes(vendor, product);
  EXPECT_EQ(vendor, 0x046D);
  EXPECT_EQ(product, 0xE006);
  std::u16string text;
  EXPECT_FALSE(device->GetManufacturerString(text));
  EXPECT_TRUE(device->GetProductString(text));
}

TEST_F(BoardProgram, BadOptionsExitWithUsage) {
  ASSERT_TRUE(dir.isValid());
  process.start(VARNO_BOARD_PROGRAM, {"--dir", dir.path(), "--layout", "10x1", "--model", "expansion"});
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_TRUE(process.readAllStandardError().contains("usage"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString()));
}

struct OptionCase {
  std::vector<std::string> arguments;
  bool valid;
};

class BoardOptionsTable : public ::testing::TestWithParam<OptionCase> {};

TEST_P(BoardOptionsTable, AcceptsOnlyWellFormedOptions) {
  std::string error;
  EXPECT_EQ(board::BoardOptions::Parse(GetParam().arguments, error).has_value(), GetParam().valid) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Board, BoardOptionsTable,
    ::testing::Values(OptionCase{{}, true}, OptionCase{{"--model", "expansion", "--layout", "8x8"}, true},
                      OptionCase{{"--model", "expansion", "--layout", "9x9"}, true},
                      OptionCase{{"--model", "expansion", "--layout", "10x8"}, false},
                      OptionCase{{"--layout", "3by4"}, false}, OptionCase{{"--model", "double"}, false},
                      OptionCase{{"--timing-ms", "0.5"}, true}, OptionCase{{"--timing-ms", "-1"}, false},
                      OptionCase{{"--fault", "late=250"}, true}, OptionCase{{"--fault", "late=soon"}, false},
                      OptionCase{{"--fault", "vanish=0"}, false}, OptionCase{{"--fault", "product-id=zz"}, false},
                      OptionCase{{"--fault", "melt"}, false}, OptionCase{{"--name", "a/b"}, false},
                      OptionCase{{"--brand", "ABCDEFGHIJKLMNOPQ"}, false}, OptionCase{{"--dir"}, false}));

TEST(BoardOptionsTest, FaultsAndIdentityAreParsed) {
  std::string error;
  const std::optional<board::BoardOptions> options = board::BoardOptions::Parse(
      {"--fault", "silent", "--fault", "late=40", "--fault", "vanish=3", "--fault", "product=Other", "--fault",
       "no-manufacturer", "--timing-ms", "0", "--device-type", "XYZ"},
      error);
  ASSERT_TRUE(options) << error;
  EXPECT_TRUE(options->silent);
  EXPECT_EQ(options->replyDelay, 40ms);
  EXPECT_EQ(options->vanishAfter, 3u);
  EXPECT_EQ(options->identity.product, u"Other");
  EXPECT_FALSE(options->identity.manufacturer);
  EXPECT_EQ(options->reportPeriod.count(), 0);
  EXPECT_EQ(options->config.DeviceTypeCode(), "XYZ");
}

// The control interface in-process: one answer line per command, effects on the board.
class ConsoleTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  board::EmulatedBoard emulated{dir.path().toStdString(), "console",
                                board::BoardConfig{.model = board::Model::Expansion, .rows = 2, .cols = 2}};
  board::BoardConsole console{emulated};
};

TEST_F(ConsoleTest, AnswersOkOrErrorOnOneLine) {
  struct Case {
    const char* line;
    const char* answerStart;
  };
  const Case cases[] = {
      {"touch 3 31", "ok"},        {"touch 4 0", "error"},      {"touch 0 32", "error"},
      {"touch 0 1 70000", "error"}, {"release 3 31", "ok"},     {"release all", "ok"},
      {"open 1 2", "ok"},          {"short 1 3", "ok"},         {"sweep on 50", "ok"},
      {"sweep off", "ok"},         {"sweep sideways", "error"}, {"silent on", "ok"},
      {"silent maybe", "error"},   {"delay 20", "ok"},          {"delay -3", "error"},
      {"vanish 4", "ok"},          {"timing 0", "ok"},          {"noise 0", "ok"},
      {"page f8", "error"},        {"page FE", "ok"},           {"set-page f9 60 01 02 03 04", "ok"},
      {"set-page f9 61 01 02 03 04", "error"}, {"set-page f9 0 zz", "error"}, {"memory 0 4", "ok"},
      {"memory 10000", "error"},   {"status", "ok"},            {"frobnicate", "error"},
      {"", "error"},               {"help", "ok"},
  };
  for (const Case& c : cases) {
    const std::string answer = console.Execute(c.line);
    EXPECT_EQ(answer.rfind(c.answerStart, 0), 0u) << c.line << " -> " << answer;
    EXPECT_EQ(answer.find('\n'), std::string::npos) << c.line;
  }
  EXPECT_FALSE(console.QuitRequested());
  EXPECT_EQ(console.Execute("quit"), "ok quit");
  EXPECT_TRUE(console.QuitRequested());
}

TEST_F(ConsoleTest, CommandsReachTheBoard) {
  console.Execute("set-page f9 0 0f a5");
  const board::EmulatedBoard::Page global = emulated.ReadPage(0xF9);
  EXPECT_EQ(global[0], 0x0F);
  EXPECT_EQ(global[1], 0xA5);
  EXPECT_EQ(console.Execute("memory 0 8"), "ok 00 00 00 00 00 01 00 01") << "table entries 0 and 1";
  EXPECT_EQ(console.Execute("page fe").substr(0, 6), "ok 4F ");
}

}  // namespace
