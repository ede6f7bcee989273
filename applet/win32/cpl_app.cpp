#include "applet/win32/cpl_app.h"

#include <commctrl.h>

#include <cstdint>

#include "framework/module.h"
#include "platform/win32/program_folder.h"

namespace kl {

namespace {

// The texts loaded at start, in this order.
constexpr std::array<uint32_t, 11> kTextIds = {57345, 57346, 57347, 57348, 57349, 57350,
                                               57351, 57352, 57353, 12,    57354};
constexpr uint32_t kAppNameStringId = 57344;
// The application name is kept in 50 bytes with its terminator.
constexpr size_t kAppNameLimit = 49;

JoystickCplApp* g_cplApp = nullptr;

// LoadLibrary's old convention: a handle below 32 is an error code.
bool IsModule(HINSTANCE module) {
  return reinterpret_cast<uintptr_t>(module) >= 32;
}

}  // namespace

std::string ResourceStrings::Load(uint32_t id) const {
  return AfxLoadString(id);
}

JoystickCplApp::JoystickCplApp()
    : m_joysticks(m_registry, m_joystick, m_strings),
      m_context{m_joysticks, m_registry, m_state, m_paths, &JoystickCplApp::Text},
      m_applet(m_context) {
  g_cplApp = this;
}

JoystickCplApp::~JoystickCplApp() {
  if (g_cplApp == this) g_cplApp = nullptr;
}

std::string JoystickCplApp::Text(uint32_t id) {
  if (g_cplApp == nullptr) return {};
  for (size_t i = 0; i < kTextIds.size(); ++i) {
    if (kTextIds[i] == id) return g_cplApp->m_texts[i];
  }
  return {};
}

bool JoystickCplApp::InitInstance() {
  // From the applet's own folder only: the host's current folder is not ours.
  const std::string folder = ProgramFolder(m_hInstance);
  if (folder.empty()) return false;
  m_resources = LoadLibraryA((folder + kAppletResourceModule).c_str());
  if (!IsModule(m_resources)) {
    m_resources = nullptr;
    return false;
  }
  AfxSetResourceHandle(m_resources);

  std::string name = AfxLoadString(kAppNameStringId);
  if (name.size() > kAppNameLimit) name.resize(kAppNameLimit);
  m_appName = name;
  for (size_t i = 0; i < kTextIds.size(); ++i) m_texts[i] = AfxLoadString(kTextIds[i]);

  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  m_state.currentId = kNoJoystick;
  return CWinApp::InitInstance();
}

int JoystickCplApp::ExitInstance() {
  const int code = CWinApp::ExitInstance();
  if (m_resources != nullptr) {
    FreeLibrary(m_resources);
    m_resources = nullptr;
  }
  for (std::string& text : m_texts) text.clear();
  return code;
}

}  // namespace kl
