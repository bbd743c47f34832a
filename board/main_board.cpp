// The standalone emulated board: plugs one board into the virtual bus until stopped and
// takes control commands, one per line, on standard input.
#include "board/boardconsole.h"
#include "board/boardoptions.h"
#include "board/emulatedboard.h"
#include "platform/virtualconsole.h"

#include <iostream>

namespace {

void ApplyFaults(const board::BoardOptions& options, board::EmulatedBoard& emulated) {
  emulated.SetReportPeriod(options.reportPeriod);
  emulated.SetIdentity(options.identity);
  emulated.SetSilent(options.silent);
  emulated.SetReplyDelay(options.replyDelay);
  emulated.VanishAfter(options.vanishAfter);
}

int Serve(const board::BoardOptions& options) {
  // Handlers first: a stop signal right after the "plugged in" line must still unplug.
  plat::VirtualConsole console;
  board::EmulatedBoard emulated(options.directory, options.name, options.config);
  ApplyFaults(options, emulated);
  if (!emulated.Plug()) {
    std::cerr << "cannot create the board socket " << emulated.SocketPath() << '\n';
    return 1;
  }
  std::cout << "plugged in at " << emulated.SocketPath() << '\n'
            << "stop with \"quit\", end of input, Ctrl+C or SIGTERM; \"help\" lists the commands" << std::endl;
  board::BoardConsole commands(emulated);
  while (!commands.QuitRequested()) {
    const std::optional<std::string> line = console.NextLine();
    if (!line) break;
    std::cout << commands.Execute(*line) << std::endl;
  }
  emulated.Unplug();
  std::cout << "unplugged" << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<board::BoardOptions> options =
      board::BoardOptions::Parse(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << error << '\n' << board::BoardOptions::Usage();
    return 2;
  }
  return Serve(*options);
}
