#pragma once

#include "display/gdirect.h"
#include "display/textmask.h"

#include <QImage>
#include <QRgb>

// Direct drawing on the scanlines of an RGB32 image with GDI's rectangle rules. Everything
// is clipped to the image.
class PixelCanvas {
 public:
  // What fills the inside of an outline: a solid colour, or the diagonal cross hatch
  // (HS_DIAGCROSS) drawn opaque, i.e. hatch colour on white, aligned to the image origin.
  struct Brush {
    enum Kind { SOLID, HATCH } kind;
    QRgb colour;
  };

  static constexpr QRgb HATCH_COLOUR = 0xff9b9b9bu;  // RGB 155,155,155
  static constexpr QRgb HATCH_BACKGROUND = 0xffffffffu;

  explicit PixelCanvas(QImage& image);

  int Width() const { return m_width; }
  int Height() const { return m_height; }

  void Fill(const GdiRect& rect, QRgb colour);
  void Fill(const GdiRect& rect, const Brush& brush);
  // Border in the pen colour, inside filled with the brush.
  void Outline(const GdiRect& rect, QRgb pen, const Brush& brush);
  // Pixels x0..x1-1 of row y.
  void HorizontalLine(int x0, int x1, int y, QRgb colour);
  // Pixels y0..y1-1 of column x.
  void VerticalLine(int x, int y0, int y1, QRgb colour);
  // Sets the pixels of a text mask placed at its reference point x, y.
  void Stamp(const TextMask& mask, int x, int y, QRgb colour);
  // ANDs the pixels of a text mask with bits, as SRCAND of that text on white does.
  void AndStamp(const TextMask& mask, int x, int y, QRgb bits);

 private:
  QRgb* Line(int y) { return m_bits + static_cast<qsizetype>(y) * m_stride; }
  bool Clip(GdiRect& rect) const;
  void FillHatch(const GdiRect& clipped);
  template <typename Op>
  void ForEachMaskSpan(const TextMask& mask, int x, int y, Op op);

  QRgb* m_bits;
  qsizetype m_stride;
  int m_width;
  int m_height;
};
