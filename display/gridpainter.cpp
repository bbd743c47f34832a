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

GridPainter::GridPainter(const GridGeometry& geometry, TextMaskCache& texts, int rows, int cols)
    : m_geometry(geometry), m_texts(texts), m_rows(rows), m_cols(cols) {}

void GridPainter::DrawBackground(PaintList& out) const {
  const int width = m_geometry.Width();
  const int height = m_geometry.Height();
  out.Fill({0, 0, width, height}, kWhiteBrush);
  // A client one pixel high or wide has cells of size 0: only the first line is drawn, where
  // stepping by the cell size would never reach the edge.
  const double rowStep = m_geometry.CellHeight() > 0 ? m_geometry.CellHeight() : height;
  const double colStep = m_geometry.CellWidth() > 0 ? m_geometry.CellWidth() : width;
  for (double y = 0; y < height; y += rowStep) out.HorizontalLine(0, width, GridGeometry::Trunc(y), kOutline);
  for (double x = 0; x < width; x += colStep) out.VerticalLine(GridGeometry::Trunc(x), 0, height, kOutline);
}

void GridPainter::DrawCellFrames(int row, int col, bool withLabels, PaintList& out) const {
  if (withLabels) out.Outline(m_geometry.Label(row, col), kOutline, kWhiteBrush);
  out.Outline(m_geometry.StripFrame(row, col), kOutline, kWhiteBrush);
}

void GridPainter::DrawChannelFrames(int row, int col, PaintList& out) const {
  for (int k = 0; k < GRID_CHANNELS; ++k) out.Outline(m_geometry.ChannelFrame(row, col, k), kOutline, kWhiteBrush);
}

void GridPainter::DrawChannels(int row, int col, const CellSnapshot& cell, bool overIndication, PaintList& out) {
  DrawZones(row, col, cell, out);
  DrawValueBars(row, col, cell, overIndication, out);
  DrawReferenceLines(row, col, cell, out);
  DrawClosedColumns(row, col, cell, out);
  DrawValueNumbers(row, col, cell, out);
  DrawDifferenceNumbers(row, col, cell, out);
  DrawStrip(row, col, cell, out);
}

// Every pass of a cell asks for the same 32 channel boxes, so they are worked out once a cell.
const GridGeometry::Channel& GridPainter::ChannelOf(int row, int col, int k) const {
  if (row != m_channelsRow || col != m_channelsCol) {
    for (int i = 0; i < GRID_CHANNELS; ++i) m_channels[i] = m_geometry.ChannelAt(row, col, i);
    m_channelsRow = row;
    m_channelsCol = col;
  }
  return m_channels[k];
}

double GridPainter::LevelOf(const CellSnapshot& cell, uint16_t value) const {
  return m_geometry.Level(value, cell.viewMin, cell.viewMax);
}

void GridPainter::DrawZones(int row, int col, const CellSnapshot& cell, PaintList& out) const {
  // Upper zones, lower zones and bands are three passes, so a later one may cover an earlier.
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const auto& ch = ChannelOf(row, col, k);
    const double high = LevelOf(cell, cell.thresholdHigh[k]);
    if (high > 0) out.Fill({ch.colL, ch.top0, ch.colR, GridGeometry::Trunc(ch.top0 + high)}, kAbove);
  }
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const auto& ch = ChannelOf(row, col, k);
    const double low = LevelOf(cell, cell.thresholdLow[k]);
    if (low > 0) out.Fill({ch.colL, GridGeometry::Trunc(ch.top0 + low), ch.colR, ch.barBottom}, kBelow);
  }
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const auto& ch = ChannelOf(row, col, k);
    const double a = LevelOf(cell, cell.thresholdHigh[k]);
    const double b = LevelOf(cell, cell.thresholdLow[k]);
    if (!(a > 0 || b > 0)) continue;
    const int bandTop = GridGeometry::Trunc(ch.top0 + a);
    out.Fill({ch.colL, bandTop, ch.colR, GridGeometry::Trunc(bandTop + b - a)}, kWithin);
  }
}

void GridPainter::DrawValueBars(int row, int col, const CellSnapshot& cell, bool overIndication,
                                PaintList& out) const {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const GdiRect bar = m_geometry.ValueBar(row, col, k, LevelOf(cell, cell.data[k]));
    if (cell.mask[k] == MASK_OPEN) {
      out.Fill(bar, cell.overMark[k] != 0 && overIndication ? kMarkedValueBar : kValueBar);
    } else if (cell.mask[k] == MASK_SHOWN) {
      out.Outline(bar, kOutline, {PixelCanvas::Brush::SOLID, kOutline});
    }
  }
}

