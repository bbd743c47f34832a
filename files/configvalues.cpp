#include "files/configvalues.h"

#include <QStringList>
#include <limits>

namespace configvalues {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <class Entry>
std::size_t Store(const QString& text, std::span<Entry> entries) {
  const std::vector<std::int32_t> items = ParseList(text);
  const std::size_t count = std::min(items.size(), entries.size());
  for (std::size_t k = 0; k < count; ++k) entries[k] = static_cast<Entry>(items[k]);
  return count;
}

template <class Value>
QString Format(std::span<const Value> values) {
  QStringList texts;
  for (Value value : values) texts << QString::number(value);
  return texts.join(u',');
}

}  // namespace

std::int32_t ParseNumber(const QString& text) {
  const QByteArray bytes = text.toLatin1();
  qsizetype at = 0;
  while (at < bytes.size() && IsSpace(bytes.at(at))) ++at;
  bool negative = false;
  if (at < bytes.size() && (bytes.at(at) == '+' || bytes.at(at) == '-')) {
    negative = bytes.at(at) == '-';
    ++at;
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; at < bytes.size() && bytes.at(at) >= '0' && bytes.at(at) <= '9'; ++at) {
    magnitude = std::min(magnitude * 10 + (bytes.at(at) - '0'), kLimit);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()));
}

std::vector<std::int32_t> ParseList(const QString& text) {
  std::vector<std::int32_t> items;
  if (!text.contains(u',')) return items;
  for (const QString& piece : text.split(u',')) items.push_back(ParseNumber(piece));
  return items;
}

std::size_t StoreList(const QString& text, std::span<std::uint8_t> entries) { return Store(text, entries); }

std::size_t StoreList(const QString& text, std::span<std::uint16_t> entries) { return Store(text, entries); }

QString FormatList(std::span<const std::uint8_t> values) { return Format(values); }

QString FormatList(std::span<const std::uint16_t> values) { return Format(values); }

Words WordsOf(const std::array<std::uint8_t, 64>& block) {
  Words words{};
  for (std::size_t k = 0; k < words.size(); ++k) {
    words[k] = static_cast<std::uint16_t>(block[2 * k] | (block[2 * k + 1] << 8));
  }
  return words;
}

void PutWords(std::array<std::uint8_t, 64>& block, const Words& words) {
  for (std::size_t k = 0; k < words.size(); ++k) {
    block[2 * k] = static_cast<std::uint8_t>(words[k] & 0xFF);
    block[2 * k + 1] = static_cast<std::uint8_t>(words[k] >> 8);
  }
}

}  // namespace configvalues
