#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "platform/operatorprompts.h"

// Records every message the program shows and answers file dialogs from a prepared queue.
// Installed for its lifetime.
class ScriptedPrompts final : public plat::OperatorPrompts {
 public:
  struct Message {
    QString text;
    QString caption;
    plat::MessageIcon icon;
  };

  ScriptedPrompts() { plat::InstallPrompts(this); }
  ~ScriptedPrompts() override { plat::InstallPrompts(nullptr); }
  ScriptedPrompts(const ScriptedPrompts&) = delete;
  ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

  plat::MessageAnswer ShowMessage(QWidget*, const QString& text, const QString& caption,
                                  plat::MessageIcon icon, plat::MessageButtons buttons) override {
    messages.push_back({text, caption, icon});
    if (!answers.empty()) {
      const plat::MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == plat::MessageButtons::YesNo ? plat::MessageAnswer::Yes : plat::MessageAnswer::Ok;
  }
  std::optional<QString> AskSaveFile(QWidget*, const QString& filter, const QString& extension) override {
    return NextFile(filter, extension);
  }
  std::optional<QString> AskOpenFile(QWidget*, const QString& filter, const QString& extension) override {
    return NextFile(filter, extension);
  }

  std::vector<Message> messages;
  std::deque<plat::MessageAnswer> answers;
  std::deque<std::optional<QString>> files;  // nullopt: the operator cancels
  std::vector<QString> fileFilters;
  std::vector<QString> fileExtensions;

 private:
  std::optional<QString> NextFile(const QString& filter, const QString& extension) {
    fileFilters.push_back(filter);
    fileExtensions.push_back(extension);
    if (files.empty()) return std::nullopt;
    const bool cancelled = !files.front().has_value();
    const QString path = files.front().value_or(QString());
    files.pop_front();
    if (cancelled) return std::nullopt;
    return path;
  }
};
