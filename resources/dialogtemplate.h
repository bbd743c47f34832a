#pragma once

#include <QString>
#include <vector>

namespace resources {

// The kinds of controls a dialog template places.
enum class ItemKind {
  PushButton,
  DefaultPushButton,
  Label,
  BlackFrame,
  Icon,
  Picture,
  GroupBox,
  Edit,
  RadioButton,
  CheckBox,
  ListView,
  ComboBox,
};

// Items without an id of their own (labels, group boxes) use this one; it may repeat.
inline constexpr int kStaticId = -1;

struct DialogItem {
  int id = kStaticId;
  ItemKind kind = ItemKind::Label;
  QString text;
  int x = 0;  // position and size in dialog units
  int y = 0;
  int width = 0;
  int height = 0;
  bool hidden = false;
  bool disabled = false;
  int resource = 0;  // icon or bitmap shown by Icon and Picture items
};

struct DialogTemplate {
  int id = 0;
  QString caption;
  int width = 0;  // dialog units
  int height = 0;
  QString fontFace;
  int fontPoints = 9;
  bool resizable = false;
  int menu = 0;  // menu resource shown as the menu bar, 0 for none
  std::vector<DialogItem> items;
};

// The template with that number; an empty template when there is none.
const DialogTemplate& Dialog(int id);

}  // namespace resources
