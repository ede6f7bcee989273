#include "framework/dllapp.h"

#include "framework/module.h"

namespace kl {

namespace {

const CWinApp* g_running = nullptr;

}  // namespace

bool AfxDllStart(CWinApp& app, HINSTANCE module) {
  if (g_running == &app) return true;
  AfxSetInstanceHandle(module);
  AfxSetResourceHandle(module);
  app.m_hInstance = module;
  bool started = false;
  try {
    started = app.InitInstance();
  } catch (...) {
    started = false;
  }
  if (!started) {
    try {
      app.ExitInstance();
    } catch (...) {
      // Nothing more can be undone.
    }
    AfxSetResourceHandle(module);
    return false;
  }
  g_running = &app;
  return true;
}

int AfxDllEnd(CWinApp& app) {
  if (g_running != &app) return 0;
  g_running = nullptr;
  int code = 0;
  try {
    code = app.ExitInstance();
  } catch (...) {
    code = -1;
  }
  AfxSetResourceHandle(app.m_hInstance);
  return code;
}

bool AfxDllRunning(const CWinApp& app) {
  return g_running == &app;
}

}  // namespace kl
