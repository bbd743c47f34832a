#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class CColorBar;
class CStatusBarEx;
class CUSBChannel;
class QWidget;

// What the file commands work on: the main window's board link, grid and status bar, and
// the main window's own operations they need.
struct FileCommandContext {
  QWidget* owner = nullptr;
  CUSBChannel& device;
  CColorBar& grid;
  CStatusBarEx& statusBar;
  // The attached board's device-type code, upper-cased, read from its identity page.
  std::function<QString()> readDeviceType;
  // Parks and releases the measurement dispatchers; never called holding the channel lock.
  std::function<void()> pauseDispatcher;
  std::function<void()> resumeDispatcher;
};

// The one filter of every file dialog of the file commands.
inline const QString kConfigFileFilter = QStringLiteral("配置文件(*.ini)|*.ini||");

// Cells a layout of rows x cols gives to a file command: none for an empty or negative
// layout, and never more than the 64 entries of the expansion table.
int FileCellCount(std::int64_t rows, std::int64_t cols);
