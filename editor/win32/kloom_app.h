// KLOOM.EXE's application. Start-up runs in a fixed order and any failed
// step ends the program with no window: count the pads, load the resource
// module from the program's own folder, give way to a running editor,
// require a pad, start the mapper from the program's folder and wait for
// its window, register the window class, then let the document template
// make frame, document and view and load the start-up strings.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "editor/win32/startup_strings.h"
#include "framework/winapp.h"
#include "platform/win32/module_strings.h"

namespace kl {

class CKLoomApp : public CWinApp {
 public:
  CKLoomApp();
  ~CKLoomApp() override;

  // bool InitInstance(): true when the editor runs; false ends it (a message shown or not).
  bool InitInstance() override;
  // int ExitInstance(): releases the strings, the resource module and the window class.
  int ExitInstance() override;
  // bool FirstInstance(): true when no other editor runs; else that one comes to the front.
  virtual bool FirstInstance();

  // The texts the portable view reads.
  const StringSource& Strings() const { return *m_strings; }
  HMODULE ResourceModule() const { return m_resources; }

  // The command line that starts the mapper: ORVO.EXE beside the editor, else the
  // standard installation's, quoted.
  static std::string MapperCommandLine(const std::string& programFolder);

 private:
  bool LoadResourceModule(const std::string& path);
  void FreeResourceModule();
  bool RegisterEditorClass();
  static bool WaitForMapperWindow();

  HMODULE m_resources = nullptr;
  bool m_classRegistered = false;
  std::unique_ptr<ModuleStringSource> m_moduleStrings;
  std::unique_ptr<StartupStrings> m_strings;
};

}  // namespace kl
