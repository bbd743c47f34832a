#include "display/pixelcanvas.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kWideFill = 16;  // pixels from which a row is filled by memcpy

// Pattern bit of the diagonal cross hatch at image position x, y (both >= 0).
bool HatchBit(int x, int y) { return ((x - y) & 7) == 0 || ((x + y) & 7) == 7; }

// Rows of a narrow column are the common case (channel slots and lines are a few pixels
// wide), so the narrow widths get loops without a per-row call.
template <int W>
void FillColumn(QRgb* p, qsizetype stride, int rows, QRgb colour) {
  for (; rows > 0; --rows, p += stride)
    for (int i = 0; i < W; ++i) p[i] = colour;
}

// The first row by doubling, every further row as a copy of it, so wide fills run at the
// speed of memcpy whatever the compiler makes of a plain loop.
void FillWide(QRgb* p, qsizetype stride, int width, int rows, QRgb colour) {
  p[0] = colour;
  for (int done = 1; done < width;) {
    const int n = std::min(done, width - done);
    std::memcpy(p + done, p, static_cast<size_t>(n) * sizeof(QRgb));
    done += n;
  }
  for (int row = 1; row < rows; ++row) std::memcpy(p + row * stride, p, static_cast<size_t>(width) * sizeof(QRgb));
}

// A colour of four equal bytes (white, black) is a byte fill, which stores without reading.
bool IsByteFill(QRgb colour) { return colour == (colour & 0xffu) * 0x01010101u; }

void FillBytes(QRgb* p, qsizetype stride, int width, int rows, QRgb colour) {
  const int byte = static_cast<int>(colour & 0xffu);
  if (width == stride) {
    std::memset(p, byte, static_cast<size_t>(width) * static_cast<size_t>(rows) * sizeof(QRgb));
    return;
  }
  for (; rows > 0; --rows, p += stride) std::memset(p, byte, static_cast<size_t>(width) * sizeof(QRgb));
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
      if (width >= kWideFill) {
        return IsByteFill(colour) ? FillBytes(p, stride, width, rows, colour) : FillWide(p, stride, width, rows, colour);
      }
      for (; rows > 0; --rows, p += stride) std::fill(p, p + width, colour);
  }
}

}  // namespace

PixelCanvas::PixelCanvas(QImage& image)
    : m_bits(reinterpret_cast<QRgb*>(image.bits())),
      m_stride(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))),
      m_image{0, 0, image.width(), image.height()},
      m_clip(m_image) {}

void PixelCanvas::SetClip(const GdiRect& box) { m_clip = Intersection(box, m_image); }

void PixelCanvas::Fill(const GdiRect& rect, const Brush& brush) {
  GdiRect r = rect;
  if (!ClipTo(r)) return;
  if (brush.kind == Brush::SOLID) {
    FillRows(Line(r.top) + r.left, m_stride, r.right - r.left, r.bottom - r.top, brush.colour);
  } else {
    FillHatch(r);
  }
}

void PixelCanvas::Outline(const GdiRect& rect, QRgb pen, const Brush& brush) {
  if (rect.IsEmpty()) return;
  const Brush border{Brush::SOLID, pen};
  Fill({rect.left, rect.top, rect.right, rect.top + 1}, border);
  Fill({rect.left, rect.bottom - 1, rect.right, rect.bottom}, border);
  const GdiRect middle{rect.left, rect.top + 1, rect.right, rect.bottom - 1};
  if (brush.kind == Brush::SOLID && rect.right - rect.left < kWideFill) {
    return FillFramedRows(middle, pen, brush.colour);
  }
  Fill({rect.left, middle.top, rect.left + 1, middle.bottom}, border);
  Fill({rect.right - 1, middle.top, rect.right, middle.bottom}, border);
  Fill({rect.left + 1, middle.top, rect.right - 1, middle.bottom}, brush);
}

// Rows of a narrow outline between its top and bottom border: the pen at both ends, the
// colour between them, written row by row in one pass.
void PixelCanvas::FillFramedRows(const GdiRect& rows, QRgb pen, QRgb colour) {
  GdiRect r = rows;
  if (!ClipTo(r)) return;
  const bool leftEdge = r.left == rows.left;
  const bool rightEdge = r.right == rows.right;
  const int innerLeft = std::max(r.left, rows.left + 1);
  const int innerRight = std::min(r.right, rows.right - 1);
  for (int y = r.top; y < r.bottom; ++y) {
    QRgb* line = Line(y);
    for (int x = innerLeft; x < innerRight; ++x) line[x] = colour;
    if (leftEdge) line[rows.left] = pen;
    if (rightEdge) line[rows.right - 1] = pen;
  }
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

template <typename Op>
void PixelCanvas::ForEachMaskSpan(const TextMask& mask, int x, int y, Op op) {
  // Runs come row by row, so the rows inside the clip box are one stretch of them.
  const std::vector<TextMask::Run>& runs = mask.Runs();
  const GdiRect& b = mask.Bounds();
  if (x + b.left >= m_clip.left && x + b.right <= m_clip.right && y + b.top >= m_clip.top &&
      y + b.bottom <= m_clip.bottom) {
    // Wholly inside the clip box, as most stamps are: no run needs cutting.
    for (const TextMask::Run& run : runs) {
      QRgb* begin = Line(y + run.dy) + x + run.dx;
      op(begin, begin + run.length);
    }
    return;
  }
  const auto first = std::lower_bound(runs.begin(), runs.end(), m_clip.top - y,
                                      [](const TextMask::Run& run, int dy) { return run.dy < dy; });
  for (auto it = first; it != runs.end() && y + it->dy < m_clip.bottom; ++it) {
    const TextMask::Run& run = *it;
    const int row = y + run.dy;
    const int begin = std::max(x + run.dx, m_clip.left);
    const int end = std::min(x + run.dx + run.length, m_clip.right);
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
