#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace board {

enum class Model { Single, Expansion };

// How a board leaves the factory.
struct BoardConfig {
  static constexpr int kMaxRowsOrCols = 9;
  static constexpr int kMaxCells = 64;  // entries of the expansion table, and groups of 8 boards
  static constexpr std::size_t kCodeSize = 16;

  Model model = Model::Single;
  // Grid layout of the expansion model; the single-board model is always 1 x 1.
  int rows = 2;
  int cols = 2;
  std::string brand = "ORBENKA";
  // Empty: the model's own device-type code.
  std::optional<std::string> deviceType{};
  std::array<std::uint8_t, 16> deviceId = {0x4F, 0x56, 0x42, 0x4C, 0x20, 0x24, 0x05, 0x17,
                                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};

  // The expansion model with that layout and every other field at its default.
  static BoardConfig Expansion(int rows, int cols);

  // Layout within 0..9 rows and columns; codes of at most 16 bytes. A layout of more than 64
  // cells is accepted as a board would take it: only the first 64 cells have a table entry
  // and a channel group, the rest have parameter blocks and nothing to measure.
  int MappedCellCount() const;
  bool Valid() const;
  int CellCount() const;
  std::string DeviceTypeCode() const;
};

}  // namespace board
