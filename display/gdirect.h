#pragma once

#include <algorithm>

// A GDI-style rectangle: a fill covers left..right-1 x top..bottom-1; an outline is drawn on
// the border of that same area.
struct GdiRect {
  int left, top, right, bottom;
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Intersects(const GdiRect& other) const {
    return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
  }
};

// The smallest box around both; an empty box contributes nothing.
inline GdiRect Union(const GdiRect& a, const GdiRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// The part both boxes share; empty when they do not meet.
inline GdiRect Intersection(const GdiRect& a, const GdiRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}
