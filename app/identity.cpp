#include "app/identity.h"

#include "resources/stringtable.h"

namespace identity {

QString CodeAt(const CUSBChannel::Block& page, std::size_t offset) {
  const auto* field = reinterpret_cast<const char*>(page.data() + offset);
  qsizetype length = 0;
  while (length < 16 && field[length] != 0) ++length;
  return QString::fromLatin1(field, length).toUpper();
}

QString DeviceIdText(const CUSBChannel::Block& page) {
  QString text = QStringLiteral("设备ID=");
  for (int i = 0; i < 16; ++i) {
    if (i > 0 && i % 4 == 0) text += QLatin1Char('-');
    text += QStringLiteral("%1").arg(page[static_cast<std::size_t>(i)], 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

QString VendorLine(const QString& brand) {
  if (brand == QLatin1String("ORBENKA")) return resources::VendorLine1();
  if (brand == QLatin1String("TELMARS")) return resources::VendorLine2();
  return resources::GenericSystemTitle();
}

BoardModel ModelOf(const QString& deviceType) {
  if (deviceType == kSingleBoardType) return BoardModel::SingleBoard;
  if (deviceType == kExpansionType) return BoardModel::Expansion;
  return BoardModel::Unrecognised;
}

}  // namespace identity
