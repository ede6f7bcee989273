// The calibration page (template 137): a window over the portable
// Calibration. It hands its messages to the controller (activation, paint,
// the 30 ms timer, the four buttons, leaving) and gives it the page's ports;
// the sheet's OK and Apply let it keep what the page finished.
#pragma once

#include <memory>

// First: it settles the names <windows.h> would turn into macros.
#include "applet/win32/page_window_ports.h"

#include "applet/calibration.h"
#include "applet/win32/applet_context.h"
#include "framework/propsheet.h"
#include "platform/win32/win32_timers.h"

namespace kl {

class CalibrateTab : public CPropertyPage {
 public:
  static constexpr UINT kTemplateId = 137;
  static constexpr const char* kRuntimeClassName = "CalibrateTab";

  explicit CalibrateTab(AppletContext& context);
  ~CalibrateTab() override;

  // bool CommitPage(): stores the finished stages of the current joystick.
  bool CommitPage() override;

 protected:
  bool OnInitDialog() override;
  bool OnSetActive() override;
  bool OnKillActive() override;
  bool OnPaint() override;
  bool OnTimer(UINT_PTR id) override;
  bool OnCommand(UINT id) override;

 private:
  AppletContext& m_context;
  std::unique_ptr<PageWindowCanvas> m_canvas;
  PageWindowControls m_controls;
  PageWindowPrompts m_prompts;
  std::unique_ptr<Win32Timers> m_timers;
  std::unique_ptr<Calibration> m_calibration;
};

}  // namespace kl
