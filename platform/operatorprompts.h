#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace plat {

enum class MessageIcon { None, Information, Warning, Question, Error };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Every message box and file dialog the operator sees goes through this seam, so that tests can
// script the answers and record what was shown.
class OperatorPrompts {
 public:
  virtual ~OperatorPrompts() = default;

  // An empty caption means the platform's default caption.
  virtual MessageAnswer ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // A file to write: `filter` in the "描述(*.ext)|*.ext||" form, `defaultExtension` added when
  // the typed name has none. An existing file is only returned after the operator agreed to
  // replace it. Empty when cancelled.
  virtual std::optional<QString> AskSaveFile(QWidget* owner, const QString& filter,
                                             const QString& defaultExtension) = 0;
  virtual std::optional<QString> AskOpenFile(QWidget* owner, const QString& filter,
                                             const QString& defaultExtension) = 0;
};

// The prompts in force: the Qt ones unless a test installed its own.
OperatorPrompts& Prompts();
// Installs `prompts` (not owned) in place of the Qt ones; null restores them.
void InstallPrompts(OperatorPrompts* prompts);

}  // namespace plat
