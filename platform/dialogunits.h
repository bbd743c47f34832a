#pragma once

#include <QFont>
#include <QRect>

namespace plat {

// Converts dialog-template coordinates to pixels from the dialog font's average character
// width and height: x·w/4 and y·h/8.
class DialogUnits {
 public:
  DialogUnits(int baseWidth, int baseHeight) : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}
  static DialogUnits ForFont(const QFont& font);

  int X(int units) const;
  int Y(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;
  int BaseWidth() const { return m_baseWidth; }
  int BaseHeight() const { return m_baseHeight; }

 private:
  int m_baseWidth;
  int m_baseHeight;
};

}  // namespace plat
