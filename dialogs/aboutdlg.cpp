#include "dialogs/aboutdlg.h"

#include <QPushButton>

#include "resources/dialogbuilder.h"
#include "resources/resourceids.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  resources::DialogBuilder builder(resources::Dialog(resources::IDD_ABOUTBOX));
  builder.Build(this);
  setFixedSize(builder.ClientSize());
  if (auto* ok = qobject_cast<QPushButton*>(builder.Item(1))) {
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
}