void GridPainter::DrawReferenceLines(int row, int col, const CellSnapshot& cell, PaintList& out) const {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const double level = LevelOf(cell, cell.reference[k]);
    if (!(level > 0)) continue;
    const auto& ch = ChannelOf(row, col, k);
    const int y1 = GridGeometry::Trunc(ch.top0 + level - 2);
    out.Fill({ch.colL, y1, ch.colR, y1 + 2}, kReference);
  }
}

void GridPainter::DrawClosedColumns(int row, int col, const CellSnapshot& cell, PaintList& out) const {
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if ((cell.mask[k] & 1) == 0) continue;
    const auto& ch = ChannelOf(row, col, k);
    out.Outline({ch.colL, ch.top0, ch.colR, ch.barBottom}, kOutline, kHatchBrush);
  }
}

GdiFont::Request GridPainter::NumberFont(int escapement) const {
  return {QStringLiteral("Arial"), GridGeometry::Trunc(2 * m_geometry.SlotWidth() / 3), m_rows > 1 ? 5 : 8,
          escapement, 0};
}

void GridPainter::DrawValueNumbers(int row, int col, const CellSnapshot& cell, PaintList& out) {
  TextMaskCache::Face& face = m_texts.ForFont(NumberFont(900));
  const double sw = m_geometry.SlotWidth();
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if (!cell.IsOpen(k)) continue;
    const auto& ch = ChannelOf(row, col, k);
    out.Stamp(face.NumberMask(cell.data[k]), GridGeometry::Trunc(ch.colL + sw / 8),
                   ch.barBottom - 1, kValueText);
  }
}

void GridPainter::DrawDifferenceNumbers(int row, int col, const CellSnapshot& cell, PaintList& out) {
  TextMaskCache::Face& face = m_texts.ForFont(NumberFont(2700));
  const double sw = m_geometry.SlotWidth();
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    if (!cell.IsOpen(k)) continue;
    const auto& ch = ChannelOf(row, col, k);
    const QRgb colour = cell.IsAbove(k) ? kValueText : cell.IsBelow(k) ? kBelowText : kWithinText;
    const int difference = int{cell.data[k]} - int{cell.reference[k]};
    out.Stamp(face.NumberMask(difference), GridGeometry::Trunc(ch.colL + 2 * sw / 3 + sw / 8),
                   ch.top0 + 1, colour);
  }
}

void GridPainter::DrawStrip(int row, int col, const CellSnapshot& cell, PaintList& out) {
  const GdiRect label = m_geometry.Label(row, col);
  TextMaskCache::Face& face = m_texts.ForFont(
      {QStringLiteral("Arial"), m_geometry.StripFontHeight(row), (label.right - label.left) / 128, 0, 0});
  for (int k = 0; k < GRID_CHANNELS; ++k) {
    const GdiRect strip = m_geometry.StripCell(row, col, k);
    if (cell.IsOpen(k)) {
      out.Fill(strip, cell.IsAbove(k) ? kAbove : cell.IsBelow(k) ? kBelow : kWithin);
    } else {
      out.Outline(strip, kOutline, kHatchBrush);
    }
    out.Stamp(face.Mask(ChannelNumber(k)), strip.left + 1, strip.top - 1, kStripText);
  }
}

void GridPainter::DrawVerdict(int row, int col, const CellSnapshot& cell, PaintList& out) {
  const GdiRect label = m_geometry.Label(row, col);
  TextMaskCache::Face& face =
      m_texts.ForFont({QStringLiteral("Arial"), label.bottom - label.top, 30, 0, 0});
  const GdiRect box{label.left + 2, label.top + 2, label.right - 2, label.bottom - 2};
  QString text;
  QRgb colour;
  switch (cell.Verdict()) {
    case CELL_FAIL:
      text = QStringLiteral("FAIL");
      colour = kFailText;
      out.Fill(box, kAbove);
      break;
    case CELL_PASS:
      text = QStringLiteral("PASS");
      colour = kPassText;
      out.Fill(box, kWithin);
      break;
    default:
      text = QStringLiteral("LOAD");
      colour = kLoadText;
      out.Fill(box, kHatchBrush);
      break;
  }
  out.Stamp(face.Mask(text), label.left + (label.right - label.left) / 2 - 90, label.top + 1, colour);
}

void GridPainter::DrawPassOverlay(PaintList& out) {
  const int right = m_geometry.Width();
  const int bottom = m_geometry.Height();
  const int fh = bottom / 5;
  const int fw = right / (4 + 5);
  // The face is heavy by design; the weight keeps a substitute face heavy too.
  TextMaskCache::Face& face = m_texts.ForFont({QStringLiteral("Arial Black"), fh, fw, 0, 900});
  out.AndStamp(face.Mask(QStringLiteral("PASS")), GridGeometry::Trunc(right - 1.3 * 4 * fw) / 2,
                    GridGeometry::Trunc(bottom - 1.5 * fh) / 2, kOverlayAnd);
}
