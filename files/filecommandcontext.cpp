#include "files/filecommandcontext.h"

#include <algorithm>

#include "device/expansionentry.h"

int FileCellCount(std::int64_t rows, std::int64_t cols) {
  if (rows <= 0 || cols <= 0) return 0;
  return static_cast<int>(std::min<std::int64_t>(rows * cols, ExpansionEntry::kCount));
}
