#pragma once

#include "display/gdirect.h"

#include <cstdint>
#include <limits>

// Pixel geometry of the channel grid for one client size and grid layout. Coordinates are
// computed in double and truncated toward zero where they become pixel positions; boxes are
// GDI-style, right and bottom exclusive.
class GridGeometry {
 public:
  // The columns of channel k inside its cell.
  struct Channel {
    int colL, colR, top0, barBottom;
  };

  GridGeometry(int width, int height, int rows, int cols, uint8_t showVerdict);

  // Saturating truncation toward zero; not-a-number becomes 0.
  static int Trunc(double v) {
    if (!(v > kIntMin)) return v <= kIntMin ? kIntMin : 0;  // not-a-number gives 0
    return v < kIntMax ? static_cast<int>(v) : kIntMax;
  }

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  double CellWidth() const { return m_cw; }
  double CellHeight() const { return m_ch; }
  double SlotWidth() const { return m_sw; }
  double BarHeight() const { return m_bh; }
  bool IsPreview() const { return m_preview; }

  double X0(int col) const { return col * m_cw; }
  double Y0(int row) const { return row * m_ch; }
  // Preview coordinates reach further down by trunc(CH) / 8.
  int Extend(int y) const { return m_preview ? Trunc(y + m_ext) : y; }
  // Distance in pixels from the top of the bar area down to value v, limited to 0..BH.
  double Level(double v, double viewMin, double viewMax) const;

  Channel ChannelAt(int row, int col, int k) const;
  GdiRect ChannelFrame(int row, int col, int k) const;
  GdiRect ValueBar(int row, int col, int k, double level) const;
  GdiRect Label(int row, int col) const;
  GdiRect StripFrame(int row, int col) const;
  GdiRect StripCell(int row, int col, int k) const;
  int StripFontHeight(int row) const;

 private:
  static constexpr int kIntMin = std::numeric_limits<int>::min();
  static constexpr int kIntMax = std::numeric_limits<int>::max();

  double StripTop(int row) const;
  double StripBottom(int row) const;

  int m_width;
  int m_height;
  double m_cw;
  double m_ch;
  double m_sw;
  double m_bh;
  double m_ext;
  bool m_preview;
};
