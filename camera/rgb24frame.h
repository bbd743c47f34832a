#pragma once

#include <QByteArray>
#include <QImage>

// A picture in the layout a capture device delivers as RGB24: blue, green, red per pixel, the
// bottom row first, each row padded with zeros to a multiple of 4 bytes.
class Rgb24Frame {
 public:
  // `bytes` is cut or zero-padded to Stride(width) × height, so the size always matches.
  Rgb24Frame(int width, int height, QByteArray bytes);

  static Rgb24Frame FromImage(const QImage& image);
  static qsizetype Stride(int width) { return (static_cast<qsizetype>(width) * 3 + 3) & ~qsizetype{3}; }

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  const QByteArray& Bytes() const { return m_bytes; }

 private:
  int m_width;
  int m_height;
  QByteArray m_bytes;
};
