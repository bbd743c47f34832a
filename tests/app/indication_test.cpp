#include <gtest/gtest.h>

#include "app/indication.h"
#include "device/globalblock.h"

namespace {

struct LevelCase {
  std::uint8_t flags;
  std::int32_t failCount;
  std::uint8_t buzzer, lampA, lampB;
};

constexpr std::uint8_t BE = GlobalBlock::BUZZERENABLE;
constexpr std::uint8_t BI = GlobalBlock::BUZZERINVERT;
constexpr std::uint8_t LE = GlobalBlock::LEDENABLE;
constexpr std::uint8_t LI = GlobalBlock::LEDINVERT;

// Every combination of the four flags, with one failing cell, none, and three (expansion
// boards write the count, not 1), plus a count whose low byte is zero.
const LevelCase kCases[] = {
    {0, 1, 0, 0, 0},
    {0, 0, 0, 0, 0},
    {BE, 1, 1, 0, 0},
    {BE, 0, 0, 0, 0},
    {BE, 3, 3, 0, 0},
    {BE | BI, 1, 0, 0, 0},
    {BE | BI, 0, 1, 0, 0},
    {BI, 0, 0, 0, 0},
    {LE, 1, 0, 1, 0},
    {LE, 0, 0, 0, 1},
    {LE, 3, 0, 3, 0},
    {LE | LI, 1, 0, 0, 1},
    {LE | LI, 0, 0, 1, 0},
    {LE | LI, 3, 0, 0, 3},
    {LI, 1, 0, 0, 0},
    {BE | LE, 1, 1, 1, 0},
    {BE | LE, 0, 0, 0, 1},
    {BE | BI | LE | LI, 1, 0, 0, 1},
    {BE | BI | LE | LI, 0, 1, 1, 0},
    {BE | LE, 256, 0, 0, 0},
    {static_cast<std::uint8_t>(0xF0 | BE | LE), 2, 2, 2, 0},  // bits 4..7 mean nothing
};

TEST(IndicationTest, LevelsFollowFlagsAndFailCount) {
  for (const LevelCase& c : kCases) {
    SCOPED_TRACE(::testing::Message() << "flags=" << int(c.flags) << " F=" << c.failCount);
    EXPECT_EQ(indication::BuzzerLevel(c.flags, c.failCount), c.buzzer);
    EXPECT_EQ(indication::LampALevel(c.flags, c.failCount), c.lampA);
    EXPECT_EQ(indication::LampBLevel(c.flags, c.failCount), c.lampB);
  }
}

}  // namespace
