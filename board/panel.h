#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace board {

// A group of 32 channels: the bridge board's own, or group 0-7 of the expansion board at a
// bus address.
using GroupId = std::uint16_t;

// The simulated panel behind the boards: every channel reads a base value near 1000 plus
// noise, unless it is touched (raised above its limit), open (reads about 0) or shorted
// (reads the maximum). A sweep touches every channel of a list of groups once, in turn.
class Panel {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kChannels = 32;
  using Values = std::array<std::uint16_t, kChannels>;

  static constexpr GroupId kBridgeGroup = 0;
  static constexpr std::uint16_t kShortedValue = 0xFFFF;
  // A touch raises a channel this far above its base value: well above a +10 % limit.
  static constexpr std::uint16_t kTouchRise = 500;
  static constexpr std::uint16_t kDefaultNoise = 3;

  static GroupId ExpansionGroup(std::uint8_t address, std::uint8_t group) {
    return static_cast<GroupId>(1 + address * 8 + group);
  }
  // The bus address an expansion group belongs to.
  static std::uint8_t AddressOf(GroupId group) { return static_cast<std::uint8_t>((group - 1) / 8); }
  // The untouched reading of a channel without noise, between 994 and 1006.
  static std::uint16_t BaseValue(GroupId group, int channel);

  explicit Panel(std::uint32_t seed = 0x2545F491u);

  // Noise is uniform in [-amplitude, +amplitude]; 0 makes readings exact.
  void SetNoise(std::uint16_t amplitude) { m_noise = amplitude; }

  // Channel edits return false for a channel outside 0..31. Touch defaults to base + kTouchRise.
  bool Touch(GroupId group, int channel, std::optional<std::uint16_t> value = std::nullopt);
  bool Release(GroupId group, int channel);  // also mends an open or shorted channel
  bool SetOpen(GroupId group, int channel);
  bool SetShorted(GroupId group, int channel);
  void ReleaseAll();

  // Touches channel 0..31 of groups[0], then of groups[1], ..., each for one `step`; with
  // `repeat` it starts over, else it ends after the last channel.
  void StartSweep(std::vector<GroupId> groups, std::chrono::milliseconds step, bool repeat, Clock::time_point now);
  void StopSweep() { m_sweepGroups.clear(); }
  bool Sweeping(Clock::time_point now) const { return SweepPosition(now).has_value(); }

  // The 32 readings of a group at time `now`.
  Values Read(GroupId group, Clock::time_point now);

 private:
  enum class Mode : std::uint8_t { Normal, Touched, Open, Shorted };
  struct Channel {
    Mode mode = Mode::Normal;
    std::uint16_t value = 0;
  };
  static constexpr std::size_t kGroups = 1 + 256 * 8;

  bool Set(GroupId group, int channel, Channel state);
  std::optional<std::size_t> SweepPosition(Clock::time_point now) const;
  std::uint16_t Reading(GroupId group, int channel, bool swept);
  int Noise();

  std::vector<Channel> m_channels;
  std::uint16_t m_noise = kDefaultNoise;
  std::uint32_t m_random;
  std::vector<GroupId> m_sweepGroups;
  std::chrono::milliseconds m_sweepStep{};
  bool m_sweepRepeat = false;
  Clock::time_point m_sweepStart{};
};

}  // namespace board
