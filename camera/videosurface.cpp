#include "camera/videosurface.h"

#include <QPainter>

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  connect(&m_sink, &QVideoSink::videoFrameChanged, this, &VideoSurface::TakeFrame,
          Qt::DirectConnection);
}

void VideoSurface::TakeFrame(const QVideoFrame& frame) {
  {
    std::lock_guard lock(m_frameLock);
    m_newest = frame;
  }
  if (!m_repaintPending.exchange(true)) {
    QMetaObject::invokeMethod(this, &VideoSurface::ShowNewestFrame, Qt::QueuedConnection);
  }
}

void VideoSurface::ShowNewestFrame() {
  m_repaintPending.store(false);
  QVideoFrame frame;
  {
    std::lock_guard lock(m_frameLock);
    frame = m_newest;
  }
  m_picture = frame.toImage();
  update();
}

void VideoSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (m_picture.isNull()) {
    painter.fillRect(rect(), Qt::black);
  } else {
    painter.drawImage(rect(), m_picture);
  }
}
