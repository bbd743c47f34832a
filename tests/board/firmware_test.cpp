#include "board/commandparser.h"
#include "board/firmware.h"
#include "board/identity.h"
#include "board/reportlog.h"
#include "platform/virtualhandshake.h"
#include "platform/virtualwireclock.h"
#include "reports.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

namespace {

using namespace boardtest;
using board::Firmware;
using Page = Firmware::Page;

Page Counting(std::uint8_t start) {
  Page page;
  std::iota(page.begin(), page.end(), start);
  return page;
}

plat::Report DataOf(const Page& page) {
  plat::Report report{};
  std::copy(page.begin(), page.end(), report.begin() + 1);
  return report;
}

// A firmware behind its parser, as one connection sees it.
struct Wire {
  board::Firmware firmware{board::BoardConfig{}};
  board::CommandParser parser;
  std::vector<plat::Report> replies;

  void Send(std::initializer_list<plat::Report> reports) {
    for (const plat::Report& report : reports) {
      if (const board::Command* command = parser.Feed(report)) {
        plat::Report reply;
        if (firmware.Execute(*command, Firmware::Clock::now(), reply)) replies.push_back(reply);
      }
    }
  }
};

struct CommandCase {
  const char* name;
  std::function<void(Wire&)> prepare;
  std::vector<plat::Report> reports;
  std::size_t replies;  // how many replies the reports must produce
  std::function<void(const Wire&)> check;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class CommandTable : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandTable, ChangesStateAndRepliesAsTheFrameSays) {
  const CommandCase& c = GetParam();
  Wire wire;
  wire.firmware.GetPanel().SetNoise(0);
  if (c.prepare) c.prepare(wire);
  for (const plat::Report& report : c.reports) wire.Send({report});
  ASSERT_EQ(wire.replies.size(), c.replies);
  for (const plat::Report& reply : wire.replies) EXPECT_EQ(reply[0], 0) << "report id";
  c.check(wire);
}

const Page kPattern = Counting(0x40);

INSTANTIATE_TEST_SUITE_P(
    Board, CommandTable,
    ::testing::Values(
        CommandCase{"WritePageThenReadPage",
                    nullptr,
                    {Header(0x20), Bytes({0xFA}), DataOf(kPattern), Header(0x21), Bytes({0xFA, 0x40})},
                    1,
                    [](const Wire& w) {
                      EXPECT_EQ(w.firmware.ReadPage(0xFA), kPattern);
                      EXPECT_EQ(PayloadOf(w.replies[0]), std::vector<std::uint8_t>(kPattern.begin(), kPattern.end()));
                    }},
        CommandCase{"DataReportThatLooksLikeAHeaderIsData",
                    nullptr,
                    {Header(0x20), Bytes({0xFB}), Bytes({0xAA, 0x55, 0x21, 0x07})},
                    0,
                    [](const Wire& w) {
                      const Page page = w.firmware.ReadPage(0xFB);
                      EXPECT_EQ(page[0], 0xAA);
                      EXPECT_EQ(page[3], 0x07);
                    }},
        CommandCase{"StrayReportsBeforeAHeaderAreIgnored",
                    nullptr,
                    {Bytes({0x12, 0x34}), Bytes({0xAA, 0x56, 0x21}), Header(0x77), Header(0x24)},
                    1,
                    [](const Wire& w) { EXPECT_EQ(PayloadOf(w.replies[0]), std::vector<std::uint8_t>(64, 0)); }},
        CommandCase{"WriteMemoryStoresOnlyItsLength",
                    nullptr,
                    {Header(0x22), Bytes({0x12, 0x34, 3}), DataOf(Counting(1))},
                    0,
                    [](const Wire& w) {
                      EXPECT_EQ(w.firmware.ReadMemory(0x1233, 5), (std::vector<std::uint8_t>{0, 1, 2, 3, 0}));
                    }},
        CommandCase{"WriteMemoryLengthAbove64IsCut",
                    nullptr,
                    {Header(0x22), Bytes({0x20, 0x00, 0xFF}), DataOf(Counting(1))},
                    0,
                    [](const Wire& w) {
                      EXPECT_EQ(w.firmware.ReadMemory(0x203F, 2), (std::vector<std::uint8_t>{64, 0}));
                    }},
        CommandCase{"WriteMemoryWrapsAt64KiB",
                    nullptr,
                    {Header(0x22), Bytes({0xFF, 0xFE, 4}), DataOf(Counting(9))},
                    0,
                    [](const Wire& w) {
                      EXPECT_EQ(w.firmware.ReadMemory(0xFFFE, 4), (std::vector<std::uint8_t>{9, 10, 11, 12}));
                    }},
        CommandCase{"ReadMemoryAlwaysReturns64Bytes",
                    [](Wire& w) { w.firmware.WriteMemory(0x0300, kPattern); },
                    {Header(0x23), Bytes({0x03, 0x00, 15})},
                    1,
                    [](const Wire& w) {
                      EXPECT_EQ(PayloadOf(w.replies[0]), std::vector<std::uint8_t>(kPattern.begin(), kPattern.end()));
                    }},
        CommandCase{"WriteOutputsThenReadOutputs",
                    nullptr,
                    {Header(0x25), DataOf(Counting(7)), Header(0x24)},
                    2,
                    [](const Wire& w) {
                      EXPECT_EQ(w.firmware.Outputs(), Counting(7));
                      EXPECT_EQ(PayloadOf(w.replies[1]), PayloadOf(DataOf(Counting(7))));
                    }},
        CommandCase{"QueryStatusReportsReadyInBits2And3",
                    nullptr,
                    {Header(0x1C), Bytes({0x01})},
                    1,
                    [](const Wire& w) { EXPECT_EQ((w.replies[0][1] >> 2) & 3, 1); }},
        CommandCase{"ParametersChangedNoticesAnInvalidLayout",
                    [](Wire& w) {
                      w.firmware = Firmware(board::BoardConfig{.model = board::Model::Expansion});
                      Page global = w.firmware.ReadPage(0xF9);
                      global[Firmware::kRowsOffset] = 10;
                      w.firmware.WritePage(0xF9, global);
                    },
                    {Header(0xFD), Header(0x1C), Bytes({0x01})},
                    1,
                    [](const Wire& w) { EXPECT_EQ((w.replies[0][1] >> 2) & 3, 2); }},
        CommandCase{"ReadFirmwareInfo",
                    nullptr,
                    {Header(0xFF)},
                    1,
                    [](const Wire& w) {
                      const Page info = w.firmware.FirmwareInfo();
                      EXPECT_EQ(PayloadOf(w.replies[0]), std::vector<std::uint8_t>(info.begin(), info.end()));
                    }},
        CommandCase{"ReadChannelsIsBigEndian",
                    [](Wire& w) { w.firmware.GetPanel().Touch(board::Panel::kBridgeGroup, 1, 0x1234); },
                    {Single(0x30, {0x20})},
                    1,
                    [](const Wire& w) {
                      const std::uint16_t base = board::Panel::BaseValue(board::Panel::kBridgeGroup, 0);
                      EXPECT_EQ(w.replies[0][1], base >> 8);
                      EXPECT_EQ(w.replies[0][2], base & 0xFF);
                      EXPECT_EQ(w.replies[0][3], 0x12);
                      EXPECT_EQ(w.replies[0][4], 0x34);
                    }},
        CommandCase{"PagesOutsideTheRangeReadZeroAndIgnoreWrites",
                    nullptr,
                    {Header(0x20), Bytes({0xF8}), DataOf(kPattern), Header(0x21), Bytes({0xF8, 0x40})},
                    1,
                    [](const Wire& w) { EXPECT_EQ(PayloadOf(w.replies[0]), std::vector<std::uint8_t>(64, 0)); }}),
    [](const auto& info) { return std::string(info.param.name); });

plat::Report ModifyBits(std::uint8_t value, std::uint8_t mask, std::string_view tag) {
  plat::Report report = Single(0x40, {0xF9, 0x00, value, mask});
  std::copy(tag.begin(), tag.end(), report.begin() + 8);
  return report;
}

struct ModifyCase {
  std::uint8_t old, value, mask;
  std::string_view tag;
  std::uint8_t expected;
};

class ModifyPageBitsTable : public ::testing::TestWithParam<ModifyCase> {};

TEST_P(ModifyPageBitsTable, AppliesMaskedBitsOnlyWithTheTag) {
  const ModifyCase& c = GetParam();
  Wire wire;
  Page global = wire.firmware.ReadPage(0xF9);
  global[0] = c.old;
  wire.firmware.WritePage(0xF9, global);
  wire.Send({ModifyBits(c.value, c.mask, c.tag)});
  EXPECT_TRUE(wire.replies.empty());
  const Page after = wire.firmware.ReadPage(0xF9);
  EXPECT_EQ(after[0], c.expected);
  EXPECT_TRUE(std::equal(after.begin() + 1, after.end(), global.begin() + 1)) << "only byte 0 may change";
}

INSTANTIATE_TEST_SUITE_P(Board, ModifyPageBitsTable,
                         ::testing::Values(ModifyCase{0x05, 0x00, 0x01, board::kModifyTag, 0x04},
                                           ModifyCase{0x05, 0x02, 0x02, board::kModifyTag, 0x07},
                                           ModifyCase{0x05, 0xFF, 0x08, board::kModifyTag, 0x0D},
                                           ModifyCase{0xF0, 0x0F, 0x00, board::kModifyTag, 0xF0},
                                           ModifyCase{0x05, 0x00, 0x01, "OV20240518", 0x05},
                                           ModifyCase{0x05, 0x00, 0x01, "ov20240517", 0x05}));

TEST(ModifyTag, IsTwoCapitalLettersAndEightDigits) {
  ASSERT_EQ(board::kModifyTag.size(), 10u);
  EXPECT_TRUE(std::all_of(board::kModifyTag.begin(), board::kModifyTag.begin() + 2, ::isupper));
  EXPECT_TRUE(std::all_of(board::kModifyTag.begin() + 2, board::kModifyTag.end(), ::isdigit));
}

class ExpansionSelection : public ::testing::Test {
 protected:
  ExpansionSelection() { wire.firmware = Firmware(board::BoardConfig{.model = board::Model::Expansion, .rows = 3, .cols = 4}); }

