#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "camera/rgb24frame.h"

class QVideoFrame;

// The frame callback every camera window shares: it writes the next delivered frame as
// grab<n>.bmp once a snapshot has been asked for. Frames arrive on whatever thread the capture
// framework delivers them on.
class CSampleGrabberCB {
 public:
  CSampleGrabberCB() = default;
  CSampleGrabberCB(const CSampleGrabberCB&) = delete;
  CSampleGrabberCB& operator=(const CSampleGrabberCB&) = delete;

  // Called with every delivered frame. With a snapshot requested, a frame that holds a picture
  // is written and the request is cleared; a frame without one leaves the request waiting.
  void BufferCB(const QVideoFrame& frame);

  // Writes `frame` as the next grab<n>.bmp of the snapshot directory; the counter advances
  // even when the file cannot be written, which the operator is told in a message box.
  bool WriteSnapshot(const Rgb24Frame& frame);

  // Where snapshots go, with the trailing separator; until set, ChooseDirectory's choice for
  // the program's directory.
  void SetDirectory(const QString& directory);
  QString Directory();

  // The program's directory when it is writable, otherwise the user's pictures folder.
  static QString ChooseDirectory(const QString& programDirectory);

 private:
  std::mutex m_directoryLock;
  QString m_directory;
  std::atomic<std::int32_t> m_counter{0};
};

// The one callback of the process, and the request for its next frame.
extern CSampleGrabberCB s_grabberCallback;
extern std::atomic<bool> s_snapshotRequested;
