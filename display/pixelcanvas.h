#pragma once

#include "display/gdirect.h"
#include "display/textmask.h"

#include <QImage>
#include <QRgb>

// Direct drawing on the scanlines of an RGB32 image with GDI's rectangle rules. Everything
// is clipped to the clip box, which is the whole image unless narrowed.
class PixelCanvas {
 public:
  // What fills a box: a solid colour, or the diagonal cross hatch (HS_DIAGCROSS) drawn
  // opaque, i.e. hatch colour on white, aligned to the image origin.
  struct Brush {
    enum Kind { SOLID, HATCH } kind;
    QRgb colour;
  };

  static constexpr QRgb HATCH_COLOUR = 0xff9b9b9bu;  // RGB 155,155,155
  static constexpr QRgb HATCH_BACKGROUND = 0xffffffffu;

  explicit PixelCanvas(QImage& image);

  // Limits every later drawing call to box (and to the image).
  void SetClip(const GdiRect& box);
  const GdiRect& Clip() const { return m_clip; }

  void Fill(const GdiRect& rect, const Brush& brush);
  // Border in the pen colour, inside filled with the brush.
  void Outline(const GdiRect& rect, QRgb pen, const Brush& brush);
  // Sets the pixels of a text mask placed at its reference point x, y.
  void Stamp(const TextMask& mask, int x, int y, QRgb colour);
  // ANDs the pixels of a text mask with bits, as SRCAND of that text on white does.
  void AndStamp(const TextMask& mask, int x, int y, QRgb bits);

 private:
  QRgb* Line(int y) { return m_bits + static_cast<qsizetype>(y) * m_stride; }
  bool ClipTo(GdiRect& rect) const {
    rect = Intersection(rect, m_clip);
    return !rect.IsEmpty();
  }
  void FillHatch(const GdiRect& clipped);
  void FillFramedRows(const GdiRect& rows, QRgb pen, QRgb colour);
  template <typename Op>
  void ForEachMaskSpan(const TextMask& mask, int x, int y, Op op);

  QRgb* m_bits;
  qsizetype m_stride;
  GdiRect m_image;
  GdiRect m_clip;
};