  std::uint16_t ReadChannel(int channel) {
    wire.replies.clear();
    wire.Send({Single(0x30, {0x20})});
    return static_cast<std::uint16_t>(wire.replies.at(0)[1 + 2 * channel] << 8 | wire.replies.at(0)[2 + 2 * channel]);
  }

  Wire wire;
};

TEST_F(ExpansionSelection, ReadsTheSelectedGroupUntilDeselected) {
  board::Panel& panel = wire.firmware.GetPanel();
  panel.Touch(board::Panel::ExpansionGroup(2, 3), 5, 4321);
  panel.Touch(board::Panel::kBridgeGroup, 5, 1111);

  wire.Send({Single(0x50, {2, 1 << 3})});
  EXPECT_EQ(ReadChannel(5), 4321);
  wire.Send({Single(0x50, {2, 0})});
  EXPECT_EQ(ReadChannel(5), 1111);
}

TEST_F(ExpansionSelection, AnAddressWithoutABoardReadsZeros) {
  wire.Send({Single(0x50, {0x40, 1})});
  wire.replies.clear();
  wire.Send({Single(0x30, {0x20})});
  EXPECT_EQ(PayloadOf(wire.replies.at(0)), std::vector<std::uint8_t>(64, 0));
}

TEST_F(ExpansionSelection, TheLowestMaskBitNamesTheGroup) {
  wire.firmware.GetPanel().Touch(board::Panel::ExpansionGroup(1, 2), 0, 777);
  wire.Send({Single(0x50, {1, 0b1100'0100})});
  EXPECT_EQ(ReadChannel(0), 777);
}

TEST(CommandParserTest, ACommandSplitByAStrayReportStillTakesItAsParameter) {
  // Parameter and data reports are taken by position, so a resync on a header would corrupt
  // a data report that happens to start with AA 55; the parser must never do that.
  board::CommandParser parser;
  EXPECT_EQ(parser.Feed(Header(0x21)), nullptr);
  const board::Command* command = parser.Feed(Header(0x24));
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->code, board::CommandCode::ReadPage);
  EXPECT_EQ(command->parameter[3], 0x24);
}

TEST(ReportLogTest, KeepsTheNewestReportsInOrder) {
  board::ReportLog log(3);
  for (std::uint8_t i = 1; i <= 5; ++i) log.Append(Bytes({i}));
  const std::vector<plat::Report> kept = log.Reports();
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0][1], 3);
  EXPECT_EQ(kept[2][1], 5);
  log.Clear();
  EXPECT_TRUE(log.Reports().empty());
}

TEST(WireClockTest, BackToBackReportsAreExactlyOnePeriodApart) {
  using namespace std::chrono;
  plat::VirtualWireClock clock(milliseconds(1));
  const auto start = plat::VirtualWireClock::Clock::time_point(seconds(100));
  // All ready at once (queued): no drift however late the caller looks.
  for (int i = 1; i <= 1000; ++i) EXPECT_EQ(clock.Book(start), start + milliseconds(i));
  // After an idle gap the wire starts from the report's own readiness.
  const auto later = start + seconds(5);
  EXPECT_EQ(clock.Book(later), later + milliseconds(1));
  clock.SetPeriod(nanoseconds(0));
  EXPECT_EQ(clock.Book(later + seconds(1)), later + seconds(1));
}

TEST(VirtualHandshakeTest, RoundTripsIdentityIncludingUnreadableStrings) {
  const plat::VirtualHandshake cases[] = {
      board::DefaultIdentity(),
      {0x1234, 0xABCD, std::nullopt, u"OrvanBoxLinkV4"},
      {0x04B4, 0xE006, u"\u6d4b\u8bd5", std::nullopt},
      {0, 0, u"", u""},
  };
  for (const plat::VirtualHandshake& handshake : cases) {
    const std::optional<plat::VirtualHandshake> decoded = plat::VirtualHandshake::Decode(handshake.Encode());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, handshake);
  }
}

TEST(VirtualHandshakeTest, RejectsMalformedBytes) {
  std::vector<std::uint8_t> bytes = board::DefaultIdentity().Encode();
  std::vector<std::uint8_t> truncated(bytes.begin(), bytes.end() - 1);
  std::vector<std::uint8_t> badMagic = bytes;
  badMagic[0] = 'X';
  std::vector<std::uint8_t> lengthWithoutFlag = bytes;
  lengthWithoutFlag[8] = 0;
  for (const auto& malformed : {truncated, badMagic, lengthWithoutFlag, std::vector<std::uint8_t>{}}) {
    EXPECT_FALSE(plat::VirtualHandshake::Decode(malformed));
  }
}

TEST(VirtualHandshakeTest, CutsOverlongStrings) {
  plat::VirtualHandshake handshake{1, 2, std::u16string(300, u'a'), u"p"};
  const std::optional<plat::VirtualHandshake> decoded = plat::VirtualHandshake::Decode(handshake.Encode());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->manufacturer->size(), plat::VirtualHandshake::kMaxStringUnits);
}

}  // namespace
