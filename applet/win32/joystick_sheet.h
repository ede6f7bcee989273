// The applet's property sheet. Its own handling of OK, Cancel, Apply and
// Help comes before the sheet's default: Apply stores the configuration and
// keeps the sheet open; Cancel puts back and stores the configuration the
// sheet opened with; OK stores it and the auto-detect choice. OK and Apply
// first let the active page commit what it holds.
#pragma once

#include <string>

#include "applet/win32/applet_context.h"
#include "framework/propsheet.h"

namespace kl {

class JoystickSheet : public CPropertySheet {
 public:
  JoystickSheet(std::string caption, AppletContext& context)
      : CPropertySheet(std::move(caption)), m_context(context) {}

 protected:
  // bool OnInitDialog(): no joystick chosen yet; the caption gets the help button.
  bool OnInitDialog() override;
  // bool OnCommand(UINT id): Apply and Help are handled here; OK and Cancel do
  // their work and go on to the sheet's default, which closes it.
  bool OnCommand(UINT id) override;
  // bool OnHelp(const HELPINFO& info): F1 on one of the sheet's own buttons.
  bool OnHelp(const HELPINFO& info) override;
  // bool OnContextMenu(HWND window, POINT screen): a right click on a button; none on the sheet.
  bool OnContextMenu(HWND window, POINT screen) override;

 private:
  void OnApplyNow();

  AppletContext& m_context;
};

}  // namespace kl
