#include "camera/capturevideo.h"

#include <QComboBox>
#include <QFrame>

#include "camera/samplegrabbercb.h"
#include "camera/videoinputs.h"
#include "platform/operatorprompts.h"

CCaptureVideo::~CCaptureVideo() { ReleaseCapture(); }

int CCaptureVideo::ListCameras(QComboBox* list) {
  const QStringList names = Inputs().Names();
  list->addItems(names);
  return static_cast<int>(names.size());
}

int CCaptureVideo::StartCapture(int index, QWidget* owner) {
  if (index < 0 || !BindCamera(index)) return kNoDevice;
  m_hPreview = owner;
  CreateGraph();
  switch (m_camera->Start(m_videoWindow->Sink())) {
    case VideoInput::StartResult::NotConnected:
      ShowFailure(QStringLiteral("Can’t build the graph"));
      ReleaseCapture();
      return kGraphNotBuilt;
    case VideoInput::StartResult::NotRunning:
      ShowFailure(QStringLiteral("Couldn’t run the graph!"));
      ReleaseCapture();
      return kGraphNotRunning;
    case VideoInput::StartResult::Running:
      break;
  }
  QObject::connect(m_camera.get(), &VideoInput::failed, m_videoWindow,
                   [this] { ShowFailure(QStringLiteral("Couldn’t run the graph!")); });
  AttachPreview();
  return kStarted;
}

bool CCaptureVideo::BindCamera(int index) {
  std::unique_ptr<VideoInput> camera = Inputs().Open(index);
  if (!camera) return false;
  ReleaseCapture();
  m_camera = std::move(camera);
  return true;
}

void CCaptureVideo::CreateGraph() {
  m_videoWindow = new VideoSurface;
  QObject::connect(
      m_videoWindow->Sink(), &QVideoSink::videoFrameChanged, m_videoWindow,
      [](const QVideoFrame& frame) { s_grabberCallback.BufferCB(frame); }, Qt::DirectConnection);
}

void CCaptureVideo::AttachPreview() {
  if (!m_hPreview || !m_videoWindow) return;
  m_videoWindow->setParent(m_hPreview);
  FitPreview();
  m_videoWindow->show();
}

void CCaptureVideo::FitPreview() {
  if (!m_hPreview || !m_videoWindow) return;
  const auto* frame = qobject_cast<const QFrame*>(m_hPreview.data());
  m_videoWindow->setGeometry(frame != nullptr ? frame->contentsRect() : m_hPreview->rect());
}

// The device stops before its video area goes, so no frame reaches a destroyed sink.
void CCaptureVideo::ReleaseCapture() {
  m_camera.reset();
  delete m_videoWindow.data();
}

void CCaptureVideo::ShowFailure(const QString& text) const {
  QWidget* owner = m_hPreview ? m_hPreview->window() : nullptr;
  plat::Prompts().ShowMessage(owner, text, QString(), plat::MessageIcon::None,
                              plat::MessageButtons::Ok);
}
