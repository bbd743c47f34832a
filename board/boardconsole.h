#pragma once

#include "board/emulatedboard.h"

#include <string>

namespace board {

// The line-based control interface of the standalone board program. Each line is one
// command; each answer is one line beginning "ok" or "error". Cells, channels, values,
// offsets and times are decimal; page numbers, addresses and bytes are hexadecimal.
//
//   touch <cell> <channel> [value]   release <cell> <channel> | release all
//   open <cell> <channel>            short <cell> <channel>          noise <amplitude>
//   sweep on|once|off [step-ms]      silent on|off                   delay <ms>
//   vanish <reports>                 timing <ms>                     outputs
//   page <page>                      set-page <page> <offset> <byte>...
//   memory <address> [length]        status   plug   unplug   quit   help
class BoardConsole {
 public:
  explicit BoardConsole(EmulatedBoard& board) : m_board(board) {}

  std::string Execute(const std::string& line);
  // True once "quit" was given.
  bool QuitRequested() const { return m_quit; }

 private:
  EmulatedBoard& m_board;
  bool m_quit = false;
};

}  // namespace board
