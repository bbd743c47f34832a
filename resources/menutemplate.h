#pragma once

#include <QString>
#include <vector>

namespace resources {

// One entry of a menu resource: a command, a separator or a popup with entries of its own.
struct MenuEntry {
  enum class Kind { Command, Separator, Popup };

  Kind kind = Kind::Command;
  QString text;  // with "&" before the mnemonic
  int id = 0;
  bool greyed = false;
  bool checked = false;
  std::vector<MenuEntry> entries;  // of a popup
};

// The top-level popups of the menu with that number; empty when there is none.
const std::vector<MenuEntry>& Menu(int id);

}  // namespace resources
