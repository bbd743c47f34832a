#pragma once

#include <QFont>
#include <QMap>
#include <QPointer>
#include <QWidget>

#include "platform/dialogunits.h"
#include "resources/dialogtemplate.h"

namespace resources {

// Creates a template's controls as children of a dialog and places them in pixels converted
// from the template's dialog units with the template's font.
class DialogBuilder {
 public:
  explicit DialogBuilder(const DialogTemplate& dialogTemplate);

  // Sets the dialog's caption, font and client size, and creates every item on `dialog`
  // (or on `client`, the widget that stands for the client area, when given).
  void Build(QWidget* dialog, QWidget* client = nullptr);

  // The control with that id (the first one for repeated ids); null when there is none.
  QWidget* Item(int id) const { return m_items.value(id); }
  QRect ItemRect(int id) const;
  const plat::DialogUnits& Units() const { return m_units; }
  QSize ClientSize() const;

 private:
  QWidget* CreateItem(const DialogItem& item, QWidget* parent) const;

  const DialogTemplate& m_template;
  QFont m_font;
  plat::DialogUnits m_units;
  QMap<int, QPointer<QWidget>> m_items;
};

}  // namespace resources
