#pragma once

#include <QString>

namespace resources {

// The string with that number; empty when there is none.
QString String(int id);

// The supplier lines of the status bar, chosen by the board's brand code.
QString VendorLine1();
QString VendorLine2();
QString GenericSystemTitle();

}  // namespace resources
