#pragma once

// A GDI-style rectangle: a fill covers left..right-1 x top..bottom-1; an outline is drawn on
// the border of that same area.
struct GdiRect {
  int left, top, right, bottom;
  bool IsEmpty() const { return right <= left || bottom <= top; }
};
