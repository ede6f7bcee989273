#include "applet/win32/test_tab.h"

#include "applet/win32/context_help.h"
#include "framework/module.h"

namespace kl {

TestTab::TestTab(AppletContext& context)
    : CPropertyPage(kTemplateId), m_context(context), m_controls(*this), m_prompts(*this) {}

TestTab::~TestTab() {
  if (m_font != nullptr) DeleteObject(m_font);
}

bool TestTab::OnInitDialog() {
  SetHelpIds(kTestTabHelpIds);
  RouteHelpToParent();
  // The button numbers' font.
  m_font =
      CreateFontA(15, 5, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                  CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH, "MS Sans Serif");
  m_canvas = std::make_unique<PageWindowCanvas>(
      m_hWnd, static_cast<HMODULE>(AfxGetResourceHandle()), m_font);
  m_timers = std::make_unique<Win32Timers>(m_hWnd);
  m_view = std::make_unique<TestView>(
      TestViewPorts{*m_canvas, m_controls, m_prompts, *m_timers, m_context.joysticks.GetJoystick(),
                    m_context.joysticks.Strings()},
      m_context.state);
  const PageRect topLeft = ControlRect(m_hWnd, kTestAreaTopLeft);
  const PageRect bottomRight = ControlRect(m_hWnd, kTestAreaBottomRight);
  TestPageLayout layout;
  layout.pictureArea = PageRect{topLeft.left, topLeft.top, bottomRight.right, bottomRight.bottom};
  layout.xyCaption = ControlRect(m_hWnd, kTestXyCaption);
  layout.zCaption = ControlRect(m_hWnd, kTestZCaption);
  layout.rCaption = ControlRect(m_hWnd, kTestRCaption);
  layout.hatCaption = ControlRect(m_hWnd, kTestHatCaption);
  layout.buttonsCaption = ControlRect(m_hWnd, kTestButtonsCaption);
  m_view->OnInitDialog(layout);
  return CPropertyPage::OnInitDialog();
}

bool TestTab::OnSetActive() {
  if (m_view) m_view->OnSetActive();
  return CPropertyPage::OnSetActive();
}

bool TestTab::OnKillActive() {
  if (m_view) m_view->OnKillActive();
  return CPropertyPage::OnKillActive();
}

bool TestTab::OnPaint() {
  if (!m_view) return false;
  m_canvas->PaintPage([this] { m_view->OnPaint(); });
  return true;
}

bool TestTab::OnTimer(UINT_PTR id) {
  if (!m_view) return false;
  m_view->OnTimer(static_cast<uint32_t>(id));
  return true;
}

bool TestTab::OnCommand(UINT id) {
  if (!m_view) return false;
  if (id == static_cast<UINT>(kTestPrevious)) {
    m_view->OnPreviousJoystick();
    return true;
  }
  if (id == static_cast<UINT>(kTestFollowing)) {
    m_view->OnFollowingJoystick();
    return true;
  }
  return CPropertyPage::OnCommand(id);
}

bool TestTab::OnDestroy() {
  if (m_view) m_view->OnKillActive();
  return CPropertyPage::OnDestroy();
}

}  // namespace kl
