#pragma once

#include "display/gdifont.h"

#include <QString>

#include <vector>

// The pixels that one TextOut of a string covers, as horizontal runs relative to the text's
// reference point (the top left of its text cell before rotation). Rendered once with QPainter,
// so stamping it gives the same pixels as drawing the text there.
class TextMask {
 public:
  struct Run {
    int dy;
    int dx;
    int length;
  };

  static TextMask Render(const GdiFont& font, const QString& text);

  const std::vector<Run>& Runs() const { return m_runs; }

 private:
  std::vector<Run> m_runs;
};
