#include "board/emulatedboard.h"
#include "board/identity.h"
#include "platform/virtualbus.h"
#include "platform/virtualsocket.h"
#include "reports.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace boardtest;
using namespace std::chrono_literals;

// Long enough never to expire on a working bus; a broken one fails instead of hanging.
constexpr std::chrono::milliseconds kGenerous = 5000ms;

class VirtualBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    board.SetReportPeriod(0ns);
    board.SetNoise(0);
    ASSERT_TRUE(board.Plug());
  }

  std::string Directory() const { return dir.path().toStdString(); }

  std::unique_ptr<plat::HidDevice> OpenBoard() { return bus.Open(board.SocketPath()); }

  // Sends `reports` and reads one reply.
  static std::optional<plat::Report> Exchange(plat::HidDevice& device, std::initializer_list<plat::Report> reports) {
    for (const plat::Report& report : reports) {
      if (!device.WriteReport(report)) return std::nullopt;
    }
    plat::Report reply;
    if (!device.ReadReport(reply, kGenerous)) return std::nullopt;
    return reply;
  }

  QTemporaryDir dir;
  board::EmulatedBoard board{Directory(), "board"};
  plat::VirtualBus bus{Directory()};
};

TEST_F(VirtualBusTest, EnumeratesBoardSocketsByNameAndIgnoresOtherFiles) {
  board::EmulatedBoard second(Directory(), "a-second");
  board::EmulatedBoard third(Directory(), "z-third");
  ASSERT_TRUE(third.Plug());
  ASSERT_TRUE(second.Plug());
  std::ofstream(Directory() + "/fake.sock") << "not a socket";
  std::ofstream(Directory() + "/notes.txt") << "x";

  std::vector<std::string> paths;
  for (const plat::HidInterface& found : bus.Enumerate()) paths.push_back(found.path);
  EXPECT_EQ(paths, (std::vector<std::string>{second.SocketPath(), board.SocketPath(), third.SocketPath()}));

  second.Unplug();
  EXPECT_EQ(bus.Enumerate().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(second.SocketPath()));
}

TEST_F(VirtualBusTest, MissingDirectoryEnumeratesNothing) {
  EXPECT_TRUE(plat::VirtualBus(Directory() + "/absent").Enumerate().empty());
}

TEST_F(VirtualBusTest, HandshakeGivesTheBridgeBoardIdentity) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  std::uint16_t vendor = 0, product = 0;
  ASSERT_TRUE(device->GetAttributes(vendor, product));
  EXPECT_EQ(vendor, 0x04B4);
  EXPECT_EQ(product, 0xE006);
  std::u16string text;
  ASSERT_TRUE(device->GetManufacturerString(text));
  EXPECT_EQ(text, board::Widen(board::kManufacturer));
  EXPECT_EQ(text.size(), 15u);
  ASSERT_TRUE(device->GetProductString(text));
  EXPECT_EQ(text, u"OrvanBoxLinkV4");
}

TEST_F(VirtualBusTest, HandshakeCarriesFaultyIdentities) {
  const plat::VirtualHandshake cases[] = {
      {board::kVendorId, board::kProductId, std::nullopt, u"OrvanBoxLinkV4"},
      {board::kVendorId, board::kProductId, u"ORVAN TECH LTD.", std::nullopt},
      {0x046D, 0xC077, u"Logitech", u"USB Optical Mouse \u00e9\u4e2d"},
  };
  for (const plat::VirtualHandshake& identity : cases) {
    board.SetIdentity(identity);
    const std::unique_ptr<plat::HidDevice> device = OpenBoard();
    ASSERT_TRUE(device);
    std::uint16_t vendor = 0, product = 0;
    ASSERT_TRUE(device->GetAttributes(vendor, product));
    EXPECT_EQ(vendor, identity.vendorId);
    EXPECT_EQ(product, identity.productId);
    std::u16string text;
    EXPECT_EQ(device->GetManufacturerString(text), identity.manufacturer.has_value());
    if (identity.manufacturer) {
      EXPECT_EQ(text, *identity.manufacturer);
    }
    EXPECT_EQ(device->GetProductString(text), identity.product.has_value());
    if (identity.product) {
      EXPECT_EQ(text, *identity.product);
    }
  }
}

