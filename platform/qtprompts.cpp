#include "platform/qtprompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace plat {
namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

MessageAnswer FromQt(int button) {
  switch (button) {
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return MessageAnswer::Ok;
  }
}

std::optional<QString> RunFileDialog(QWidget* owner, QFileDialog::AcceptMode mode,
                                     const QString& filter, const QString& defaultExtension) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                     : QFileDialog::ExistingFile);
  dialog.setNameFilter(QtPrompts::ToQtFilter(filter));
  QString suffix = defaultExtension;
  if (suffix.startsWith('.')) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  // QFileDialog asks before replacing an existing file unless told otherwise.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

MessageAnswer QtPrompts::ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                                     MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(ToQt(icon), caption.isEmpty() ? QApplication::applicationName() : caption, text,
                  ToQt(buttons), owner);
  return FromQt(box.exec());
}

std::optional<QString> QtPrompts::AskSaveFile(QWidget* owner, const QString& filter,
                                              const QString& defaultExtension) {
  return RunFileDialog(owner, QFileDialog::AcceptSave, filter, defaultExtension);
}

std::optional<QString> QtPrompts::AskOpenFile(QWidget* owner, const QString& filter,
                                              const QString& defaultExtension) {
  return RunFileDialog(owner, QFileDialog::AcceptOpen, filter, defaultExtension);
}

QString QtPrompts::ToQtFilter(const QString& filter) {
  // Pairs of "description|pattern", closed by an empty pair.
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    filters << parts[i];
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace plat
