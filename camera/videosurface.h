#pragma once

#include <QImage>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>
#include <atomic>
#include <mutex>

// The video area of a running capture: shows the newest frame of its sink stretched over the
// whole widget, black while there is none. Frames may arrive on any thread; the widget is
// repainted on its own thread, at most once per pending frame.
class VideoSurface : public QWidget {
  Q_OBJECT

 public:
  explicit VideoSurface(QWidget* parent = nullptr);

  QVideoSink* Sink() { return &m_sink; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void TakeFrame(const QVideoFrame& frame);
  void ShowNewestFrame();

  QVideoSink m_sink;
  std::mutex m_frameLock;
  QVideoFrame m_newest;
  std::atomic<bool> m_repaintPending{false};
  QImage m_picture;
};
