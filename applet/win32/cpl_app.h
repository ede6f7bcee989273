// OSTRA.CPL's application object: the resource module OSTRARS.DLL from the
// applet's own folder, the texts every page shares, the Win32 registry and
// joystick behind the configuration model, and the one applet. It starts on
// the control panel's first CPL_INIT and ends on CPL_EXIT.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "applet/win32/applet_context.h"
#include "applet/win32/cpl_applet.h"
#include "framework/winapp.h"
#include "platform/strings.h"
#include "platform/win32/win32_joystick.h"
#include "platform/win32/win32_registry.h"

namespace kl {

constexpr const char* kAppletResourceModule = "OSTRARS.DLL";

// The texts of the framework's resource module (OSTRARS.DLL once started).
class ResourceStrings : public StringSource {
 public:
  std::string Load(uint32_t id) const override;
};

class JoystickCplApp : public CWinApp {
 public:
  JoystickCplApp();
  ~JoystickCplApp() override;

  // bool InitInstance(): false when OSTRARS.DLL cannot be loaded from the applet's folder.
  bool InitInstance() override;
  // int ExitInstance(): frees the resource module and the texts.
  int ExitInstance() override;

  AppletContext& Context() { return m_context; }
  // The module-wide text `id` (57345..57354 and 12); empty for others or before the start.
  static std::string Text(uint32_t id);

 private:
  HINSTANCE m_resources = nullptr;
  std::array<std::string, 11> m_texts;
  Win32Registry m_registry;
  Win32Joystick m_joystick;
  ResourceStrings m_strings;
  JoystickRegistry m_joysticks;
  AppletState m_state;
  AppletPaths m_paths;
  AppletContext m_context;
  JoystickApplet m_applet;
};

}  // namespace kl
