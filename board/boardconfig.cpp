#include "board/boardconfig.h"

#include "board/identity.h"

namespace board {

bool BoardConfig::Valid() const {
  const bool layoutValid = rows >= 0 && cols >= 0 && rows <= kMaxRowsOrCols && cols <= kMaxRowsOrCols &&
                           rows * cols <= kMaxCells;
  return (model == Model::Single || layoutValid) && brand.size() <= kCodeSize &&
         DeviceTypeCode().size() <= kCodeSize;
}

int BoardConfig::CellCount() const { return model == Model::Single ? 1 : rows * cols; }

std::string BoardConfig::DeviceTypeCode() const {
  if (deviceType) return *deviceType;
  return std::string(model == Model::Single ? kSingleDeviceType : kExpansionDeviceType);
}

}  // namespace board
