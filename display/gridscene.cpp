#include "display/gridscene.h"

#include "display/gridgeometry.h"
#include "display/gridpainter.h"
#include "display/pixelcanvas.h"

#include <algorithm>
#include <utility>

namespace {

// Rows drawn together: a band of a full-width image this high stays in the core's cache
// while every pass of the paint goes over it.
constexpr int kBandRows = 64;
constexpr int kDamageRectBudget = 256;
// A cell whose change falls apart into more pieces than this is redrawn as one box, unless
// the pieces leave out much of a large cell: each piece costs a replay of the cell's drawing
// and one more copy to the screen, about what this many pixels cost to draw and copy.
constexpr int kCellPieceBudget = 8;
constexpr qint64 kPixelsPerPiece = 4096;

qint64 AreaOf(const QRegion& region) {
  qint64 area = 0;
  for (const QRect& part : region) area += qint64{part.width()} * part.height();
  return area;
}

bool PiecesPayOff(const QRegion& pieces, const QRect& box) {
  if (pieces.rectCount() <= kCellPieceBudget) return true;
  const qint64 saved = qint64{box.width()} * box.height() - AreaOf(pieces);
  return saved >= pieces.rectCount() * kPixelsPerPiece;
}

}  // namespace

void GridScene::Update(const Layout& layout, const CellSnapshots& cells, bool overIndication, bool overlay,
                       TextMaskCache& texts) {
  const GridGeometry geometry(layout.width, layout.height, layout.rows, layout.cols, layout.showVerdict);
  GridPainter painter(geometry, texts, layout.rows, layout.cols);
  const bool relayout = !m_recorded || !(layout == m_layout);
  if (relayout) {
    m_layout = layout;
    m_recorded = true;
    Relayout(geometry, painter);
    DamageAll();
  }
  for (int r = 0; r < layout.rows; ++r) {
    for (int c = 0; c < layout.cols; ++c) {
      const CellSnapshot drawn = cells[c][r].AsDrawn(overIndication);
      if (!relayout && drawn.SameAs(m_cells[c][r].drawn)) continue;
      RecordCell(painter, r, c, drawn);
    }
  }
  if (overlay != m_overlayShown) AddDamage(m_overlay.Bounds());
  m_overlayShown = overlay;
}

void GridScene::Relayout(const GridGeometry& geometry, GridPainter& painter) {
  m_rowTops.clear();
  for (int r = 1; r < m_layout.rows; ++r) m_rowTops.push_back(GridGeometry::Trunc(geometry.Y0(r)));
  m_background.Clear();
  painter.DrawBackground(m_background);
  m_overlay.Clear();
  painter.DrawPassOverlay(m_overlay);
  for (int r = 0; r < m_layout.rows; ++r) {
    for (int c = 0; c < m_layout.cols; ++c) {
      CellPieces& cell = m_cells[c][r];
      cell.frames.Clear();
      painter.DrawCellFrames(r, c, m_layout.showVerdict == 1, cell.frames);
      cell.channelFrames.Clear();
      painter.DrawChannelFrames(r, c, cell.channelFrames);
    }
  }
}

void GridScene::RecordCell(GridPainter& painter, int row, int col, const CellSnapshot& drawn) {
  CellPieces& cell = m_cells[col][row];
  cell.drawn = drawn;
  // Recorded into the spare lists, which then change places with the cell's, so recording
  // again reuses storage instead of allocating it.
  PaintList& channels = m_spareChannels;
  channels.Clear();
  // The over-marks in drawn already say whether the indication shows them.
  painter.DrawChannels(row, col, drawn, true, channels);
  PaintList& verdict = m_spareVerdict;
  verdict.Clear();
  if (m_layout.showVerdict == 1) painter.DrawVerdict(row, col, drawn, verdict);
  GdiRect covered{0, 0, 0, 0};
  for (const PaintList* list : {&cell.channels, &channels, &cell.verdict, &verdict}) covered = Union(covered, list->Bounds());
  const QRect box = QRect(covered.left, covered.top, covered.right - covered.left, covered.bottom - covered.top)
                        .intersected(QRect(0, 0, m_layout.width, m_layout.height));
  // Already damaged (after a complete paint, or a drawing nobody took yet): nothing to find out.
  const bool known = box.isEmpty() || QRegion(box).subtracted(m_damage).isEmpty();
  // Every part of the damage is one more replay and the region itself grows dearer with every
  // part, so once the damage holds many parts a cell's change is added as one box.
  bool partwise = !known && m_damage.rectCount() < kDamageRectBudget;
  QRegion changed;
  if (partwise) {
    changed = PaintList::Changes(cell.channels, channels).united(PaintList::Changes(cell.verdict, verdict));
    partwise = PiecesPayOff(changed, box) && m_damage.rectCount() + changed.rectCount() <= kDamageRectBudget;
  }
  if (!known) AddDamage(partwise ? changed : QRegion(box));
  std::swap(cell.channels, channels);
  std::swap(cell.verdict, verdict);
}

void GridScene::AddDamage(const QRegion& region) {
  m_damage += region.intersected(QRect(0, 0, m_layout.width, m_layout.height));
}

void GridScene::AddDamage(const GdiRect& box) {
  const GdiRect inside{std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, m_layout.width),
                       std::min(box.bottom, m_layout.height)};
  if (inside.IsEmpty()) return;
  m_damage += QRect(inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top);
}

void GridScene::DamageAll() { AddDamage(GdiRect{0, 0, m_layout.width, m_layout.height}); }

QRegion GridScene::TakeDamage() {
  QRegion damage;
  damage.swap(m_damage);
  return damage;
}

void GridScene::Draw(QImage& image, const GdiRect& area) const {
  PixelCanvas canvas(image);
  for (int top = area.top; top < area.bottom;) {
    const int bottom = std::min(BandEnd(top), area.bottom);
    canvas.SetClip({area.left, top, area.right, bottom});
    DrawBand(canvas);
    top = bottom;
  }
}

// Bands end where cell rows do, since most drawing stays inside its cell; a tall cell row is
// cut into equal bands.
int GridScene::BandEnd(int top) const {
  const auto next = std::upper_bound(m_rowTops.begin(), m_rowTops.end(), top);
  const int rowTop = next == m_rowTops.begin() ? 0 : *(next - 1);
  const int rowEnd = next == m_rowTops.end() ? m_layout.height : *next;
  const int bands = std::max(1, (rowEnd - rowTop + kBandRows - 1) / kBandRows);
  const int height = (rowEnd - rowTop + bands - 1) / bands;
  return std::min(rowEnd, rowTop + (top - rowTop) / height * height + height);
}

void GridScene::DrawBand(PixelCanvas& canvas) const {
  const int rows = m_layout.rows;
  const int cols = m_layout.cols;
  m_background.Replay(canvas);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) m_cells[c][r].frames.Replay(canvas);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) m_cells[c][r].channelFrames.Replay(canvas);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) m_cells[c][r].channels.Replay(canvas);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) m_cells[c][r].verdict.Replay(canvas);
  if (m_overlayShown) m_overlay.Replay(canvas);
}
