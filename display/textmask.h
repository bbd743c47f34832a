#pragma once

#include "display/gdifont.h"
#include "display/gdirect.h"

#include <QString>

#include <vector>

// The pixels that one TextOut of a string covers, as horizontal runs relative to the text's
// reference point (the top left of its text cell before rotation), row by row from the top.
// Rendered once with QPainter, so stamping it gives the same pixels as drawing the text there.
class TextMask {
 public:
  struct Run {
    int dy;
    int dx;
    int length;
  };

  static TextMask Render(const GdiFont& font, const QString& text);

  const std::vector<Run>& Runs() const { return m_runs; }
  // The smallest box around every run, relative to the reference point; empty without runs.
  const GdiRect& Bounds() const { return m_bounds; }

 private:
  void AddRun(const Run& run);

  std::vector<Run> m_runs;
  GdiRect m_bounds{0, 0, 0, 0};
};
