#include "resources/artwork.h"

namespace resources {

QPixmap Bitmap(int id) { return QPixmap(QStringLiteral(":/art/%1.png").arg(id)); }

QIcon Icon(int id) { return QIcon(Bitmap(id)); }

}  // namespace resources
