#include "display/pixelcanvas.h"

#include <algorithm>

namespace {

// Pattern bit of the diagonal cross hatch at image position x, y (both >= 0).
bool HatchBit(int x, int y) { return ((x - y) & 7) == 0 || ((x + y) & 7) == 7; }


// Rows of a narrow column are the common case (channel slots are a few pixels wide), so the
// narrow widths get loops without a per-row call.
template <int W>
void FillColumn(QRgb* p, qsizetype stride, int rows, QRgb colour) {
  for (; rows > 0; --rows, p += stride)
    for (int i = 0; i < W; ++i) p[i] = colour;
}

void FillRows(QRgb* p, qsizetype stride, int width, int rows, QRgb colour) {
  switch (width) {
    case 1:
      return FillColumn<1>(p, stride, rows, colour);
    case 2:
      return FillColumn<2>(p, stride, rows, colour);
    case 3:
      return FillColumn<3>(p, stride, rows, colour);
    case 4:
      return FillColumn<4>(p, stride, rows, colour);
    case 5:
      return FillColumn<5>(p, stride, rows, colour);
    case 6:
      return FillColumn<6>(p, stride, rows, colour);
    default:
      for (; rows > 0; --rows, p += stride) std::fill(p, p + width, colour);
  }
}

}  // namespace

PixelCanvas::PixelCanvas(QImage& image)
    : m_bits(reinterpret_cast<QRgb*>(image.bits())),
      m_stride(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))),
      m_width(image.width()),
      m_height(image.height()) {}

bool PixelCanvas::Clip(GdiRect& rect) const {
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  rect.right = std::min(rect.right, m_width);
  rect.bottom = std::min(rect.bottom, m_height);
  return !rect.IsEmpty();
}

void PixelCanvas::Fill(const GdiRect& rect, QRgb colour) {
  GdiRect r = rect;
  if (!Clip(r)) return;
  FillRows(Line(r.top) + r.left, m_stride, r.right - r.left, r.bottom - r.top, colour);
}

void PixelCanvas::Fill(const GdiRect& rect, const Brush& brush) {
  if (brush.kind == Brush::SOLID) {
    Fill(rect, brush.colour);
    return;
  }
  GdiRect r = rect;
  if (Clip(r)) FillHatch(r);
}

void PixelCanvas::FillHatch(const GdiRect& r) {
  for (int y = r.top; y < r.bottom; ++y) {
    // One period of the pattern for this row, then repeated along it.
    QRgb period[8];
    for (int i = 0; i < 8; ++i) period[i] = HatchBit(r.left + i, y) ? HATCH_COLOUR : HATCH_BACKGROUND;
    QRgb* line = Line(y);
    for (int x = r.left, i = 0; x < r.right; ++x, i = (i + 1) & 7) line[x] = period[i];
  }
}

void PixelCanvas::Outline(const GdiRect& rect, QRgb pen, const Brush& brush) {
  if (rect.IsEmpty()) return;
  HorizontalLine(rect.left, rect.right, rect.top, pen);
  HorizontalLine(rect.left, rect.right, rect.bottom - 1, pen);
  VerticalLine(rect.left, rect.top, rect.bottom, pen);
  VerticalLine(rect.right - 1, rect.top, rect.bottom, pen);
  Fill(GdiRect{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, brush);
}

void PixelCanvas::HorizontalLine(int x0, int x1, int y, QRgb colour) {
  if (y < 0 || y >= m_height) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, m_width);
  if (x0 < x1) std::fill(Line(y) + x0, Line(y) + x1, colour);
}

void PixelCanvas::VerticalLine(int x, int y0, int y1, QRgb colour) {
  if (x < 0 || x >= m_width) return;
  y0 = std::max(y0, 0);
  y1 = std::min(y1, m_height);
  if (y0 < y1) FillColumn<1>(Line(y0) + x, m_stride, y1 - y0, colour);
}

template <typename Op>
void PixelCanvas::ForEachMaskSpan(const TextMask& mask, int x, int y, Op op) {
  for (const TextMask::Run& run : mask.Runs()) {
    const int row = y + run.dy;
    if (row < 0 || row >= m_height) continue;
    const int begin = std::max(x + run.dx, 0);
    const int end = std::min(x + run.dx + run.length, m_width);
    if (begin < end) op(Line(row) + begin, Line(row) + end);
  }
}

void PixelCanvas::Stamp(const TextMask& mask, int x, int y, QRgb colour) {
  ForEachMaskSpan(mask, x, y, [colour](QRgb* begin, QRgb* end) { std::fill(begin, end, colour); });
}

void PixelCanvas::AndStamp(const TextMask& mask, int x, int y, QRgb bits) {
  ForEachMaskSpan(mask, x, y, [bits](QRgb* begin, QRgb* end) {
    for (QRgb* p = begin; p < end; ++p) *p &= bits;
  });
}
