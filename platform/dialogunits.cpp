#include "platform/dialogunits.h"

#include <QFontMetrics>

namespace plat {
namespace {

// Multiplies and divides with rounding to the nearest integer, halves away from zero.
int MulDivRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

DialogUnits DialogUnits::ForFont(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  // The average over both alphabets, rounded as the dialog manager rounds it.
  const int averageWidth = (letters / 26 + 1) / 2;
  return {averageWidth, metrics.height()};
}

int DialogUnits::X(int units) const { return MulDivRounded(units, m_baseWidth, 4); }

int DialogUnits::Y(int units) const { return MulDivRounded(units, m_baseHeight, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return {X(x), Y(y), X(width), Y(height)};
}

}  // namespace plat
