#include "platform/operatorprompts.h"

#include "platform/qtprompts.h"

namespace plat {
namespace {

OperatorPrompts* g_installed = nullptr;

}  // namespace

OperatorPrompts& Prompts() {
  static QtPrompts qtPrompts;
  return g_installed != nullptr ? *g_installed : qtPrompts;
}

void InstallPrompts(OperatorPrompts* prompts) { g_installed = prompts; }

}  // namespace plat
