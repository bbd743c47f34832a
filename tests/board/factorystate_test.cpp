#include "board/firmware.h"
#include "board/identity.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

using board::BoardConfig;
using board::Firmware;
using board::Model;

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::string Code(const Firmware::Page& identity, std::size_t offset) {
  std::string code(identity.begin() + offset, identity.begin() + offset + 16);
  return code.substr(0, code.find('\0'));
}

// An untouched, noiseless panel must pass against these limits, channel by channel.
void ExpectPassingParameters(std::span<const std::uint8_t> reference, std::span<const std::uint8_t> high,
                             std::span<const std::uint8_t> low, std::span<const std::uint8_t> mask,
                             board::GroupId group) {
  for (int k = 0; k < board::Panel::kChannels; ++k) {
    const std::uint16_t base = board::Panel::BaseValue(group, k);
    EXPECT_EQ(U16(reference, 2 * k), base) << "channel " << k;
    EXPECT_EQ(U16(high, 2 * k), base + base / 10) << "channel " << k;
    EXPECT_EQ(U16(low, 2 * k), base - base / 10) << "channel " << k;
    EXPECT_LT(U16(low, 2 * k), base - board::Panel::kDefaultNoise);
    EXPECT_GT(U16(high, 2 * k), base + board::Panel::kDefaultNoise);
    EXPECT_GT(board::Panel::BaseValue(group, k) + board::Panel::kTouchRise, U16(high, 2 * k)) << "touch must fail";
    EXPECT_EQ(mask[k], 0) << "MASK_OPEN";
  }
}

TEST(FactoryState, GlobalBlockEnablesBuzzerAndLampsWithAView0To2000) {
  const Firmware firmware{BoardConfig{}};
  const Firmware::Page global = firmware.ReadPage(0xF9);
  EXPECT_EQ(global[0] & 0x0F, 0x05) << "BUZZERENABLE and LEDENABLE, no inversion";
  EXPECT_EQ(U16(global, 4), 2000);
  EXPECT_EQ(U16(global, 6), 0);
}

TEST(FactoryState, SingleBoardPagesLetTheBridgeChannelsPass) {
  const Firmware firmware{BoardConfig{}};
  ExpectPassingParameters(firmware.ReadPage(0xFA), firmware.ReadPage(0xFB), firmware.ReadPage(0xFC),
                          firmware.ReadPage(0xFD), board::Panel::kBridgeGroup);
}

struct IdentityCase {
  BoardConfig config;
  std::string brand, deviceType;
};

class FactoryIdentity : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(FactoryIdentity, IdentityPageCarriesIdBrandAndType) {
  const IdentityCase& c = GetParam();
  const Firmware::Page identity = Firmware(c.config).ReadPage(0xFE);
  EXPECT_TRUE(std::equal(c.config.deviceId.begin(), c.config.deviceId.end(), identity.begin()));
  EXPECT_EQ(Code(identity, 32), c.brand);
  EXPECT_EQ(Code(identity, 48), c.deviceType);
}

INSTANTIATE_TEST_SUITE_P(
    Board, FactoryIdentity,
    ::testing::Values(IdentityCase{BoardConfig{}, "ORBENKA", "VARNOSTELLION"},
                      // The expansion code fills its field: no terminator in the page.
                      IdentityCase{BoardConfig{.model = Model::Expansion}, "ORBENKA", "VARNOSTELLIONPLU"},
                      IdentityCase{BoardConfig{.brand = "telmars", .deviceType = "OTHERBOARD"}, "telmars", "OTHERBOARD"},
                      IdentityCase{BoardConfig{.brand = "ABCDEFGHIJKLMNOP"}, "ABCDEFGHIJKLMNOP", "VARNOSTELLION"}));

class FactoryLayout : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(FactoryLayout, TableLayoutAndCellBlocksAgree) {
  const auto [rows, cols] = GetParam();
  const Firmware firmware{BoardConfig{.model = Model::Expansion, .rows = rows, .cols = cols}};
  const Firmware::Page global = firmware.ReadPage(0xF9);
  const int cells = rows * cols;
  const int boards = (cells + 7) / 8;
  ASSERT_EQ(global[Firmware::kRowsOffset], rows);
  ASSERT_EQ(global[Firmware::kColsOffset], cols);
  ASSERT_EQ(global[Firmware::kBoardCountOffset], boards);
  ASSERT_EQ(firmware.ExpansionBoards().size(), static_cast<std::size_t>(boards));

