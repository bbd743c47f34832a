#include <functional>
#include <numeric>

#include "board/identity.h"
#include "tests/device/linkfixture.h"

namespace {

CUSBChannel::Block Counting(std::uint8_t first) {
  CUSBChannel::Block block{};
  std::iota(block.begin(), block.end(), first);
  return block;
}

struct CommandCase {
  const char* name;
  std::function<void(CUSBChannel&)> run;
  std::function<std::vector<plat::Report>()> expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

std::vector<plat::Report> Reports(std::initializer_list<plat::Report> reports) { return reports; }

plat::Report ModifyReport() {
  plat::Report report = ReportOf("AA 55 40 F9 00 04 0C");
  std::copy(board::kModifyTag.begin(), board::kModifyTag.end(), report.begin() + 8);
  return report;
}

const CommandCase kCommands[] = {
    {"QueryStatus", [](CUSBChannel& l) { l.QueryStatus(); }, [] { return Reports({ReportOf("AA 55 1C"), ReportOf("01")}); }},
    {"WritePage", [](CUSBChannel& l) { l.WritePage(0xFB, Counting(1)); },
     [] { const auto d = Counting(1); return Reports({ReportOf("AA 55 20"), ReportOf("FB"), DataReport(d.data(), 64)}); }},
    {"ReadPage", [](CUSBChannel& l) { CUSBChannel::Block b; l.ReadPage(0xFE, b); },
     [] { return Reports({ReportOf("AA 55 21"), ReportOf("FE 40")}); }},
    {"WriteMemory", [](CUSBChannel& l) { const auto d = Counting(7); l.WriteMemory(0x1234, 5, d.data()); },
     [] { const auto d = Counting(7); return Reports({ReportOf("AA 55 22"), ReportOf("12 34 05"), DataReport(d.data(), 5)}); }},
    {"ReadMemory", [](CUSBChannel& l) { CUSBChannel::Block b; l.ReadMemory(0x0140, 64, b); },
     [] { return Reports({ReportOf("AA 55 23"), ReportOf("01 40 40")}); }},
    {"ReadOutputs", [](CUSBChannel& l) { CUSBChannel::Block b; l.ReadOutputs(b); }, [] { return Reports({ReportOf("AA 55 24")}); }},
    {"WriteOutputs", [](CUSBChannel& l) { l.WriteOutputs(Counting(3)); },
     [] { const auto d = Counting(3); return Reports({ReportOf("AA 55 25"), DataReport(d.data(), 64)}); }},
    {"ReadChannels", [](CUSBChannel& l) { CUSBChannel::Block b; l.ReadChannels(b); }, [] { return Reports({ReportOf("AA 55 30 20")}); }},
    {"ModifyPageBits", [](CUSBChannel& l) { l.ModifyPageBits(0x04, 0x0C); }, [] { return Reports({ModifyReport()}); }},
    {"SelectExpansionGroup", [](CUSBChannel& l) { l.SelectExpansionGroup(0x03, 0x20); }, [] { return Reports({ReportOf("AA 55 50 03 20")}); }},
    {"ParametersChanged", [](CUSBChannel& l) { l.ParametersChanged(); }, [] { return Reports({ReportOf("AA 55 FD")}); }},
    {"ReadFirmwareInfo", [](CUSBChannel& l) { CUSBChannel::Block b; l.ReadFirmwareInfo(b); }, [] { return Reports({ReportOf("AA 55 FF")}); }},
    {"WriteCellBlockMaskSendsZerosAfter32",
     [](CUSBChannel& l) { l.WriteCellBlock(CellBlockKind::MASK, 2, Counting(9)); },
     [] { const auto d = Counting(9); return Reports({ReportOf("AA 55 22"), ReportOf("03 C0 20"), DataReport(d.data(), 32)}); }},
    {"WriteCellBlockLastCell",
     [](CUSBChannel& l) { l.WriteCellBlock(CellBlockKind::THRESHOLD_LOW, 254, Counting(0)); },
     [] { const auto d = Counting(0); return Reports({ReportOf("AA 55 22"), ReportOf("FF 80 40"), DataReport(d.data(), 64)}); }},
    {"ReadCellBlockReference", [](CUSBChannel& l) { CUSBChannel::Block b; l.ReadCellBlock(CellBlockKind::REFERENCE, 0, b); },
     [] { return Reports({ReportOf("AA 55 23"), ReportOf("01 00 40")}); }},
    {"LoadCellSettingsReads64", [](CUSBChannel& l) { l.LoadCellSettings(1); },
     [] { return Reports({ReportOf("AA 55 23"), ReportOf("02 E0 40")}); }},
    {"StoreCellSettingsSends15",
     [](CUSBChannel& l) { l.SetCellSettings({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}); l.StoreCellSettings(0); },
     [] { const auto d = Counting(1); return Reports({ReportOf("AA 55 22"), ReportOf("01 E0 0F"), DataReport(d.data(), 15)}); }},
    {"ReadExpansionGroup", [](CUSBChannel& l) { CUSBChannel::ChannelValues v; l.ReadExpansionGroup(2, 3, v); },
     [] { return Reports({ReportOf("AA 55 50 02 08"), ReportOf("AA 55 30 20"), ReportOf("AA 55 50 02 00")}); }},
    {"ReadExpansionGroupPastEightSelectsNothing", [](CUSBChannel& l) { CUSBChannel::ChannelValues v; l.ReadExpansionGroup(2, 8, v); },
     [] { return Reports({ReportOf("AA 55 50 02 00"), ReportOf("AA 55 30 20"), ReportOf("AA 55 50 02 00")}); }},
    {"LoadExpansionTable", [](CUSBChannel& l) { l.LoadExpansionTable(); },
     [] { return Reports({ReportOf("AA 55 23"), ReportOf("00 00 40"), ReportOf("AA 55 23"), ReportOf("00 40 40"),
                          ReportOf("AA 55 23"), ReportOf("00 80 40"), ReportOf("AA 55 23"), ReportOf("00 C0 40")}); }},
};

class CommandTest : public LinkFixture, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTest, SendsExactlyTheseReports) {
  const CommandCase& c = GetParam();
  c.run(link);
  const std::vector<plat::Report> expected = c.expected();
  EXPECT_EQ(LogOf(expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CommandTest, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

class CompositeTest : public LinkFixture {};

TEST_F(CompositeTest, StoreGlobalBlockSendsBackTheBytesItDoesNotOwn) {
  board::EmulatedBoard::Page page = board.ReadPage(CUSBChannel::PAGE_GLOBAL);
  for (std::size_t i = 27; i < 64; ++i) page[i] = static_cast<std::uint8_t>(0xC0 + i);
  board.WritePage(CUSBChannel::PAGE_GLOBAL, page);
  link.LoadGlobalBlock();
  GlobalBlock global = link.GetGlobalBlock();
  global.SetU16(GlobalBlock::VIEWDATARANGE_MAX, 0x1234);
  link.SetGlobalBlock(global);
  board.ClearLog();
  link.StoreGlobalBlock();
  const auto log = LogOf(5);
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[2], ReportOf("AA 55 20"));
  board::EmulatedBoard::Page expected = page;
  expected[4] = 0x34;
  expected[5] = 0x12;
  EXPECT_EQ(log[4], DataReport(expected.data(), 64));
  EXPECT_TRUE(WaitUntil([&] { return board.ReadPage(CUSBChannel::PAGE_GLOBAL) == expected; }));
}

TEST_F(CompositeTest, ChannelValuesAreBigEndianAndMaskReadsCopy32Bytes) {
  board.SetNoise(0);
  board.Touch(0, 0, 0x1234);
  board.Touch(0, 31, 0xABCD);
  CUSBChannel::ChannelValues values{};
  link.ReadChannelValues(values);
  EXPECT_EQ(values[0], 0x1234);
  EXPECT_EQ(values[31], 0xABCD);

  CUSBChannel::Block mask;
  mask.fill(0xEE);
  ASSERT_TRUE(link.ReadCellBlock(CellBlockKind::MASK, 0, mask));
  EXPECT_EQ(mask[31], board.ReadMemory(0x01C0 + 31, 1)[0]);
  EXPECT_EQ(mask[32], 0xEE);  // only the mask's 32 bytes are copied
}

TEST_F(CompositeTest, CellNumbersPastTheAddressSpaceAreRefusedWithoutTraffic) {
  CUSBChannel::Block block{};
  EXPECT_FALSE(link.ReadCellBlock(CellBlockKind::REFERENCE, 255, block));
  EXPECT_FALSE(link.WriteCellBlock(CellBlockKind::MASK, 255, block));
  EXPECT_FALSE(link.LoadCellSettings(-1));
  EXPECT_FALSE(link.StoreCellSettings(1000));
  EXPECT_FALSE(link.SetExpansionEntry(64, 0, 0, 0, 0));
  link.QueryStatus();  // a marker: the only traffic the board sees
  EXPECT_EQ(CommandsOf(LogOf(2)), std::vector<std::uint8_t>{0x1C});
}

TEST_F(CompositeTest, SetExpansionEntryRewritesTheWholeTable) {
  const auto before = board.ReadMemory(0, 256);
  ASSERT_TRUE(link.SetExpansionEntry(5, 7, 6, 1, 3));
  const auto log = LogOf(20);
  EXPECT_EQ(CommandsOf(log), (std::vector<std::uint8_t>{0x23, 0x23, 0x23, 0x23, 0x22, 0x22, 0x22, 0x22}));
  auto expected = before;
  std::copy_n(std::begin({7, 6, 1, 3}), 4, expected.begin() + 20);
  EXPECT_TRUE(WaitUntil([&] { return board.ReadMemory(0, 256) == expected; }));
}

// Read-modify-write sequences stay together while another thread keeps reading channels.
TEST_F(CompositeTest, SequencesDoNotInterleaveWithAnotherThread) {
  std::atomic<bool> running{true};
  std::atomic<int> reads{0};
  std::thread reader([&] {
    CUSBChannel::ChannelValues values;
    while (running) {
      link.ReadChannelValues(values);
      ++reads;
    }
  });
  for (int i = 0; i < 20; ++i) {
    // The reader gets the board between every two sequences, so it is racing them for real.
    const int before = reads;
    ASSERT_TRUE(WaitUntil([&] { return reads > before; }, std::chrono::seconds(5)));
    link.SetOutput(CUSBChannel::OUTPUT_LAMP_A, static_cast<std::uint8_t>(i & 1));
    link.StoreGlobalBlock();
    if (i % 5 == 0) link.SetExpansionEntry(i, 0, 0, 0, 0);
  }
  running = false;
  reader.join();
  const auto codes = CommandsOf(board.ReceivedReports());
  // Each sequence's commands follow one another directly.
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] == 0x24) {
      ASSERT_LT(i + 1, codes.size());
      EXPECT_EQ(codes[i + 1], 0x25) << "at " << i;
    }
    if (codes[i] == 0x21) {
      ASSERT_LT(i + 1, codes.size());
      EXPECT_EQ(codes[i + 1], 0x20) << "at " << i;
    }
    if (codes[i] == 0x23 && (i == 0 || codes[i - 1] != 0x23)) {
      ASSERT_LE(i + 8, codes.size());
      for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(codes[i + k], k < 4 ? 0x23 : 0x22) << "at " << i + k;
    }
  }
}

}  // namespace
