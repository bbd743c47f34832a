#include "display/gridgeometry.h"

#include <cmath>
#include <limits>

namespace {

// Division that follows IEEE rules for a zero divisor (an empty view range gives an
// infinite scale) without performing the division itself.
double DivideOrInfinite(double numerator, double denominator) {
  if (denominator != 0.0) return numerator / denominator;
  if (numerator == 0.0 || std::isnan(numerator)) return std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  return std::signbit(numerator) != std::signbit(denominator) ? -inf : inf;
}

}  // namespace

GridGeometry::GridGeometry(int width, int height, int rows, int cols, uint8_t showVerdict)
    : m_width(width),
      m_height(height),
      m_cw(DivideOrInfinite(std::fabs(1.0 - width), cols)),
      m_ch(DivideOrInfinite(std::fabs(1.0 - height), rows)),
      m_sw(m_cw / 32),
      m_bh(0.95 * m_ch - 0.125 * m_ch - 6),
      m_ext(Trunc(m_ch) * 0.125),
      m_preview(showVerdict == 0) {}

double GridGeometry::Level(double v, double viewMin, double viewMax) const {
  const double k = DivideOrInfinite(m_bh, viewMax - viewMin);
  double level = m_bh - k * (v - viewMin);
  if (!(level > 0)) level = 0;
  if (level > m_bh) level = m_bh;
  return level;
}

GridGeometry::Channel GridGeometry::ChannelAt(int row, int col, int k) const {
  const double x0 = X0(col);
  const int top0 = Trunc(Y0(row) + 3);
  return {Trunc(x0 + k * m_sw + 3), Trunc(x0 + (k + 1) * m_sw - 2), top0, Extend(Trunc(top0 + m_bh))};
}

GdiRect GridGeometry::ChannelFrame(int row, int col, int k) const {
  const double x0 = X0(col);
  const double y0 = Y0(row);
  return {Trunc(x0 + k * m_sw + 2), Trunc(y0 + 2), Trunc(x0 + (k + 1) * m_sw - 1),
          Extend(Trunc(y0 + 0.95 * m_ch - 0.125 * m_ch - 2))};
}

GdiRect GridGeometry::ValueBar(int row, int col, int k, double level) const {
  const double x0 = X0(col);
  const Channel ch = ChannelAt(row, col, k);
  return {Trunc(x0 + k * m_sw + m_sw / 4), Trunc(ch.top0 + level), Trunc(x0 + (k + 1) * m_sw - m_sw / 4 + 1),
          ch.barBottom};
}

GdiRect GridGeometry::Label(int row, int col) const {
  const double x0 = X0(col);
  const double y0 = Y0(row);
  return {Trunc(x0 + 2), Trunc(y0 + Trunc(0.875 * m_ch)), Trunc(x0 + m_cw - 1), Trunc(y0 + m_ch - 1)};
}

GdiRect GridGeometry::StripFrame(int row, int col) const {
  const GdiRect label = Label(row, col);
  const double y0 = Y0(row);
  return {label.left, Extend(Trunc(y0 + Trunc(0.95 * m_ch) - 0.125 * m_ch)), label.right,
          Extend(Trunc(y0 + m_ch - 1 - 0.125 * m_ch))};
}

GdiRect GridGeometry::StripCell(int row, int col, int k) const {
  const Channel ch = ChannelAt(row, col, k);
  return {ch.colL, Extend(Trunc(StripTop(row) + 2)), ch.colR, Extend(Trunc(StripBottom(row) - 2))};
}

int GridGeometry::StripFontHeight(int row) const { return Trunc(StripBottom(row)) - Trunc(StripTop(row)); }

double GridGeometry::StripTop(int row) const { return Trunc(0.95 * m_ch) + Y0(row) - 0.125 * m_ch; }

double GridGeometry::StripBottom(int row) const { return Y0(row) + m_ch - 1 - 0.125 * m_ch; }
