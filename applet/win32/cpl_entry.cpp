// The control panel's entry point. The host loads the module, sends
// CPL_INIT (the module starts then, not in DllMain: loading OSTRARS.DLL
// under the loader lock is unsafe), asks for the applet's description, sends
// CPL_DBLCLK when the user opens it, and CPL_STOP and CPL_EXIT before it
// unloads the module.
#include <windows.h>

#include <cpl.h>

#include "applet/win32/cpl_app.h"
#include "framework/dllapp.h"

namespace {

HINSTANCE g_module = nullptr;
kl::JoystickCplApp theApp;

// Wine and ReactOS send these before CPL_DBLCLK when an applet is opened by
// its file name, and go on to CPL_DBLCLK only when they are not handled.
constexpr UINT kCplStartWithParamsA = 9;
constexpr UINT kCplStartWithParamsW = 10;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" LONG CALLBACK CPlApplet(HWND window, UINT message, LPARAM data1, LPARAM data2) {
  kl::CplAppletBase* applet = kl::CplAppletBase::Registered();
  const bool running = kl::AfxDllRunning(theApp);
  switch (message) {
    case CPL_INIT:
      // A module that cannot start answers 0, and the host drops it.
      if (applet == nullptr || !kl::AfxDllStart(theApp, g_module)) return 0;
      applet->Init();
      return 1;
    case CPL_GETCOUNT:
      return applet != nullptr ? applet->GetCount() : 0;
    case CPL_INQUIRE:
      return 0;
    case CPL_SELECT:
      if (applet != nullptr && running) applet->Select(data1, data2);
      return 1;
    case CPL_DBLCLK:
      if (applet != nullptr && running) applet->DoubleClick(window, data1, data2);
      return 0;
    case CPL_STOP:
      if (applet != nullptr && running) applet->Stop(data1, data2);
      return 1;
    case CPL_EXIT:
      if (applet != nullptr && running) applet->Exit();
      kl::AfxDllEnd(theApp);
      return 0;
    case CPL_NEWINQUIRE:
      if (applet != nullptr && running && data2 != 0) {
        applet->NewInquire(data1, *reinterpret_cast<NEWCPLINFOA*>(data2));
      }
      return 0;
    case kCplStartWithParamsA:
    case kCplStartWithParamsW:
      return 0;
    default:
      return 1;
  }
}
