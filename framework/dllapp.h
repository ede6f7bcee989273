// The application object of a shared library (a control panel applet, say):
// the library's own instance is the instance handle, and the host decides
// when the library starts and ends, never its loader callback (loading other
// modules under the loader lock is unsafe). AfxDllStart runs InitInstance
// once; AfxDllEnd runs ExitInstance after a start.
#pragma once

#include <windows.h>

#include "framework/winapp.h"

namespace kl {

// Makes `module` the instance and resource handle and runs InitInstance;
// false when it failed (ExitInstance has then undone what it did). True
// without a second InitInstance when the library runs already.
bool AfxDllStart(CWinApp& app, HINSTANCE module);

// Runs ExitInstance when the library runs, then makes `module` the resource
// handle again; the exit code, or 0 when it did not run.
int AfxDllEnd(CWinApp& app);

// Whether AfxDllStart succeeded and AfxDllEnd has not run since.
bool AfxDllRunning(const CWinApp& app);

}  // namespace kl