TEST_F(VirtualBusTest, ExchangesReportsAndLogsThemExactly) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.ClearLog();
  const std::optional<plat::Report> reply = Exchange(*device, {Header(0x21), Bytes({0xFE, 0x40})});
  ASSERT_TRUE(reply);
  const board::EmulatedBoard::Page identity = board.ReadPage(0xFE);
  EXPECT_EQ(PayloadOf(*reply), std::vector<std::uint8_t>(identity.begin(), identity.end()));
  EXPECT_EQ(board.ReceivedReports(), (std::vector<plat::Report>{Header(0x21), Bytes({0xFE, 0x40})}));
}

TEST_F(VirtualBusTest, CommandsChangeTheBoardSeenByTheAccessors) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  plat::Report outputs = Bytes({});
  outputs[1 + 8] = 1;  // buzzer
  ASSERT_TRUE(Exchange(*device, {Header(0x25), outputs}));
  EXPECT_EQ(board.Outputs()[8], 1);

  ASSERT_TRUE(board.Touch(0, 9, 3000));
  const std::optional<plat::Report> channels = Exchange(*device, {Single(0x30, {0x20})});
  ASSERT_TRUE(channels);
  EXPECT_EQ((*channels)[1 + 18] << 8 | (*channels)[2 + 18], 3000);
}

TEST_F(VirtualBusTest, EachConnectionParsesItsOwnCommands) {
  const std::unique_ptr<plat::HidDevice> first = OpenBoard();
  const std::unique_ptr<plat::HidDevice> second = OpenBoard();
  ASSERT_TRUE(first && second);
  // Interleaved halves of two commands; each connection still gets its own reply.
  ASSERT_TRUE(first->WriteReport(Header(0x21)));
  ASSERT_TRUE(second->WriteReport(Header(0x21)));
  ASSERT_TRUE(second->WriteReport(Bytes({0xFE, 0x40})));
  ASSERT_TRUE(first->WriteReport(Bytes({0xF9, 0x40})));
  plat::Report reply;
  ASSERT_TRUE(first->ReadReport(reply, kGenerous));
  EXPECT_EQ(reply[1], board.ReadPage(0xF9)[0]);
  ASSERT_TRUE(second->ReadReport(reply, kGenerous));
  EXPECT_EQ(reply[1], board.ReadPage(0xFE)[0]);
}

TEST_F(VirtualBusTest, SilentBoardTimesOutAndLogsWhatItSwallowed) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.SetSilent(true);
  board.ClearLog();
  ASSERT_TRUE(device->WriteReport(Header(0x24)));
  plat::Report reply;
  EXPECT_FALSE(device->ReadReport(reply, 50ms));
  EXPECT_EQ(board.ReceivedReports().size(), 1u);

  board.SetSilent(false);
  EXPECT_TRUE(Exchange(*device, {Header(0x24)})) << "answers again once the fault is lifted";
}

TEST_F(VirtualBusTest, LateReplyArrivesAfterItsDelay) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.SetReplyDelay(300ms);
  ASSERT_TRUE(device->WriteReport(Header(0xFF)));
  plat::Report reply;
  EXPECT_FALSE(device->ReadReport(reply, 10ms));
  ASSERT_TRUE(device->ReadReport(reply, kGenerous));
  EXPECT_EQ(PayloadOf(reply)[0], board.FirmwareInfo()[0]);
}

TEST_F(VirtualBusTest, VanishInTheMiddleOfACommandFailsReadsAndWrites) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.VanishAfter(2);
  ASSERT_TRUE(device->WriteReport(Header(0x21)));
  device->WriteReport(Bytes({0xF9, 0x40}));  // may already meet a closed socket

  plat::Report reply;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(device->ReadReport(reply, kGenerous));
  EXPECT_LT(std::chrono::steady_clock::now() - start, kGenerous) << "a gone board must end the wait at once";
  EXPECT_FALSE(device->WriteReport(Header(0x24)));
  EXPECT_FALSE(device->ReadReport(reply, kGenerous));

  EXPECT_FALSE(board.IsPlugged());
  EXPECT_FALSE(std::filesystem::exists(board.SocketPath()));
  EXPECT_TRUE(bus.Enumerate().empty());
  EXPECT_EQ(board.ReadPage(0xF9)[0], 0x05) << "the last report was not executed";
}

