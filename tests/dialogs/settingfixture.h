#pragma once

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "dialogs/settingdlg.h"
#include "resources/settingtemplate.h"
#include "tests/app/testerfixture.h"

// One write command as the board received it: WritePage (0x20, target = page) or WriteMemory
// (0x22, target = address), with its 64-byte data report.
struct BoardWrite {
  std::uint8_t code = 0;
  int target = 0;
  int length = 64;
  std::array<std::uint8_t, 64> data{};

  friend bool operator==(const BoardWrite&, const BoardWrite&) = default;
};

// The page and memory writes in a stream of reports, oldest first; each command is found by
// its length, so data reports are never mistaken for headers.
inline std::vector<BoardWrite> WritesIn(const std::vector<plat::Report>& log) {
  auto reportsOf = [](std::uint8_t code) -> std::size_t {
    switch (code) {
      case 0x20: case 0x22: return 3;
      case 0x1C: case 0x21: case 0x23: case 0x25: return 2;
      default: return 1;
    }
  };
  std::vector<BoardWrite> writes;
  for (std::size_t i = 0; i < log.size();) {
    const bool header = log[i][1] == 0xAA && log[i][2] == 0x55;
    const std::uint8_t code = header ? log[i][3] : 0x00;
    if ((code == 0x20 || code == 0x22) && i + 2 < log.size()) {
      BoardWrite write;
      write.code = code;
      const plat::Report& parameters = log[i + 1];
      write.target = code == 0x20 ? parameters[1] : (parameters[1] << 8 | parameters[2]);
      write.length = code == 0x20 ? 64 : parameters[3];
      std::copy_n(log[i + 2].begin() + 1, 64, write.data.begin());
      writes.push_back(write);
    }
    i += header ? reportsOf(code) : 1;
  }
  return writes;
}

inline std::array<std::uint8_t, 64> WordBytes(const std::array<std::uint16_t, 32>& words) {
  std::array<std::uint8_t, 64> bytes{};
  for (std::size_t k = 0; k < 32; ++k) {
    bytes[2 * k] = static_cast<std::uint8_t>(words[k] & 0xFF);
    bytes[2 * k + 1] = static_cast<std::uint8_t>(words[k] >> 8);
  }
  return bytes;
}

// How many commands with that code the stream holds.
inline int CommandCount(const std::vector<plat::Report>& log, std::uint8_t wanted) {
  int count = 0;
  for (std::size_t i = 0; i < log.size();) {
    const bool header = log[i][1] == 0xAA && log[i][2] == 0x55;
    const std::uint8_t code = header ? log[i][3] : 0x00;
    if (header && code == wanted) ++count;
    switch (code) {
      case 0x20: case 0x22: i += 3; break;
      case 0x1C: case 0x21: case 0x23: case 0x25: i += 2; break;
      default: i += 1;
    }
  }
  return count;
}

template <class Field>
std::array<std::uint16_t, 32> Values(const Field& field) {
  std::array<std::uint16_t, 32> values{};
  for (std::size_t k = 0; k < 32; ++k) values[k] = field[k].load();
  return values;
}

inline std::array<std::uint16_t, 32> Ramp(std::uint16_t start, std::uint16_t step) {
  std::array<std::uint16_t, 32> values{};
  for (std::size_t k = 0; k < 32; ++k) values[k] = static_cast<std::uint16_t>(start + k * step);
  return values;
}

inline void Click(CSettingDlg& dialog, int id) { qobject_cast<QPushButton*>(dialog.Item(id))->click(); }

// A tester window with one emulated board (no wire time, no noise), identified and measuring,
// and the means to drive the reference dialog and the context menu.
class SettingFixture : public TesterFixture {
 protected:
  void StartWith(const board::BoardConfig& config) {
    board::EmulatedBoard& board = AddBoard(config);
    board.SetReportPeriod({});
    board.SetNoise(0);
    ASSERT_TRUE(board.Plug());
    StartWindow();
    ASSERT_TRUE(WaitForFrames(2));
    board.ClearLog();
  }

  // A dialog opened the way the main window opens it, initialised but not run.
  std::unique_ptr<CSettingDlg> OpenDialog(const QString& deviceType, int row = 0, int col = 0) {
    auto dialog = std::make_unique<CSettingDlg>(window.get());
    dialog->m_owner = window.get();
    dialog->m_deviceType = deviceType;
    dialog->m_targetRow = row;
    dialog->m_targetCol = col;
    dialog->OnInitDialog();
    return dialog;
  }

  // The writes the board received once it holds `count` of them.
  std::vector<BoardWrite> WritesOnceThere(std::size_t count) {
    WaitUntil([&] { return WritesIn(Board().ReceivedReports()).size() >= count; }, std::chrono::seconds(5));
    return WritesIn(Board().ReceivedReports());
  }

  // The writes after a few more measurement cycles, for checking that none came.
  std::vector<BoardWrite> WritesAfterSettling() {
    WaitForFrames(3);
    return WritesIn(Board().ReceivedReports());
  }

  // Runs `act` on the first widget of type T that the modal loop shows (a popup menu or a
  // dialog), polling from the event loop for a bounded time.
  template <class T>
  static void WhenShown(std::function<void(T*)> act, int triesLeft = 300) {
    QTimer::singleShot(10, [act = std::move(act), triesLeft] {
      QWidget* shown = std::is_base_of_v<QMenu, T> ? QApplication::activePopupWidget()
                                                   : QApplication::activeModalWidget();
      if (auto* widget = qobject_cast<T*>(shown)) {
        act(widget);
      } else if (triesLeft > 0) {
        WhenShown<T>(act, triesLeft - 1);
      }
    });
  }

  // Right-clicks the client widget at `point`; the text of the menu entry shown (the menu is
  // closed, or its entry chosen when `choose`), or nothing when no menu opened.
  std::optional<QString> RightClick(QPoint point, bool choose = false) {
    return MenuShownBy([&] {
      QTest::mousePress(window->Client(), Qt::RightButton, {}, point);
      QTest::mouseRelease(window->Client(), Qt::RightButton, {}, point);
    }, choose);
  }

  std::optional<QString> MenuShownBy(const std::function<void()>& click, bool choose) {
    std::optional<QString> entry;
    bool looked = false;
    QTimer::singleShot(50, [&] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        entry = menu->actions().value(0)->text();
        if (choose) {
          menu->setActiveAction(menu->actions().value(0));
          QTest::keyClick(menu, Qt::Key_Return);
        } else {
          menu->close();
        }
      }
      looked = true;
    });
    click();
    WaitUntil([&] { return looked; });
    return entry;
  }

  // The client-widget point at fractions (fx, fy) of the grid's cell area.
  QPoint GridPoint(double fx, double fy) const {
    const QRect grid = window->m_grid.geometry();
    return grid.topLeft() + QPoint(static_cast<int>(fx * (grid.width() - 1)), static_cast<int>(fy * (grid.height() - 1)));
  }
};
