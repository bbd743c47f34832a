#include <gtest/gtest.h>

#include <array>
#include <QStringList>
#include <climits>

#include "files/configvalues.h"
#include "files/filecommandcontext.h"

namespace {

using configvalues::ParseList;
using configvalues::ParseNumber;
using configvalues::StoreList;

TEST(ConfigValues, NumbersReadLikeTheDecimalConversion) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"", 0},          {"12", 12},       {"  -7", -7},     {"\t+5", 5},
      {"12abc", 12},    {"abc", 0},       {"- 3", 0},       {"0x1F", 0},
      {"99999999999", INT_MAX},           {"-99999999999", INT_MIN},
      {"2147483647", INT_MAX},            {"-2147483648", INT_MIN},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseNumber(text), value) << text;
}

TEST(ConfigValues, ListItemsNeedACommaAndEmptyPiecesReadZero) {
  const std::pair<const char*, std::vector<std::int32_t>> cases[] = {
      {"", {}},          {"5", {}},           {"1,2", {1, 2}},
      {",,3", {0, 0, 3}}, {"1,", {1, 0}},     {" 4, x5,6y", {4, 0, 6}},
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(ParseList(text), items) << text;
}

TEST(ConfigValues, StoringCutsToTheEntryWidthAndIgnoresSurplusItems) {
  std::array<std::uint16_t, 2> words{};
  EXPECT_EQ(StoreList("70000,-1,3", words), 2u);
  EXPECT_EQ(words, (std::array<std::uint16_t, 2>{4464, 65535}));

  std::array<std::uint8_t, 3> bytes{};
  EXPECT_EQ(StoreList("256,257,258,259", bytes), 3u);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 3>{0, 1, 2}));
}

TEST(ConfigValues, EntriesWithoutAnItemKeepTheirValue) {
  std::array<std::uint8_t, 4> bytes = {9, 9, 9, 9};
  EXPECT_EQ(StoreList("1,2", bytes), 2u);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{1, 2, 9, 9}));
  EXPECT_EQ(StoreList("7", bytes), 0u);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{1, 2, 9, 9}));
}

// 32 five-digit values with blanks take more than 255 characters; every one must arrive whole.
TEST(ConfigValues, LongListIsReadWhole) {
  QStringList texts;
  for (int k = 0; k < 32; ++k) texts << QStringLiteral("   %1").arg(30000 + k);
  const QString text = texts.join(u',');
  ASSERT_GT(text.size(), 255);
  std::array<std::uint16_t, 32> words{};
  EXPECT_EQ(StoreList(text, words), 32u);
  for (std::size_t k = 0; k < words.size(); ++k) EXPECT_EQ(words[k], 30000 + k);
}

TEST(ConfigValues, ListsFormatAsTheFileWritesThem) {
  const std::array<std::uint16_t, 3> words = {0, 65535, 12};
  EXPECT_EQ(configvalues::FormatList(std::span<const std::uint16_t>(words)), "0,65535,12");
  const std::array<std::uint8_t, 2> bytes = {255, 1};
  EXPECT_EQ(configvalues::FormatList(std::span<const std::uint8_t>(bytes)), "255,1");
}

TEST(ConfigValues, CellCountStaysInsideTheExpansionTable) {
  const std::tuple<std::int64_t, std::int64_t, int> cases[] = {
      {2, 3, 6}, {8, 8, 64}, {9, 9, 64}, {255, 255, 64}, {0, 5, 0}, {5, 0, 0},
      {-8, -8, 0}, {-1, 3, 0}, {INT_MAX, INT_MAX, 64},
  };
  for (const auto& [rows, cols, cells] : cases) EXPECT_EQ(FileCellCount(rows, cols), cells) << rows << "x" << cols;
}

}  // namespace
