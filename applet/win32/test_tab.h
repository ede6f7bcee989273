// The test page (template 136): a window over the portable TestView. It
// hands its messages to the controller (activation, paint, the 30 ms timer,
// the two joystick buttons, leaving), gives it the page's ports and owns the
// page font the button numbers are written in.
#pragma once

#include <memory>

// First: it settles the names <windows.h> would turn into macros.
#include "applet/win32/page_window_ports.h"

#include "applet/test_view.h"
#include "applet/win32/applet_context.h"
#include "framework/propsheet.h"
#include "platform/win32/win32_timers.h"

namespace kl {

class TestTab : public CPropertyPage {
 public:
  static constexpr UINT kTemplateId = 136;
  static constexpr const char* kRuntimeClassName = "TestTab";

  explicit TestTab(AppletContext& context);
  ~TestTab() override;

  // bool CommitPage(): the page only reads; there is nothing to commit.
  bool CommitPage() override { return true; }

 protected:
  bool OnInitDialog() override;
  bool OnSetActive() override;
  bool OnKillActive() override;
  bool OnPaint() override;
  bool OnTimer(UINT_PTR id) override;
  bool OnCommand(UINT id) override;
  bool OnDestroy() override;

 private:
  AppletContext& m_context;
  HFONT m_font = nullptr;
  std::unique_ptr<PageWindowCanvas> m_canvas;
  PageWindowControls m_controls;
  PageWindowPrompts m_prompts;
  std::unique_ptr<Win32Timers> m_timers;
  std::unique_ptr<TestView> m_view;
};

}  // namespace kl
