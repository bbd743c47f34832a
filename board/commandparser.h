#pragma once

#include "board/command.h"

namespace board {

// The firmware's receive state machine: a header report (AA 55 code) opens a command, which
// then takes the parameter and data reports its code needs, whatever their bytes are.
// Reports outside a command that are not a known header are ignored.
class CommandParser {
 public:
  // Takes the next received report; the completed command once its last report arrived,
  // else null. The pointer stays valid until the next call.
  const Command* Feed(const plat::Report& report);

 private:
  enum class Stage { Header, Parameter, Data };

  const Command* Advance(Stage next);

  Stage m_stage = Stage::Header;
  bool m_needsData = false;
  Command m_command;
};

}  // namespace board
