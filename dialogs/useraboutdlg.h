#pragma once

#include <QDialog>
#include <QString>

#include "resources/dialogbuilder.h"

class CUSBChannel;
class QLineEdit;
class QTableWidget;

// The device information dialog: the attached board's firmware information as identification
// left it in the local copy, the program's version, its release history and the logo of the
// board's brand. Read-only: it sends nothing to the board.
class CUserAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CUserAboutDlg(CUSBChannel& device, QWidget* parent = nullptr);

  // Fills the controls; runs once, at the latest when the dialog is first shown, so the opener
  // sets m_brandCode before.
  void OnInitDialog();

  // The running program's version, "1.0.0.7".
  static QString GetSoftwareVersion();
  // The logo bitmap of a brand code, compared upper-cased and in full.
  static int LogoOf(const QString& brandCode);
  void FillHistoryList();
  void ShowBrandLogo(const QString& brandCode);
  QLineEdit* Field(int id) const;

  QTableWidget* m_historyList = nullptr;
  QString m_brandCode;  // upper-cased by the opener

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowText(int id, const QString& text);
  void ShowFirmwareInfo();

  CUSBChannel& m_device;
  resources::DialogBuilder m_builder;
  bool m_initialised = false;
};
