#pragma once

#include "platform/operatorprompts.h"

namespace plat {

// Message boxes and file dialogs of Qt Widgets.
class QtPrompts final : public OperatorPrompts {
 public:
  MessageAnswer ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                            MessageIcon icon, MessageButtons buttons) override;
  std::optional<QString> AskSaveFile(QWidget* owner, const QString& filter,
                                     const QString& defaultExtension) override;
  std::optional<QString> AskOpenFile(QWidget* owner, const QString& filter,
                                     const QString& defaultExtension) override;

  // "配置文件(*.ini)|*.ini||" becomes "配置文件(*.ini)" for QFileDialog.
  static QString ToQtFilter(const QString& filter);
};

}  // namespace plat
