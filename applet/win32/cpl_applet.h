// The control panel applet objects CPlApplet dispatches to. CplAppletBase
// gives every message its plain answer and registers itself as the module's
// applet; JoystickApplet describes the joystick applet and opens its sheet.
#pragma once

#include <windows.h>

#include <cpl.h>

namespace kl {

struct AppletContext;

class CplAppletBase {
 public:
  CplAppletBase();
  virtual ~CplAppletBase();
  CplAppletBase(const CplAppletBase&) = delete;
  CplAppletBase& operator=(const CplAppletBase&) = delete;

  // The applet object the module dispatches to, or null.
  static CplAppletBase* Registered();

  // LONG DoubleClick(HWND, LPARAM, LPARAM): CPL_DBLCLK, the user opens the applet; 0.
  virtual LONG DoubleClick(HWND window, LPARAM data1, LPARAM data2);
  // LONG Exit(): CPL_EXIT, the host unloads the module next; 0.
  virtual LONG Exit();
  // LONG GetCount(): CPL_GETCOUNT, the number of applets of the module.
  virtual LONG GetCount();
  // LONG Init(): CPL_INIT after the module started; 1 to stay loaded.
  virtual LONG Init();
  // LONG NewInquire(LPARAM, NEWCPLINFOA&): CPL_NEWINQUIRE, fills the applet's description.
  virtual LONG NewInquire(LPARAM data1, NEWCPLINFOA& info);
  // LONG Select(LPARAM, LPARAM): CPL_SELECT; 1.
  virtual LONG Select(LPARAM data1, LPARAM data2);
  // LONG Stop(LPARAM, LPARAM): CPL_STOP, before CPL_EXIT; 1.
  virtual LONG Stop(LPARAM data1, LPARAM data2);
};

class JoystickApplet : public CplAppletBase {
 public:
  // `context` is the module's; it lives as long as the applet.
  explicit JoystickApplet(AppletContext& context) : m_context(context) {}

  // Runs the joystick sheet modally; 0 once it is closed.
  LONG DoubleClick(HWND window, LPARAM data1, LPARAM data2) override;
  // Icon 131 and string 57349 of the resource module; 0.
  LONG NewInquire(LPARAM data1, NEWCPLINFOA& info) override;

 private:
  AppletContext& m_context;
};

// Copies `text` into a fixed buffer of `size` bytes, cut to fit, always terminated.
void CopyCut(char* buffer, size_t size, const char* text);

}  // namespace kl
