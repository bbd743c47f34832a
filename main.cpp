#include <QApplication>
#include <cstdio>

#include "app/programoptions.h"
#include "app/varnostellionplusdlgapp.h"

int main(int argc, char** argv) {
  // The options are read before the window system is reached, so --help works without one.
  QApplication::setApplicationName(QStringLiteral("VarnostellionPlusDlg"));
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const ProgramOptions options = ProgramOptions::Parse(arguments);
  if (!options.help.isEmpty()) {
    std::fputs(options.help.toLocal8Bit().constData(), stdout);
    return 0;
  }
  QApplication application(argc, argv);
  CVarnostellionPlusDlgApp program;
  return program.InitInstance(options);
}
