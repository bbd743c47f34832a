#include "app/programoptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

std::optional<board::BoardConfig> ProgramOptions::ParseSimulation(const QString& text) {
  if (text == QLatin1String("single")) return board::BoardConfig{};
  static const QRegularExpression expansion(QStringLiteral("^expansion:(\\d)x(\\d)$"));
  const QRegularExpressionMatch match = expansion.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const board::BoardConfig config =
      board::BoardConfig::Expansion(match.captured(1).toInt(), match.captured(2).toInt());
  if (!config.Valid()) return std::nullopt;
  return config;
}

ProgramOptions ProgramOptions::Parse(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption helpOption = parser.addHelpOption();
  const QCommandLineOption boardDir(QStringLiteral("board-dir"),
                                    QStringLiteral("Directory of the emulated boards."),
                                    QStringLiteral("DIR"));
  const QCommandLineOption simulate(
      QStringLiteral("simulate"),
      QStringLiteral("Plug in a built-in emulated board: single or expansion:RxC."),
      QStringLiteral("MODEL"));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Write a PNG of the main window after a few seconds, then close."),
      QStringLiteral("FILE"));
  const QCommandLineOption delay(QStringLiteral("screenshot-after"),
                                 QStringLiteral("Milliseconds before the screenshot."),
                                 QStringLiteral("MS"));
  const QCommandLineOption firstPaint(
      QStringLiteral("report-first-paint"),
      QStringLiteral("Print the time (ms since the epoch) the first grid was painted, for start-up measurements."));
  parser.addOptions({boardDir, simulate, screenshot, delay, firstPaint});

  ProgramOptions options;
  if (!parser.parse(arguments)) {
    options.error = parser.errorText();
    return options;
  }
  if (parser.isSet(helpOption)) options.help = parser.helpText();
  options.boardDirectory = parser.value(boardDir);
  options.screenshot = parser.value(screenshot);
  options.reportFirstPaint = parser.isSet(firstPaint);
  if (parser.isSet(delay)) {
    bool ok = false;
    options.screenshotDelayMs = parser.value(delay).toInt(&ok);
    if (!ok || options.screenshotDelayMs < 0) options.error = QStringLiteral("bad --screenshot-after");
  }
  if (parser.isSet(simulate)) {
    options.simulate = ParseSimulation(parser.value(simulate));
    if (!options.simulate) {
      options.error = QStringLiteral("--simulate takes single or expansion:RxC (at most 9x9)");
    }
  }
  return options;
}
