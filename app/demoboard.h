#pragma once

#include <QTemporaryDir>
#include <memory>

#include "board/emulatedboard.h"

// The built-in demonstration: an emulated board plugged into a private board directory, its
// panel noisy and swept by a slow touch, so that verdicts and over-marks can be watched.
class DemoBoard {
 public:
  explicit DemoBoard(const board::BoardConfig& config);

  // False when the board could not be plugged in.
  bool IsPlugged() const { return m_board && m_board->IsPlugged(); }
  QString Directory() const { return m_directory.path(); }

 private:
  QTemporaryDir m_directory;
  std::unique_ptr<board::EmulatedBoard> m_board;
};
