#include "board/panel.h"

#include <algorithm>
#include <cstdlib>

namespace board {

std::uint16_t Panel::BaseValue(GroupId group, int channel) {
  return static_cast<std::uint16_t>(994 + (group * 37 + channel * 11) % 13);
}

Panel::Panel(std::uint32_t seed) : m_channels(kGroups * kChannels), m_random(seed ? seed : 1) {}

bool Panel::Touch(GroupId group, int channel, std::optional<std::uint16_t> value) {
  return Set(group, channel, {Mode::Touched, value.value_or(BaseValue(group, channel) + kTouchRise)});
}

bool Panel::Release(GroupId group, int channel) { return Set(group, channel, {}); }
bool Panel::SetOpen(GroupId group, int channel) { return Set(group, channel, {Mode::Open, 0}); }
bool Panel::SetShorted(GroupId group, int channel) { return Set(group, channel, {Mode::Shorted, kShortedValue}); }

void Panel::ReleaseAll() { std::fill(m_channels.begin(), m_channels.end(), Channel{}); }

bool Panel::Set(GroupId group, int channel, Channel state) {
  if (channel < 0 || channel >= kChannels || group >= kGroups) return false;
  m_channels[group * kChannels + channel] = state;
  return true;
}

void Panel::StartSweep(std::vector<GroupId> groups, std::chrono::milliseconds step, bool repeat,
                       Clock::time_point now) {
  m_sweepGroups = std::move(groups);
  m_sweepStep = std::max(step, std::chrono::milliseconds(1));
  m_sweepRepeat = repeat;
  m_sweepStart = now;
}

// Index into the swept channels (group index * 32 + channel), if a sweep is under way.
std::optional<std::size_t> Panel::SweepPosition(Clock::time_point now) const {
  const std::size_t total = m_sweepGroups.size() * kChannels;
  if (total == 0 || now < m_sweepStart) return std::nullopt;
  const auto step = static_cast<std::size_t>((now - m_sweepStart) / m_sweepStep);
  if (step >= total && !m_sweepRepeat) return std::nullopt;
  return step % total;
}

Panel::Values Panel::Read(GroupId group, Clock::time_point now) {
  const std::optional<std::size_t> swept = SweepPosition(now);
  const bool groupSwept = swept && m_sweepGroups[*swept / kChannels] == group;
  Values values;
  for (int k = 0; k < kChannels; ++k) {
    values[k] = Reading(group, k, groupSwept && static_cast<int>(*swept % kChannels) == k);
  }
  return values;
}

std::uint16_t Panel::Reading(GroupId group, int channel, bool swept) {
  const Channel state = group < kGroups ? m_channels[group * kChannels + channel] : Channel{};
  switch (state.mode) {
    case Mode::Shorted: return kShortedValue;
    case Mode::Open: return static_cast<std::uint16_t>(std::abs(Noise()));
    case Mode::Touched: return state.value;
    case Mode::Normal: break;
  }
  const int base = BaseValue(group, channel) + (swept ? kTouchRise : 0);
  return static_cast<std::uint16_t>(std::clamp(base + Noise(), 0, 0xFFFF));
}

// xorshift32: cheap and good enough for measurement noise.
int Panel::Noise() {
  if (m_noise == 0) return 0;
  m_random ^= m_random << 13;
  m_random ^= m_random >> 17;
  m_random ^= m_random << 5;
  return static_cast<int>(m_random % (2u * m_noise + 1)) - m_noise;
}

}  // namespace board
