#include "board/panel.h"

#include <gtest/gtest.h>

namespace {

using board::Panel;
using namespace std::chrono;

const board::GroupId kGroup = Panel::ExpansionGroup(3, 4);
const Panel::Clock::time_point kStart{seconds(50)};

TEST(PanelTest, ChannelStatesOverrideTheBaseValue) {
  Panel panel;
  panel.SetNoise(0);
  panel.Touch(kGroup, 0);
  panel.Touch(kGroup, 1, 1234);
  panel.SetOpen(kGroup, 2);
  panel.SetShorted(kGroup, 3);
  Panel::Values values = panel.Read(kGroup, kStart);
  EXPECT_EQ(values[0], Panel::BaseValue(kGroup, 0) + Panel::kTouchRise);
  EXPECT_EQ(values[1], 1234);
  EXPECT_EQ(values[2], 0);
  EXPECT_EQ(values[3], Panel::kShortedValue);
  EXPECT_EQ(values[4], Panel::BaseValue(kGroup, 4));
  EXPECT_EQ(panel.Read(Panel::kBridgeGroup, kStart)[0], Panel::BaseValue(Panel::kBridgeGroup, 0)) << "groups apart";

  panel.Release(kGroup, 3);
  EXPECT_EQ(panel.Read(kGroup, kStart)[3], Panel::BaseValue(kGroup, 3));
  panel.ReleaseAll();
  EXPECT_EQ(panel.Read(kGroup, kStart)[1], Panel::BaseValue(kGroup, 1));
}

TEST(PanelTest, RejectsChannelsOutsideTheGroup) {
  Panel panel;
  EXPECT_FALSE(panel.Touch(kGroup, 32));
  EXPECT_FALSE(panel.SetOpen(kGroup, -1));
  EXPECT_TRUE(panel.SetShorted(kGroup, 31));
}

TEST(PanelTest, NoiseStaysWithinItsAmplitudeAndVaries) {
  Panel panel;
  panel.SetNoise(5);
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    const int deviation = panel.Read(kGroup, kStart)[7] - Panel::BaseValue(kGroup, 7);
    ASSERT_LE(std::abs(deviation), 5);
    seen.insert(deviation);
  }
  EXPECT_GT(seen.size(), 5u);
}

// The channel a sweep touches at time t, or -1 (index over groups * 32 + channel).
int Touched(Panel& panel, const std::vector<board::GroupId>& groups, Panel::Clock::time_point t) {
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const Panel::Values values = panel.Read(groups[g], t);
    for (int k = 0; k < Panel::kChannels; ++k) {
      if (values[k] > Panel::BaseValue(groups[g], k) + 100) return static_cast<int>(g) * Panel::kChannels + k;
    }
  }
  return -1;
}

TEST(PanelTest, SweepTouchesEveryChannelOnceInTurn) {
  Panel panel;
  panel.SetNoise(0);
  const std::vector<board::GroupId> groups = {Panel::ExpansionGroup(1, 0), Panel::ExpansionGroup(1, 1)};
  panel.StartSweep(groups, milliseconds(10), false, kStart);
  for (int step = 0; step < 64; ++step) {
    EXPECT_EQ(Touched(panel, groups, kStart + milliseconds(10 * step + 5)), step);
  }
  EXPECT_EQ(Touched(panel, groups, kStart + milliseconds(640)), -1);
  EXPECT_FALSE(panel.Sweeping(kStart + milliseconds(640)));
}

TEST(PanelTest, RepeatingSweepStartsOver) {
  Panel panel;
  panel.SetNoise(0);
  const std::vector<board::GroupId> groups = {Panel::kBridgeGroup};
  panel.StartSweep(groups, milliseconds(10), true, kStart);
  EXPECT_EQ(Touched(panel, groups, kStart + milliseconds(325)), 0);
  panel.StopSweep();
  EXPECT_EQ(Touched(panel, groups, kStart + milliseconds(325)), -1);
}

}  // namespace
