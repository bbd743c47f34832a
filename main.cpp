#include <QApplication>

#include "app/programoptions.h"
#include "app/varnostellionplusdlgapp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("VarnostellionPlusDlg"));
  CVarnostellionPlusDlgApp program;
  return program.InitInstance(ProgramOptions::Parse(QApplication::arguments()));
}
