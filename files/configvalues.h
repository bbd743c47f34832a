#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The value forms of a configuration file: decimal numbers and comma-separated lists of them.
namespace configvalues {

// A signed decimal integer: leading blanks, one sign, then digits up to the first other
// character; no digits give 0 and values beyond 32 bits stop at the nearest bound.
std::int32_t ParseNumber(const QString& text);
// The items of a list value in order; a text without a comma has none, and an empty piece
// between commas is an item of 0.
std::vector<std::int32_t> ParseList(const QString& text);
// Stores the first items of `text` into `entries`, each cut to the entry's width; items
// beyond the entries are ignored and entries without an item keep their value. The number
// of entries set.
std::size_t StoreList(const QString& text, std::span<std::uint8_t> entries);
std::size_t StoreList(const QString& text, std::span<std::uint16_t> entries);

// "v0,v1,...", every value with "%d".
QString FormatList(std::span<const std::uint8_t> values);
QString FormatList(std::span<const std::uint16_t> values);

// The 32 little-endian 16-bit values of a 64-byte page or cell block, and back.
using Words = std::array<std::uint16_t, 32>;
Words WordsOf(const std::array<std::uint8_t, 64>& block);
void PutWords(std::array<std::uint8_t, 64>& block, const Words& words);

}  // namespace configvalues
