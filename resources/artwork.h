#pragma once

#include <QIcon>
#include <QPixmap>

namespace resources {

// The bitmap or icon resource with that number; a null pixmap when there is none.
QPixmap Bitmap(int id);
QIcon Icon(int id);

}  // namespace resources
