#include "display/gridpainter.h"

#include <QString>

#include <array>

namespace {

constexpr QRgb kOutline = 0xff646464u;         // 100,100,100; also MASK_SHOWN value bars
constexpr QRgb kAbove = 0xffffc8c8u;           // 255,200,200
constexpr QRgb kBelow = 0xffffffc8u;           // 255,255,200
constexpr QRgb kWithin = 0xffc8ffc8u;          // 200,255,200
constexpr QRgb kValueBar = 0xff9696ffu;        // 150,150,255
constexpr QRgb kMarkedValueBar = 0xff64ff64u;  // 100,255,100
constexpr QRgb kReference = 0xffff0000u;       // 255,0,0
constexpr QRgb kValueText = 0xffff3232u;       // 255,50,50
constexpr QRgb kBelowText = 0xffffff32u;       // 255,255,50
constexpr QRgb kWithinText = 0xff329b32u;      // 50,155,50
constexpr QRgb kStripText = 0xff323296u;       // 50,50,150
constexpr QRgb kFailText = 0xfffa3232u;        // 250,50,50
constexpr QRgb kPassText = 0xff329632u;        // 50,150,50
constexpr QRgb kLoadText = 0xff969696u;        // 150,150,150
constexpr QRgb kOverlayAnd = 0xff00ff00u;      // green letters on white, combined by AND

constexpr PixelCanvas::Brush kWhiteBrush{PixelCanvas::Brush::SOLID, 0xffffffffu};
constexpr PixelCanvas::Brush kHatchBrush{PixelCanvas::Brush::HATCH, PixelCanvas::HATCH_COLOUR};

const QString& ChannelNumber(int k) {
  static const std::array<QString, GRID_CHANNELS> numbers = [] {
    std::array<QString, GRID_CHANNELS> n;
    for (int i = 0; i < GRID_CHANNELS; ++i) n[i] = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
    return n;
  }();
  return numbers[k];
}

}  // namespace

GridPainter::GridPainter(PixelCanvas& canvas, const GridGeometry& geometry, TextMaskCache& texts, int rows, int cols)
    : m_canvas(canvas), m_geometry(geometry), m_texts(texts), m_rows(rows), m_cols(cols) {}

void GridPainter::DrawGrid(bool withLabels) {
  const int width = m_geometry.Width();
  const int height = m_geometry.Height();
  for (double y = 0; y < height; y += m_geometry.CellHeight())
    m_canvas.HorizontalLine(0, width, GridGeometry::Trunc(y), kOutline);
  for (double x = 0; x < width; x += m_geometry.CellWidth())
    m_canvas.VerticalLine(GridGeometry::Trunc(x), 0, height, kOutline);

  for (int r = 0; r < m_rows; ++r) {
    for (int c = 0; c < m_cols; ++c) {
      if (withLabels) m_canvas.Outline(m_geometry.Label(r, c), kOutline, kWhiteBrush);
      m_canvas.Outline(m_geometry.StripFrame(r, c), kOutline, kWhiteBrush);
    }
  }
  for (int r = 0; r < m_rows; ++r)
    for (int c = 0; c < m_cols; ++c)
      for (int k = 0; k < GRID_CHANNELS; ++k) m_canvas.Outline(m_geometry.ChannelFrame(r, c, k), kOutline, kWhiteBrush);
}

uint32_t GridPainter::DrawChannels(int row, int col, const CellSnapshot& cell, bool overIndication) {
  DrawZones(row, col, cell);
  DrawValueBars(row, col, cell, overIndication);
  DrawReferenceLines(row, col, cell);
  DrawClosedColumns(row, col, cell);
  DrawValueNumbers(row, col, cell);
  DrawDifferenceNumbers(row, col, cell);
  return DrawStrip(row, col, cell);
}

double GridPainter::LevelOf(const CellSnapshot& cell, uint16_t value) const {
  return m_geometry.Level(value, cell.viewMin, cell.viewMax);
}

void GridPainter::DrawZones(int row, int col, const CellSnapshot& cell) {
  // Upper zones, lower zones and bands are three passes, so a later one may cover an earlier.
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const auto ch = m_geometry.ChannelAt(row, col, k);
    const double high = LevelOf(cell, cell.thresholdHigh[k]);
    if (high > 0) m_canvas.Fill({ch.colL, ch.top0, ch.colR, GridGeometry::Trunc(ch.top0 + high)}, kAbove);
  }
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const auto ch = m_geometry.ChannelAt(row, col, k);
    const double low = LevelOf(cell, cell.thresholdLow[k]);
    if (low > 0) m_canvas.Fill({ch.colL, GridGeometry::Trunc(ch.top0 + low), ch.colR, ch.barBottom}, kBelow);
  }
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const auto ch = m_geometry.ChannelAt(row, col, k);
    const double a = LevelOf(cell, cell.thresholdHigh[k]);
    const double b = LevelOf(cell, cell.thresholdLow[k]);
    if (!(a > 0 || b > 0)) continue;
    const int bandTop = GridGeometry::Trunc(ch.top0 + a);
    m_canvas.Fill({ch.colL, bandTop, ch.colR, GridGeometry::Trunc(bandTop + b - a)}, kWithin);
  }
}

