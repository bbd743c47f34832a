#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "board/boardconfig.h"

// What the command line asks of the program: where emulated boards live, a built-in
// emulated board to plug in, and a screenshot to take instead of running on.
struct ProgramOptions {
  QString boardDirectory;                  // empty: the virtual bus's default
  std::optional<board::BoardConfig> simulate;  // --simulate single | expansion:RxC
  QString screenshot;                      // --screenshot FILE
  int screenshotDelayMs = 4000;            // --screenshot-after MS
  bool reportFirstPaint = false;           // --report-first-paint
  QString error;                           // why the arguments were refused
  QString help;                            // --help: the usage text to print

  static ProgramOptions Parse(const QStringList& arguments);
  // "single" or "expansion:RxC"; no value for anything else.
  static std::optional<board::BoardConfig> ParseSimulation(const QString& text);
};
