#pragma once

#include <cstdint>

// The levels the measurement cycle writes to the buzzer and the two result lamps, from the
// flags byte of the global parameter block and the number of failing cells F. A level is
// F's low byte (the count, not just "on"), 1/0 for "all pass", or 0 when disabled.
namespace indication {

std::uint8_t BuzzerLevel(std::uint8_t flags, std::int32_t failCount);
std::uint8_t LampALevel(std::uint8_t flags, std::int32_t failCount);
std::uint8_t LampBLevel(std::uint8_t flags, std::int32_t failCount);

}  // namespace indication