TEST_F(VirtualBusTest, ReplugAfterAVanishServesAgain) {
  board.VanishAfter(1);
  {
    const std::unique_ptr<plat::HidDevice> device = OpenBoard();
    ASSERT_TRUE(device);
    device->WriteReport(Header(0x24));
    plat::Report reply;
    EXPECT_FALSE(device->ReadReport(reply, kGenerous));
  }
  ASSERT_TRUE(board.Plug());
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  EXPECT_TRUE(Exchange(*device, {Header(0x24)}));
}

TEST_F(VirtualBusTest, UnplugWhileOpenFailsTheHandleWithoutHanging) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.SetSilent(true);
  ASSERT_TRUE(device->WriteReport(Header(0x24)));
  board.Unplug();
  plat::Report reply;
  EXPECT_FALSE(device->ReadReport(reply, kGenerous));
  EXPECT_FALSE(device->WriteReport(Header(0x24)));
  EXPECT_FALSE(OpenBoard());
}

TEST_F(VirtualBusTest, UnplugReturnsWhileTheBoardWaitsOutAReplyDelay) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.SetReplyDelay(std::chrono::hours(1));
  ASSERT_TRUE(device->WriteReport(Header(0x24)));
  while (board.ReceivedReports().empty()) std::this_thread::yield();
  board.Unplug();  // would hang the suite if the wait could not be cut short
  EXPECT_FALSE(board.IsPlugged());
}

TEST_F(VirtualBusTest, StaleSocketIsListedButCannotBeOpenedAndCanBeReplaced) {
  board.Unplug();
  // A socket file left by a board process that died.
  const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
  sockaddr_un address;
  ASSERT_TRUE(plat::MakeUnixAddress(board.SocketPath(), address));
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  close(fd);

  ASSERT_EQ(bus.Enumerate().size(), 1u);
  EXPECT_FALSE(OpenBoard());
  ASSERT_TRUE(board.Plug());
  EXPECT_TRUE(OpenBoard());
}

TEST_F(VirtualBusTest, ASecondBoardCannotTakeALiveSocket) {
  board::EmulatedBoard impostor(Directory(), "board");
  EXPECT_FALSE(impostor.Plug());
  EXPECT_TRUE(board.IsPlugged());
  EXPECT_TRUE(OpenBoard()) << "the live board keeps its socket";
}

TEST_F(VirtualBusTest, WireTimeStillDeliversEveryReply) {
  board.SetReportPeriod(1ms);
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(Exchange(*device, {Header(0x21), Bytes({0xF9, 0x40})}));
  EXPECT_EQ(board.ReportsSent(), 5u);
}

TEST_F(VirtualBusTest, AccessorsAreSafeWhileTheBoardServes) {
  const std::unique_ptr<plat::HidDevice> device = OpenBoard();
  ASSERT_TRUE(device);
  board.WritePage(0xFA, board::EmulatedBoard::Page{});
  std::atomic<bool> done = false;
  std::thread editor([&] {
    for (std::uint8_t i = 0; !done; ++i) {
      board::EmulatedBoard::Page page{};
      page.fill(i);
      board.WritePage(0xFA, page);
      board.Touch(0, i % 32);
      board.ReceivedReports();
    }
  });
  for (int i = 0; i < 200; ++i) {
    const std::optional<plat::Report> reply = Exchange(*device, {Header(0x21), Bytes({0xFA, 0x40})});
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[1], (*reply)[64]) << "a page is read whole";
  }
  done = true;
  editor.join();
}

TEST(VirtualBusDirectory, DefaultsUnderTheRuntimeDirectory) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string restore = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/4321", 1);
  EXPECT_EQ(plat::VirtualBus::DefaultDirectory(), "/run/user/4321/varnostellion-boards");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(plat::VirtualBus::DefaultDirectory(), "/tmp/varnostellion-boards-" + std::to_string(getuid()));
  if (saved) setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
  EXPECT_EQ(plat::VirtualBus("/x").Directory(), "/x");
}

}  // namespace
