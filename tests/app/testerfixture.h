#pragma once

#include <gtest/gtest.h>

#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/varnostellionplusdlgdlg.h"
#include "board/emulatedboard.h"
#include "platform/devicenotifier.h"
#include "platform/virtualbus.h"
#include "resources/resourceids.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/waituntil.h"

// A tester main window on a private virtual bus, with emulated boards plugged in and out by
// the test and every message box recorded.
class TesterFixture : public ::testing::Test {
 protected:
  board::EmulatedBoard& AddBoard(const board::BoardConfig& config = {}, const std::string& name = "board") {
    boards.push_back(std::make_unique<board::EmulatedBoard>(dir.path().toStdString(), name, config));
    return *boards.back();
  }
  board::EmulatedBoard& Board() { return *boards.front(); }

  // The notices start with the window, so boards plugged in before it are found by its first
  // search, not announced again by a late arrival.
  void StartWindow() {
    notifier = std::make_unique<plat::DeviceNotifier>(dir.path());
    window = std::make_unique<CVarnostellionPlusDlgDlg>(bus, notifier.get());
    QObject::connect(window.get(), &QWidget::windowTitleChanged,
                     [this](const QString& title) { titles << title; });
    window->OnInitDialog();
  }

  void TearDown() override {
    window.reset();
    notifier.reset();
    boards.clear();
  }

  std::uint8_t Output(int byte) { return Board().Outputs()[static_cast<std::size_t>(byte)]; }
  QString Title() const { return window->windowTitle(); }
  QString Pane(int pane) const { return window->m_statusBar.m_paneText[static_cast<std::size_t>(pane)]; }
  bool TopLevelEnabled(int position) const {
    return window->TopLevelMenu(position)->menuAction()->isEnabled();
  }
  bool AllTopLevel(bool enabled) const {
    for (int p = 0; p < 4; ++p) {
      if (TopLevelEnabled(p) != enabled) return false;
    }
    return true;
  }
  // Frame number of the current title, -1 when it is no frame title.
  int Frame() const {
    const QString prefix = QStringLiteral("当前帧=");
    const QString title = Title();
    return title.startsWith(prefix) ? title.mid(prefix.size()).toInt() : -1;
  }
  // Waits for a frame title, then for `count` more cycles.
  bool WaitForFrames(int count) {
    if (!WaitUntil([&] { return Frame() >= 0; })) return false;
    const int start = Frame();
    return WaitUntil([&] { return Frame() >= start + count; });
  }
  // Measurement starts before the board's parameters are read, so frames alone do not mean
  // the identification is over; the progress bar going away does.
  bool WaitIdentified() {
    return WaitUntil([&] { return Frame() >= 0 && window->m_statusBar.m_progressShown == 0; });
  }
  // The outputs of a panel that passes: the first cycles may still judge a cell whose
  // readings have not arrived yet.
  bool WaitAllPass() {
    return WaitUntil([&] {
      return Output(CUSBChannel::OUTPUT_BUZZER) == 0 && Output(CUSBChannel::OUTPUT_LAMP_A) == 0 &&
             Output(CUSBChannel::OUTPUT_LAMP_B) == 1;
    });
  }

  QTemporaryDir dir;
  plat::VirtualBus bus{dir.path().toStdString()};
  std::unique_ptr<plat::DeviceNotifier> notifier;
  ScriptedPrompts prompts;
  std::vector<std::unique_ptr<board::EmulatedBoard>> boards;
  std::unique_ptr<CVarnostellionPlusDlgDlg> window;
  QStringList titles;
};
