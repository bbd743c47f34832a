#include "display/textmask.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTransform>

TextMask TextMask::Render(const GdiFont& font, const QString& text) {
  TextMask mask;
  if (text.isEmpty()) return mask;
  const QFontMetrics metrics(font.Font());
  // Generous margins: glyphs may overhang their advance and their cell.
  const int pad = metrics.height() + 4;
  const QRectF cell(-pad, -pad, metrics.horizontalAdvance(text) + 2 * pad, metrics.height() + 2 * pad);
  const QRect bounds = QTransform().rotate(font.Rotation()).mapRect(cell).toAlignedRect();

  QImage scratch(bounds.size(), QImage::Format_RGB32);
  scratch.fill(Qt::black);
  {
    QPainter painter(&scratch);
    painter.setFont(font.Font());
    painter.setPen(Qt::white);
    painter.translate(-bounds.left(), -bounds.top());
    painter.rotate(font.Rotation());
    painter.drawText(0, font.Ascent(), text);
  }
  for (int y = 0; y < scratch.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
    for (int x = 0; x < scratch.width();) {
      if ((line[x] & 0xffffffu) == 0) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < scratch.width() && (line[x] & 0xffffffu) != 0) ++x;
      mask.AddRun({y + bounds.top(), start + bounds.left(), x - start});
    }
  }
  return mask;
}

void TextMask::AddRun(const Run& run) {
  const GdiRect box{run.dx, run.dy, run.dx + run.length, run.dy + 1};
  m_bounds = Union(m_bounds, box);
  m_runs.push_back(run);
}
