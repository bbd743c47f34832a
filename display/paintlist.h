#pragma once

#include "display/gdirect.h"
#include "display/pixelcanvas.h"
#include "display/textmask.h"

#include <QRegion>
#include <QRgb>

#include <memory>
#include <vector>

// Drawing calls recorded in order with the box each one touches, so the same drawing can be
// replayed into any part of an image: clipped to that part it gives exactly the pixels the
// whole drawing gives there.
class PaintList {
 public:
  void Clear();
  bool IsEmpty() const { return m_ops.empty(); }
  // Every pixel any recorded call touches lies inside this box.
  const GdiRect& Bounds() const { return m_bounds; }

  void Fill(const GdiRect& rect, const PixelCanvas::Brush& brush);
  void Fill(const GdiRect& rect, QRgb colour) { Fill(rect, {PixelCanvas::Brush::SOLID, colour}); }
  // Border in the pen colour, inside filled with the brush.
  void Outline(const GdiRect& rect, QRgb pen, const PixelCanvas::Brush& brush);
  // Pixels x0..x1-1 of row y.
  void HorizontalLine(int x0, int x1, int y, QRgb colour) { Fill({x0, y, x1, y + 1}, colour); }
  // Pixels y0..y1-1 of column x.
  void VerticalLine(int x, int y0, int y1, QRgb colour) { Fill({x, y0, x + 1, y1}, colour); }
  void Stamp(std::shared_ptr<const TextMask> mask, int x, int y, QRgb colour);
  void AndStamp(std::shared_ptr<const TextMask> mask, int x, int y, QRgb bits);

  // Replays every call that reaches into the canvas's clip box.
  void Replay(PixelCanvas& canvas) const;
  // The pixels where replaying after may differ from replaying before. Calls are compared
  // in order: a fill that only moved an edge changes only the pixels it no longer or newly
  // covers, anything else changed changes both its boxes. Lists of different length differ
  // wherever either draws.
  static QRegion Changes(const PaintList& before, const PaintList& after);

 private:
  struct Op {
    enum Kind { FILL, OUTLINE, STAMP, AND_STAMP } kind;
    GdiRect box;  // the fill's or outline's box, or the mask's bounds where it is stamped
    PixelCanvas::Brush brush;
    QRgb pen;
    std::shared_ptr<const TextMask> mask;
    int x, y;
    bool SameAs(const Op& other) const;
  };

  void Add(Op op);
  void AddStamp(Op::Kind kind, std::shared_ptr<const TextMask> mask, int x, int y, QRgb colour);

  std::vector<Op> m_ops;
  GdiRect m_bounds{0, 0, 0, 0};
};
