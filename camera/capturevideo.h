#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "camera/videoinput.h"
#include "camera/videosurface.h"

class QComboBox;

// The capture of one camera window: the chosen device streaming into a video area that covers
// the window's preview control, with every frame passed to the shared snapshot callback.
class CCaptureVideo {
 public:
  // Results of StartCapture.
  static constexpr int kStarted = 0;
  static constexpr int kNoDevice = 1;
  static constexpr int kGraphNotBuilt = 2;    // the device could not be connected
  static constexpr int kGraphNotRunning = 3;  // it was connected but did not stream

  CCaptureVideo() = default;
  ~CCaptureVideo();
  CCaptureVideo(const CCaptureVideo&) = delete;
  CCaptureVideo& operator=(const CCaptureVideo&) = delete;

  // Adds the devices' names in enumeration order; the number added.
  int ListCameras(QComboBox* list);
  // Starts the device at list position `index` (-1 for none) with its picture in `owner`,
  // in place of the capture that ran before.
  int StartCapture(int index, QWidget* owner);
  // Chooses the device at `index`, releasing the one before; false when there is none there.
  bool BindCamera(int index);
  // The video area, with every frame that reaches it passed to the snapshot callback.
  void CreateGraph();
  void AttachPreview();
  // Fits the video area to the inside of the preview control.
  void FitPreview();

  // The running capture's video area; null when nothing runs.
  QWidget* VideoWindow() const { return m_videoWindow; }

 private:
  void ReleaseCapture();
  void ShowFailure(const QString& text) const;

  QPointer<QWidget> m_hPreview;
  std::unique_ptr<VideoInput> m_camera;
  QPointer<VideoSurface> m_videoWindow;
};
