#pragma once

#include "board/boardconfig.h"

namespace board {

class Firmware;

// Puts a board into the state it leaves the factory in, in which an untouched panel passes:
// references at the panel's base values, limits at +-10 %, every channel open for judging,
// view range 0-2000, buzzer and lamps enabled, the identity page from `config`, and for the
// expansion model the layout, the expansion boards at bus addresses 1, 2, ..., the expansion
// table (cell k on group k % 8 of board k / 8) and each cell's parameter block.
void ApplyFactoryState(const BoardConfig& config, Firmware& firmware);

}  // namespace board
