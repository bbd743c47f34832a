#include "dialogs/numbertext.h"

#include <algorithm>
#include <limits>

int TextToInt(const QString& text) {
  qsizetype at = 0;
  while (at < text.size() && text[at].isSpace()) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    negative = text[at] == u'-';
    ++at;
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    magnitude = std::min(magnitude * 10 + (text[at].unicode() - u'0'), kLimit);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

std::uint16_t TextToU16(const QString& text) { return static_cast<std::uint16_t>(TextToInt(text)); }