  const std::vector<std::uint8_t> table = firmware.ReadMemory(0, 256);
  std::set<std::pair<int, int>> positions;
  std::set<board::GroupId> groups;
  for (int k = 0; k < cells; ++k) {
    const int row = table[4 * k], col = table[4 * k + 1], address = table[4 * k + 2], group = table[4 * k + 3];
    ASSERT_LT(row, rows);
    ASSERT_LT(col, cols);
    ASSERT_LT(address, boards);
    ASSERT_LT(group, 8);
    positions.insert({row, col});
    const std::uint8_t busAddress = global[Firmware::kBoardAddressOffset + address];
    EXPECT_EQ(firmware.ExpansionBoards()[address], busAddress) << "a board answers at every listed address";
    const board::GroupId id = board::Panel::ExpansionGroup(busAddress, static_cast<std::uint8_t>(group));
    groups.insert(id);

    const int cell = cols * row + col;
    EXPECT_EQ(firmware.GroupOfCell(cell), id);
    const auto base = static_cast<std::uint16_t>((cell + 1) * 0x100);
    const std::vector<std::uint8_t> block = firmware.ReadMemory(base, 256);
    ExpectPassingParameters(std::span(block).subspan(0x00, 64), std::span(block).subspan(0x40, 64),
                            std::span(block).subspan(0x80, 64), std::span(block).subspan(0xC0, 32), id);
    EXPECT_TRUE(std::equal(block.begin() + 0xE0, block.begin() + 0xE0 + 15, global.begin())) << "cell settings";
  }
  EXPECT_EQ(positions.size(), static_cast<std::size_t>(cells)) << "every grid position exactly once";
  EXPECT_EQ(groups.size(), static_cast<std::size_t>(cells)) << "no group serves two cells";
  EXPECT_EQ(std::count(table.begin() + 4 * cells, table.end(), 0), 256 - 4 * cells) << "unused entries stay zero";
}

INSTANTIATE_TEST_SUITE_P(Board, FactoryLayout,
                         ::testing::Values(std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 5}, std::pair{9, 7},
                                           std::pair{8, 8}, std::pair{0, 4}));

TEST(FactoryState, RejectsLayoutsOutsideNineByNine) {
  for (const auto& [rows, cols] : {std::pair{10, 1}, std::pair{1, 10}, std::pair{-1, 2}}) {
    EXPECT_THROW(Firmware(BoardConfig{.model = Model::Expansion, .rows = rows, .cols = cols}), std::invalid_argument)
        << rows << "x" << cols;
  }
  EXPECT_THROW(Firmware(BoardConfig{.brand = std::string(17, 'A')}), std::invalid_argument);
}

// The table has 64 entries: a 9 x 9 layout maps its first 64 cells, the others have
// parameters but no group.
TEST(FactoryState, NineByNineMapsTheFirst64Cells) {
  Firmware firmware{BoardConfig{.model = Model::Expansion, .rows = 9, .cols = 9}};
  EXPECT_TRUE(firmware.GroupOfCell(63).has_value());
  EXPECT_FALSE(firmware.GroupOfCell(64).has_value());
  EXPECT_FALSE(firmware.GroupOfCell(80).has_value());
  const std::vector<std::uint8_t> lastBlock = firmware.ReadMemory(81 * 0x100, 2);
  EXPECT_NE(lastBlock[0] | (lastBlock[1] << 8), 0) << "cell 80 has a reference";
}

TEST(FactoryState, CellsFollowTheTableWhenTheProgramRewritesIt) {
  Firmware firmware{BoardConfig{.model = Model::Expansion, .rows = 1, .cols = 2}};
  // Swap the two cells' positions: cell 0 is now served by entry 1's group.
  const std::uint8_t swapped[8] = {0, 1, 0, 0, 0, 0, 0, 1};
  firmware.WriteMemory(0, swapped);
  EXPECT_EQ(firmware.GroupOfCell(0), board::Panel::ExpansionGroup(1, 1));
  EXPECT_EQ(firmware.GroupOfCell(1), board::Panel::ExpansionGroup(1, 0));
  EXPECT_EQ(firmware.GroupOfCell(2), std::nullopt);
}

}  // namespace
