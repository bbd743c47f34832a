#include <gtest/gtest.h>

#include "device/usbchannel.h"
#include "tests/device/scriptedbus.h"

namespace {

struct FindCase {
  const char* name;
  std::vector<ScriptedInterface> interfaces;
  const char* manufacturer;  // null: match by identifiers alone
  const char* product;
  int expectedCode;
  const char* expectedPath;  // the interface kept open, or null
  int expectedStringReads;   // -1: not checked
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FindCase& c, std::ostream* out) { *out << c.name; }

ScriptedInterface Board() { return {}; }
ScriptedInterface WithManufacturer(std::optional<std::u16string> text) {
  ScriptedInterface board;
  board.manufacturer = std::move(text);
  return board;
}
ScriptedInterface WithProduct(std::optional<std::u16string> text) {
  ScriptedInterface board;
  board.product = std::move(text);
  return board;
}
ScriptedInterface OtherDevice() {
  ScriptedInterface mouse;
  mouse.vendorId = 0x046D;
  mouse.productId = 0xC077;
  return mouse;
}
ScriptedInterface Unopenable() {
  ScriptedInterface board;
  board.opens = false;
  return board;
}

constexpr const char* kMaker = CUSBHardWare::kBridgeManufacturer;
constexpr const char* kProduct = CUSBHardWare::kBridgeProduct;

const FindCase kCases[] = {
    {"FirstOfTwoIdenticalBoardsWins", {Board(), Board()}, kMaker, kProduct, 0, "if0", -1},
    {"BoardAfterOtherDevicesIsFound", {OtherDevice(), Unopenable(), Board()}, kMaker, kProduct, 0, "if2", -1},
    {"ManufacturerDifferingInCaseIsRefused", {WithManufacturer(u"Orvan Tech Ltd.")}, kMaker, kProduct, 3, nullptr, -1},
    {"ProductDifferingInCaseIsRefused", {WithProduct(u"orvanboxlinkv4")}, kMaker, kProduct, 3, nullptr, -1},
    {"LongerManufacturerIsRefused", {WithManufacturer(u"ORVAN TECH LTD.!")}, kMaker, kProduct, 3, nullptr, -1},
    {"WideCharacterBecomesQuestionMark", {WithProduct(u"Orvan\u0100oxLinkV4")}, kMaker, "Orvan?oxLinkV4", 0, "if0", -1},
    {"WideCharacterDoesNotMatchOriginal", {WithProduct(u"Orvan\u0100oxLinkV4")}, kMaker, kProduct, 3, nullptr, -1},
    {"Latin1UnitKeepsItsByte", {WithProduct(u"OrvanBoxLink\u00FF4")}, kMaker, "OrvanBoxLink\xFF" "4", 0, "if0", -1},
    {"ZeroUnitEndsTheString", {WithProduct(std::u16string(u"OrvanBoxLinkV4\0junk", 19))}, kMaker, kProduct, 0, "if0", -1},
    {"NoExpectedStringsMatchesIdsAloneWithoutReadingStrings", {OtherDevice(), WithManufacturer(std::nullopt), Board()}, nullptr, nullptr, 0, "if1", 0},
    {"UnreadableManufacturerGivesTwo", {WithManufacturer(std::nullopt)}, kMaker, kProduct, 2, nullptr, -1},
    {"UnreadableProductGivesTwo", {WithProduct(std::nullopt)}, kMaker, kProduct, 2, nullptr, -1},
    {"SearchGoesOnAfterUnreadableString", {WithManufacturer(std::nullopt), Board()}, kMaker, kProduct, 0, "if1", -1},
    {"LaterMismatchResetsCodeToThree", {WithProduct(std::nullopt), WithManufacturer(u"Someone Else Co")}, kMaker, kProduct, 3, nullptr, -1},
    {"OtherDeviceAfterUnreadableKeepsTwo", {WithProduct(std::nullopt), OtherDevice()}, kMaker, kProduct, 2, nullptr, -1},
    {"NothingPresentGivesThree", {}, kMaker, kProduct, 3, nullptr, -1},
    {"OnlyOtherDevicesGiveThree", {OtherDevice(), Unopenable()}, kMaker, kProduct, 3, nullptr, -1},
};

class FindHidDeviceTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindHidDeviceTest, FollowsTheSearchRules) {
  const FindCase& c = GetParam();
  ScriptedBus bus(c.interfaces);
  CUSBChannel link(bus);
  std::unique_ptr<plat::HidDevice> handle;
  EXPECT_EQ(link.FindHidDevice(CUSBHardWare::kBridgeVendorId, c.manufacturer,
                               CUSBHardWare::kBridgeProductId, c.product, handle),
            c.expectedCode);
  if (c.expectedPath != nullptr) {
    auto* device = dynamic_cast<ScriptedDevice*>(handle.get());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->Path(), c.expectedPath);
  } else {
    EXPECT_EQ(handle, nullptr);
  }
  if (c.expectedStringReads >= 0) EXPECT_EQ(bus.record.stringReads, c.expectedStringReads);
  // Every candidate that was not kept has been closed again.
  const auto opens = std::count_if(bus.record.events.begin(), bus.record.events.end(),
                                   [](const std::string& e) { return e.starts_with("open"); });
  const auto closes = static_cast<long>(bus.record.events.size()) - opens;
  EXPECT_EQ(opens - closes, handle ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindHidDeviceTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectTest, ClosesTheOldHandleBeforeOpeningAndWhenNothingIsFound) {
  ScriptedBus bus({Board()});
  CUSBChannel link(bus);
  EXPECT_FALSE(link.Connect());
  EXPECT_TRUE(link.IsOpen());
  EXPECT_FALSE(link.Connect());
  EXPECT_EQ(bus.record.events, (std::vector<std::string>{"open if0", "close if0", "open if0"}));

  bus.m_interfaces.clear();
  EXPECT_TRUE(link.Connect());
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(bus.record.events.back(), "close if0");
}

TEST(ConnectTest, CommandsWithoutABoardReturnAtOnceAndAreCounted) {
  ScriptedBus bus({});
  CUSBChannel link(bus);
  link.SetReadTimeout(std::chrono::seconds(30));  // would be felt if anything waited
  EXPECT_TRUE(link.Connect());
  const auto before = link.FailedExchanges();
  CUSBChannel::Block page{};
  page.fill(0x5A);
  link.ReadPage(CUSBChannel::PAGE_IDENTITY, page);
  CUSBChannel::Block cell{};
  link.WriteCellBlock(CellBlockKind::REFERENCE, 0, cell);
  link.SetOutput(CUSBChannel::OUTPUT_BUZZER, 1);
  EXPECT_EQ(page, CUSBChannel::Block{});  // a failed read leaves zeros, not old contents
  // ReadPage: 2 writes + 1 read; WriteCellBlock: 3 writes; SetOutput: 1+1 and 2+1.
  EXPECT_EQ(link.FailedExchanges() - before, 3u + 3u + 5u);
}

}  // namespace
