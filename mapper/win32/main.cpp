// ORVO.EXE: the tray program that plays the running game's gamepad profile.
#include <windows.h>

#include "mapper/win32/orvo_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  static kl::COrvoApp app;
  return kl::AfxWinMain(app, instance, commandLine, showCommand);
}
