#pragma once

#include <QFile>
#include <QImage>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <cstring>

// A picture whose every pixel differs from its neighbours in each colour.
inline QImage PatternImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(10 * x + 1, 20 * y + 2, x + y + 3));
  }
  return image;
}

// The frame a camera would deliver for `image`.
inline QVideoFrame FrameOf(const QImage& image) {
  const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
  QVideoFrame frame(QVideoFrameFormat(rgba.size(), QVideoFrameFormat::Format_RGBA8888));
  frame.map(QVideoFrame::WriteOnly);
  for (int y = 0; y < rgba.height(); ++y) {
    std::memcpy(frame.bits(0) + y * frame.bytesPerLine(0), rgba.constScanLine(y),
                static_cast<std::size_t>(rgba.width()) * 4);
  }
  frame.unmap();
  return frame;
}

inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
