#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>

#include "board/emulatedboard.h"
#include "dialogs/expanddlg.h"
#include "tests/device/linkfixture.h"

// The expansion-board dialog on a link to an emulated expansion board, wire time off.
class ExpandDialogFixture : public LinkFixture {
 protected:
  void OpenWith(int rows, int cols) {
    board.ResetToFactory({.model = board::Model::Expansion, .rows = rows, .cols = cols});
    dialog = std::make_unique<CExpandDlg>(link);
    dialog->OnInitDialog();
    board.ClearLog();
  }

  void Type(int id, const QString& text) { dialog->Field(id)->setText(text); }
  QString Shown(int id) const { return dialog->Field(id)->text(); }
  CEditListCtrl& List() { return dialog->MappingList(); }
  QStringList Row(int row) {
    QStringList texts;
    for (int column = 1; column < 5; ++column) texts << List().Text(row, column);
    return texts;
  }
  std::uint8_t GlobalByte(std::size_t offset) const { return board.ReadPage(0xF9)[offset]; }
  std::vector<std::uint8_t> Table(std::size_t entries) const { return board.ReadMemory(0, entries * 4); }
  // Waits until the write-only commands of the last step have crossed the wire.
  std::vector<std::uint8_t> CommandsAfter(std::size_t reports) { return CommandsOf(LogOf(reports)); }

  std::unique_ptr<CExpandDlg> dialog;
};
