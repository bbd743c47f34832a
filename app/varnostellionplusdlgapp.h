#pragma once

#include "app/programoptions.h"

// The application: one copy at a time, the board buses and notices, and the main window run
// until it closes.
class CVarnostellionPlusDlgApp {
 public:
  // The name of the lock that tells a second copy that one already runs.
  static constexpr const char* kInstanceName = "{A3F31077923E447CB7E532595EF67D21}";

  // Runs the program; the process's exit code.
  int InitInstance(const ProgramOptions& options);
};
