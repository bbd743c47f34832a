#include "camera/videoinputs.h"

#include "camera/qtvideoinputs.h"

namespace {

VideoInputs* g_installed = nullptr;

}  // namespace

VideoInputs& Inputs() {
  static QtVideoInputs qtInputs;
  return g_installed != nullptr ? *g_installed : qtInputs;
}

void InstallInputs(VideoInputs* inputs) { g_installed = inputs; }
