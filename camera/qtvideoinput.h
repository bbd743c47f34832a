#pragma once

#include <QCamera>
#include <QMediaCaptureSession>

#include "camera/videoinput.h"

// A camera of Qt Multimedia, streaming through a capture session into a sink.
class QtVideoInput final : public VideoInput {
  Q_OBJECT

 public:
  explicit QtVideoInput(const QCameraDevice& device);
  ~QtVideoInput() override;

  StartResult Start(QVideoSink* sink) override;

 private:
  QCamera m_camera;
  QMediaCaptureSession m_session;  // after the camera: it goes first
};
