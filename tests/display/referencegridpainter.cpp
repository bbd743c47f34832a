#include "referencegridpainter.h"

#include "display/gdifont.h"
#include "expectedgeometry.h"

#include <QPainter>

namespace {

const QColor kGrey(100, 100, 100);
const QColor kPink(255, 200, 200);
const QColor kYellow(255, 255, 200);
const QColor kLightGreen(200, 255, 200);
const QBrush kHatch(QColor(155, 155, 155), Qt::DiagCrossPattern);

using T = ExpectedGeometry;

// FillRect: left..right-1 x top..bottom-1.
void FillRect(QPainter& p, int l, int t, int r, int b, const QBrush& brush) {
  if (r <= l || b <= t) return;
  p.fillRect(QRect(l, t, r - l, b - t), brush);
}

// Rectangle: the 1-pixel pen on the border of the box, the brush inside it.
void Rectangle(QPainter& p, int l, int t, int r, int b, const QBrush& brush) {
  if (r <= l || b <= t) return;
  // The pen's pixels edge by edge: drawRect draws nothing for a box one pixel high.
  p.fillRect(QRect(l, t, r - l, 1), kGrey);
  p.fillRect(QRect(l, b - 1, r - l, 1), kGrey);
  p.fillRect(QRect(l, t, 1, b - t), kGrey);
  p.fillRect(QRect(r - 1, t, 1, b - t), kGrey);
  FillRect(p, l + 1, t + 1, r - 1, b - 1, brush);
}

// TextOut with the cell's top left at x, y, the font rotated by its escapement.
void TextOut(QPainter& p, const GdiFont& font, int x, int y, const QColor& colour, const QString& text) {
  p.save();
  p.setBackgroundMode(Qt::TransparentMode);
  p.setFont(font.Font());
  p.setPen(colour);
  p.translate(x, y);
  p.rotate(-font.GetRequest().escapement / 10.0);
  p.drawText(0, font.Ascent(), text);
  p.restore();
}

bool Above(const ReferenceGridPainter::Cell& c, int k) { return c.data[k] > c.thresholdHigh[k]; }
bool Below(const ReferenceGridPainter::Cell& c, int k) { return !Above(c, k) && c.data[k] < c.thresholdLow[k]; }

void DrawGrid(QPainter& p, const ExpectedGeometry& g, const ReferenceGridPainter::State& s) {
  p.setPen(QPen(kGrey, 1));
  const double rowStep = g.CH() > 0 ? g.CH() : g.height;  // cells of size 0: the first line only
  const double colStep = g.CW() > 0 ? g.CW() : g.width;
  for (double y = 0; y < g.height; y += rowStep) p.drawLine(0, T::T(y), g.width, T::T(y));
  for (double x = 0; x < g.width; x += colStep) p.drawLine(T::T(x), 0, T::T(x), g.height);
  for (int r = 0; r < s.rows; ++r) {
    for (int c = 0; c < s.cols; ++c) {
      if (s.showVerdict == 1) Rectangle(p, g.LabelL(c), g.LabelT(r), g.LabelR(c), g.LabelB(r), Qt::white);
      Rectangle(p, g.LabelL(c), g.StripFrameT(r), g.LabelR(c), g.StripFrameB(r), Qt::white);
    }
  }
  for (int r = 0; r < s.rows; ++r)
    for (int c = 0; c < s.cols; ++c)
      for (int k = 0; k < 32; ++k) Rectangle(p, g.FrameL(c, k), g.FrameT(r), g.FrameR(c, k), g.FrameB(r), Qt::white);
}

void DrawChannels(QPainter& p, const ExpectedGeometry& g, ReferenceGridPainter::State& s, int r, int c) {
  ReferenceGridPainter::Cell& cell = s.cells[c][r];
  auto level = [&](uint16_t v) { return g.Level(v, cell.viewMin, cell.viewMax); };
  const int top0 = g.Top0(r);
  const int barBottom = g.BarBottom(r);
  for (int k = 0; k < 32; ++k)
    if (level(cell.thresholdHigh[k]) > 0)
      FillRect(p, g.ColL(c, k), top0, g.ColR(c, k), T::T(top0 + level(cell.thresholdHigh[k])), kPink);
  for (int k = 0; k < 32; ++k)
    if (level(cell.thresholdLow[k]) > 0)
      FillRect(p, g.ColL(c, k), T::T(top0 + level(cell.thresholdLow[k])), g.ColR(c, k), barBottom, kYellow);
  for (int k = 0; k < 32; ++k) {
    const double a = level(cell.thresholdHigh[k]);
    const double b = level(cell.thresholdLow[k]);
    const int bandTop = T::T(top0 + a);
    if (a > 0 || b > 0) FillRect(p, g.ColL(c, k), bandTop, g.ColR(c, k), T::T(bandTop + b - a), kLightGreen);
  }
  for (int k = 0; k < 32; ++k) {
    const int y = T::T(top0 + level(cell.data[k]));
    if (cell.mask[k] == 0) {
      const bool green = cell.overMark[k] != 0 && s.overIndication != 0;
      FillRect(p, g.BarL(c, k), y, g.BarR(c, k), barBottom, green ? QColor(100, 255, 100) : QColor(150, 150, 255));
    } else if (cell.mask[k] == 2) {
      Rectangle(p, g.BarL(c, k), y, g.BarR(c, k), barBottom, kGrey);
    }
  }
  for (int k = 0; k < 32; ++k) {
    if (!(level(cell.reference[k]) > 0)) continue;
    const int y1 = T::T(top0 + level(cell.reference[k]) - 2);
    FillRect(p, g.ColL(c, k), y1, g.ColR(c, k), y1 + 2, Qt::red);
  }
  for (int k = 0; k < 32; ++k)
    if (cell.mask[k] & 1) Rectangle(p, g.ColL(c, k), top0, g.ColR(c, k), barBottom, kHatch);

  const GdiFont up({"Arial", T::T(2 * g.SW() / 3), s.rows > 1 ? 5 : 8, 900, 0});
  for (int k = 0; k < 32; ++k)
    if (cell.mask[k] == 0)
      TextOut(p, up, T::T(g.ColL(c, k) + g.SW() / 8), barBottom - 1, QColor(255, 50, 50), QString::asprintf("%d", cell.data[k]));
  const GdiFont down({"Arial", T::T(2 * g.SW() / 3), s.rows > 1 ? 5 : 8, 2700, 0});
  for (int k = 0; k < 32; ++k) {
    if (cell.mask[k] != 0) continue;
    const QColor colour = Above(cell, k) ? QColor(255, 50, 50) : Below(cell, k) ? QColor(255, 255, 50) : QColor(50, 155, 50);
    TextOut(p, down, T::T(g.ColL(c, k) + 2 * g.SW() / 3 + g.SW() / 8), top0 + 1, colour,
            QString::asprintf("%d", int(cell.data[k]) - int(cell.reference[k])));
  }
  const GdiFont strip({"Arial", T::T(g.StripB(r)) - T::T(g.StripT(r)), (g.LabelR(c) - g.LabelL(c)) / 128, 0, 0});
  for (int k = 0; k < 32; ++k) {
    const int l = g.ColL(c, k);
    const int t = g.StripCellT(r);
    if (cell.mask[k] == 0) {
      if (Above(cell, k)) {
        cell.overMark[k] = 1;
        FillRect(p, l, t, g.ColR(c, k), g.StripCellB(r), kPink);
      } else if (Below(cell, k)) {
        FillRect(p, l, t, g.ColR(c, k), g.StripCellB(r), kYellow);
      } else {
        FillRect(p, l, t, g.ColR(c, k), g.StripCellB(r), kLightGreen);
      }
    } else {
      Rectangle(p, l, t, g.ColR(c, k), g.StripCellB(r), kHatch);
    }
    TextOut(p, strip, l + 1, t - 1, QColor(50, 50, 150), QString::asprintf("%02d", k));
  }
}

int DrawVerdict(QPainter& p, const ExpectedGeometry& g, const ReferenceGridPainter::Cell& cell, int r, int c) {
  bool failed = false;
  bool loaded = false;
  for (int k = 0; k < 32; ++k) {
    if (cell.mask[k] != 0) continue;
    loaded = true;
    if (cell.data[k] > cell.thresholdHigh[k] || cell.data[k] < cell.thresholdLow[k]) failed = true;
  }
  const int l = g.LabelL(c), t = g.LabelT(r), rr = g.LabelR(c), b = g.LabelB(r);
  const GdiFont font({"Arial", b - t, 30, 0, 0});
  QString text = failed ? "FAIL" : "PASS";
  QColor colour = failed ? QColor(250, 50, 50) : QColor(50, 150, 50);
  int verdict = failed ? 1 : 0;
  FillRect(p, l + 2, t + 2, rr - 2, b - 2, failed ? kPink : kLightGreen);
  if (!loaded) {
    text = "LOAD";
    colour = QColor(150, 150, 150);
    verdict = 2;
    FillRect(p, l + 2, t + 2, rr - 2, b - 2, kHatch);
  }
  TextOut(p, font, l + (rr - l) / 2 - 90, t + 1, colour, text);
  return verdict;
}

void DrawOverlay(QImage& image) {
  const int right = image.width();
  const int bottom = image.height();
  const int fh = bottom / 5;
  const int fw = right / (4 + 5);
  QImage overlay(image.size(), QImage::Format_RGB32);
  overlay.fill(Qt::white);
  {
    QPainter o(&overlay);
    TextOut(o, GdiFont({"Arial Black", fh, fw, 0, 900}), T::T(right - 1.3 * 4 * fw) / 2, T::T(bottom - 1.5 * fh) / 2,
            QColor(0, 255, 0), "PASS");
  }
  QPainter p(&image);
  p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
  p.drawImage(0, 0, overlay);
}

}  // namespace

QImage ReferenceGridPainter::Paint(int width, int height, State& s) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  const ExpectedGeometry g{width, height, s.rows, s.cols, s.showVerdict == 0};
  {
    QPainter p(&image);
    p.setBackgroundMode(Qt::OpaqueMode);  // hatch brushes draw hatch on white
    p.setBackground(Qt::white);
    DrawGrid(p, g, s);
    for (int r = 0; r < s.rows; ++r)
      for (int c = 0; c < s.cols; ++c) DrawChannels(p, g, s, r, c);
    if (s.showVerdict == 1) {
      int failed = 0;
      for (int r = 0; r < s.rows; ++r)
        for (int c = 0; c < s.cols; ++c) failed += DrawVerdict(p, g, s.cells[c][r], r, c) == 1 ? 1 : 0;
      s.failCount = failed;
    }
  }
  if (s.failCount == 0 && s.cols > 1 && s.rows > 1) DrawOverlay(image);
  return image;
}
