#include "display/gdifont.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr int kMaxStretch = 4000;  // QFont::setStretch accepts 1..4000

// The classic average character width: lower-case letters and the space weighted by their
// frequency in English text, per thousand. This is the width a font mapper matches against
// a requested character width.
double WeightedAverageWidth(const QFont& font) {
  static constexpr std::array<std::pair<char, int>, 27> kWeights = {{
      {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
      {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
      {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166},
  }};
  const QFontMetricsF metrics(font);
  double sum = 0;
  for (const auto& [ch, weight] : kWeights) sum += metrics.horizontalAdvance(QChar(ch)) * weight;
  return sum / 1000.0;
}

QFont::Weight QtWeight(int weight) {
  return static_cast<QFont::Weight>(std::clamp(weight, 100, 900));
}

}  // namespace

GdiFont::GdiFont(const Request& request) : m_request(request), m_font(Map(request)), m_ascent(QFontMetrics(m_font).ascent()) {}

QFont GdiFont::Map(const Request& request) {
  QFont font(request.face);
  font.setStyleStrategy(QFont::NoAntialias);
  if (request.weight != 0) font.setWeight(QtWeight(request.weight));
  if (request.height > 0) {
    // Qt sizes by the em; the requested height is the whole cell (ascent + descent).
    QFont probe = font;
    probe.setPixelSize(1000);
    const double cellPerEm = QFontMetricsF(probe).height() / 1000.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(request.height / cellPerEm))));
  } else if (request.height < 0) {
    font.setPixelSize(-request.height);
  }
  if (request.width > 0) {
    const double natural = WeightedAverageWidth(font);
    if (natural > 0) {
      const long stretch = std::lround(100.0 * request.width / natural);
      font.setStretch(static_cast<int>(std::clamp<long>(stretch, 1, kMaxStretch)));
    }
  }
  return font;
}
