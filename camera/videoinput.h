#pragma once

#include <QObject>

class QVideoSink;

// One video capture device, chosen but not yet running. Destroying it stops and releases it.
class VideoInput : public QObject {
  Q_OBJECT

 public:
  enum class StartResult {
    Running,
    NotConnected,  // the device is gone or cannot be opened
    NotRunning,    // it opened but refused to stream
  };

  // Starts delivering frames into `sink`, which must outlive the device.
  virtual StartResult Start(QVideoSink* sink) = 0;

 signals:
  // A running device stopped streaming on its own.
  void failed();
};
