// KLOOM.EXE: the editor of the gamepad's key assignments.
#include <windows.h>

#include "editor/win32/kloom_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  static kl::CKLoomApp app;
  return kl::AfxWinMain(app, instance, commandLine, showCommand);
}
