#include "display/paintlist.h"

#include <utility>

void PaintList::Clear() {
  m_ops.clear();
  m_bounds = {0, 0, 0, 0};
}

void PaintList::Add(Op op) {
  // A call that touches no pixel anywhere is left out, so it widens no bounds.
  if (op.box.IsEmpty()) return;
  m_bounds = Union(m_bounds, op.box);
  m_ops.push_back(std::move(op));
}

void PaintList::Fill(const GdiRect& rect, const PixelCanvas::Brush& brush) {
  Add({Op::FILL, rect, brush, 0, nullptr, 0, 0});
}

void PaintList::Outline(const GdiRect& rect, QRgb pen, const PixelCanvas::Brush& brush) {
  Add({Op::OUTLINE, rect, brush, pen, nullptr, 0, 0});
}

void PaintList::AddStamp(Op::Kind kind, std::shared_ptr<const TextMask> mask, int x, int y, QRgb colour) {
  const GdiRect& b = mask->Bounds();
  const GdiRect box{x + b.left, y + b.top, x + b.right, y + b.bottom};
  Add({kind, box, {PixelCanvas::Brush::SOLID, colour}, 0, std::move(mask), x, y});
}

void PaintList::Stamp(std::shared_ptr<const TextMask> mask, int x, int y, QRgb colour) {
  AddStamp(Op::STAMP, std::move(mask), x, y, colour);
}

void PaintList::AndStamp(std::shared_ptr<const TextMask> mask, int x, int y, QRgb bits) {
  AddStamp(Op::AND_STAMP, std::move(mask), x, y, bits);
}

void PaintList::Replay(PixelCanvas& canvas) const {
  const GdiRect& clip = canvas.Clip();
  if (!m_bounds.Intersects(clip)) return;
  for (const Op& op : m_ops) {
    if (!op.box.Intersects(clip)) continue;
    switch (op.kind) {
      case Op::FILL:
        canvas.Fill(op.box, op.brush);
        break;
      case Op::OUTLINE:
        canvas.Outline(op.box, op.pen, op.brush);
        break;
      case Op::STAMP:
        canvas.Stamp(*op.mask, op.x, op.y, op.brush.colour);
        break;
      case Op::AND_STAMP:
        canvas.AndStamp(*op.mask, op.x, op.y, op.brush.colour);
        break;
    }
  }
}

namespace {

QRegion RegionOf(const GdiRect& box) {
  return box.IsEmpty() ? QRegion() : QRegion(box.left, box.top, box.right - box.left, box.bottom - box.top);
}

}  // namespace

bool PaintList::Op::SameAs(const Op& other) const {
  return kind == other.kind && box.left == other.box.left && box.top == other.box.top &&
         box.right == other.box.right && box.bottom == other.box.bottom && brush.kind == other.brush.kind &&
         brush.colour == other.brush.colour && pen == other.pen && mask == other.mask && x == other.x &&
         y == other.y;
}

QRegion PaintList::Changes(const PaintList& before, const PaintList& after) {
  if (before.m_ops.size() != after.m_ops.size()) return RegionOf(before.m_bounds).united(RegionOf(after.m_bounds));
  QRegion changed;
  for (size_t i = 0; i < before.m_ops.size(); ++i) {
    const Op& a = before.m_ops[i];
    const Op& b = after.m_ops[i];
    if (a.SameAs(b)) continue;
    Op moved = b;
    moved.box = a.box;
    // The same fill over another box paints the pixels both boxes share just as before.
    if (a.kind == Op::FILL && moved.SameAs(a)) {
      changed += RegionOf(a.box).xored(RegionOf(b.box));
    } else {
      changed += RegionOf(a.box);
      changed += RegionOf(b.box);
    }
  }
  return changed;
}
