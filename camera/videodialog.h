#pragma once

#include <QDialog>

#include "camera/capturevideo.h"

class QComboBox;
class QFrame;

// The camera window "视频窗口": a list of the video inputs, a button that starts the chosen
// one in the video area and one that asks for a snapshot of the next frame.
class CVideoDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CVideoDialog(QWidget* parent = nullptr);

  // Lists the cameras and selects the first; done once, when the window is made.
  void OnInitDialog();
  // "开启摄像头": starts the selected camera; nothing visible happens without one.
  void OnStartCamera();
  // "拍照": the next frame any running capture delivers is written as a snapshot.
  void OnSnapshot();

  QComboBox* m_cameraList = nullptr;
  QFrame* m_preview = nullptr;
  CCaptureVideo m_capture;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnSize();
};
