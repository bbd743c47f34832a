#include "camera/qtvideoinput.h"

QtVideoInput::QtVideoInput(const QCameraDevice& device) : m_camera(device) {}

QtVideoInput::~QtVideoInput() {
  m_camera.stop();
  m_session.setVideoSink(nullptr);
}

VideoInput::StartResult QtVideoInput::Start(QVideoSink* sink) {
  if (!m_camera.isAvailable()) return StartResult::NotConnected;
  m_session.setCamera(&m_camera);
  m_session.setVideoSink(sink);
  m_camera.start();
  if (m_camera.error() != QCamera::NoError) return StartResult::NotRunning;
  connect(&m_camera, &QCamera::errorOccurred, this, &VideoInput::failed);
  return StartResult::Running;
}
