#pragma once

#include "board/boardconfig.h"
#include "platform/virtualhandshake.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace board {

// The command line of the standalone board program:
//   --dir <directory>          board directory (default: the virtual bus's default)
//   --name <name>              socket "<name>.sock" (default "board")
//   --model single|expansion   --layout <rows>x<cols> (expansion model)
//   --brand <code>             --device-type <code>
//   --timing-ms <ms>           wire time per report, 0 = off (default 1)
//   --fault <fault>            repeatable: silent | late=<ms> | vanish=<reports> |
//                              no-manufacturer | no-product | manufacturer=<text> |
//                              product=<text> | vendor-id=<hex> | product-id=<hex>
struct BoardOptions {
  std::string directory;
  std::string name = "board";
  BoardConfig config;
  std::chrono::microseconds reportPeriod{1000};
  plat::VirtualHandshake identity;
  bool silent = false;
  std::chrono::milliseconds replyDelay{};
  unsigned vanishAfter = 0;

  // Empty with `error` set when the arguments are not valid.
  static std::optional<BoardOptions> Parse(const std::vector<std::string>& arguments, std::string& error);
  static std::string Usage();
};

}  // namespace board
