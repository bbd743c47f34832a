#include "camera/rgb24frame.h"

#include <cstring>

Rgb24Frame::Rgb24Frame(int width, int height, QByteArray bytes)
    : m_width(width), m_height(height), m_bytes(std::move(bytes)) {
  const qsizetype size = Stride(width) * height;
  if (m_bytes.size() < size) {
    m_bytes.append(size - m_bytes.size(), '\0');
  } else {
    m_bytes.truncate(size);
  }
}

Rgb24Frame Rgb24Frame::FromImage(const QImage& image) {
  const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
  const int width = bgr.width();
  const int height = bgr.height();
  const qsizetype stride = Stride(width);
  QByteArray bytes(stride * height, '\0');
  for (int y = 0; y < height; ++y) {
    std::memcpy(bytes.data() + (height - 1 - y) * stride, bgr.constScanLine(y),
                static_cast<std::size_t>(width) * 3);
  }
  return {width, height, std::move(bytes)};
}
