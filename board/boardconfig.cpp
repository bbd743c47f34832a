#include "board/boardconfig.h"

#include <algorithm>

#include "board/identity.h"

namespace board {

bool BoardConfig::Valid() const {
  const bool layoutValid = rows >= 0 && cols >= 0 && rows <= kMaxRowsOrCols && cols <= kMaxRowsOrCols;
  return (model == Model::Single || layoutValid) && brand.size() <= kCodeSize &&
         DeviceTypeCode().size() <= kCodeSize;
}

BoardConfig BoardConfig::Expansion(int rows, int cols) {
  BoardConfig config;
  config.model = Model::Expansion;
  config.rows = rows;
  config.cols = cols;
  return config;
}

int BoardConfig::CellCount() const { return model == Model::Single ? 1 : rows * cols; }

int BoardConfig::MappedCellCount() const { return std::min(CellCount(), kMaxCells); }

std::string BoardConfig::DeviceTypeCode() const {
  if (deviceType) return *deviceType;
  return std::string(model == Model::Single ? kSingleDeviceType : kExpansionDeviceType);
}

}  // namespace board