void GridPainter::DrawValueBars(int row, int col, const CellSnapshot& cell, bool overIndication) {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const GdiRect bar = m_geometry.ValueBar(row, col, k, LevelOf(cell, cell.data[k]));
    if (cell.mask[k] == MASK_OPEN) {
      m_canvas.Fill(bar, cell.overMark[k] != 0 && overIndication ? kMarkedValueBar : kValueBar);
    } else if (cell.mask[k] == MASK_SHOWN) {
      m_canvas.Outline(bar, kOutline, {PixelCanvas::Brush::SOLID, kOutline});
    }
  }
}

void GridPainter::DrawReferenceLines(int row, int col, const CellSnapshot& cell) {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const double level = LevelOf(cell, cell.reference[k]);
    if (!(level > 0)) continue;
    const auto ch = m_geometry.ChannelAt(row, col, k);
    const int y1 = GridGeometry::Trunc(ch.top0 + level - 2);
    m_canvas.Fill({ch.colL, y1, ch.colR, y1 + 2}, kReference);
  }
}

void GridPainter::DrawClosedColumns(int row, int col, const CellSnapshot& cell) {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if ((cell.mask[k] & 1) == 0) continue;
    const auto ch = m_geometry.ChannelAt(row, col, k);
    m_canvas.Outline({ch.colL, ch.top0, ch.colR, ch.barBottom}, kOutline, kHatchBrush);
  }
}

GdiFont::Spec GridPainter::NumberFont(int escapement) const {
  return {QStringLiteral("Arial"), GridGeometry::Trunc(2 * m_geometry.SlotWidth() / 3), m_rows > 1 ? 5 : 8,
          escapement, 0};
}

void GridPainter::DrawValueNumbers(int row, int col, const CellSnapshot& cell) {
  TextMaskCache::Face& face = m_texts.ForFont(NumberFont(900));
  const double sw = m_geometry.SlotWidth();
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if (!cell.IsOpen(k)) continue;
    const auto ch = m_geometry.ChannelAt(row, col, k);
    m_canvas.Stamp(face.Mask(QString::number(cell.data[k])), GridGeometry::Trunc(ch.colL + sw / 8),
                   ch.barBottom - 1, kValueText);
  }
}

void GridPainter::DrawDifferenceNumbers(int row, int col, const CellSnapshot& cell) {
  TextMaskCache::Face& face = m_texts.ForFont(NumberFont(2700));
  const double sw = m_geometry.SlotWidth();
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if (!cell.IsOpen(k)) continue;
    const auto ch = m_geometry.ChannelAt(row, col, k);
    const QRgb colour = cell.IsAbove(k) ? kValueText : cell.IsBelow(k) ? kBelowText : kWithinText;
    const int difference = int{cell.data[k]} - int{cell.reference[k]};
    m_canvas.Stamp(face.Mask(QString::number(difference)), GridGeometry::Trunc(ch.colL + 2 * sw / 3 + sw / 8),
                   ch.top0 + 1, colour);
  }
}

uint32_t GridPainter::DrawStrip(int row, int col, const CellSnapshot& cell) {
  const GdiRect label = m_geometry.Label(row, col);
  TextMaskCache::Face& face = m_texts.ForFont(
      {QStringLiteral("Arial"), m_geometry.StripFontHeight(row), (label.right - label.left) / 128, 0, 0});
  uint32_t above = 0;
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const GdiRect strip = m_geometry.StripCell(row, col, k);
    if (cell.IsOpen(k)) {
      if (cell.IsAbove(k)) above |= 1u << k;
      m_canvas.Fill(strip, cell.IsAbove(k) ? kAbove : cell.IsBelow(k) ? kBelow : kWithin);
    } else {
      m_canvas.Outline(strip, kOutline, kHatchBrush);
    }
    m_canvas.Stamp(face.Mask(ChannelNumber(k)), strip.left + 1, strip.top - 1, kStripText);
  }
  return above;
}

int GridPainter::DrawVerdict(int row, int col, const CellSnapshot& cell) {
  const GdiRect label = m_geometry.Label(row, col);
  TextMaskCache::Face& face =
      m_texts.ForFont({QStringLiteral("Arial"), label.bottom - label.top, 30, 0, 0});
  const GdiRect box{label.left + 2, label.top + 2, label.right - 2, label.bottom - 2};
  const int verdict = cell.Verdict();
  QString text;
  QRgb colour;
  switch (verdict) {
    case CELL_FAIL:
      text = QStringLiteral("FAIL");
      colour = kFailText;
      m_canvas.Fill(box, kAbove);
      break;
    case CELL_PASS:
      text = QStringLiteral("PASS");
      colour = kPassText;
      m_canvas.Fill(box, kWithin);
      break;
    default:
      text = QStringLiteral("LOAD");
      colour = kLoadText;
      m_canvas.Fill(box, kHatchBrush);
      break;
  }
  m_canvas.Stamp(face.Mask(text), label.left + (label.right - label.left) / 2 - 90, label.top + 1, colour);
  return verdict;
}

void GridPainter::DrawPassOverlay() {
  const int right = m_geometry.Width();
  const int bottom = m_geometry.Height();
  const int fh = bottom / 5;
  const int fw = right / (4 + 5);
  // The face is heavy by design; the weight keeps a substitute face heavy too.
  TextMaskCache::Face& face = m_texts.ForFont({QStringLiteral("Arial Black"), fh, fw, 0, 900});
  m_canvas.AndStamp(face.Mask(QStringLiteral("PASS")), GridGeometry::Trunc(right - 1.3 * 4 * fw) / 2,
                    GridGeometry::Trunc(bottom - 1.5 * fh) / 2, kOverlayAnd);
}
