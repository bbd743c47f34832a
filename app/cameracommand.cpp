// Menu command 32802: a camera window.
#include "app/varnostellionplusdlgdlg.h"
#include "camera/videodialog.h"

// The window has no parent, so it stands on its own beside the main window, and the main
// window keeps no reference to it. Closing it destroys it and stops its camera; the windows
// still open when the main window goes are destroyed with it.
void CVarnostellionPlusDlgDlg::OnCamera() {
  auto* window = new CVideoDialog;
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(this, &QObject::destroyed, window, [window] { delete window; });
  window->show();
}
