#include "applet/win32/calibrate_tab.h"

#include "applet/win32/context_help.h"
#include "framework/module.h"

namespace kl {
namespace {

Point LabelCorner(HWND page, int id) {
  const PageRect rect = ControlRect(page, id);
  return Point{rect.left, rect.top};
}

}  // namespace

CalibrateTab::CalibrateTab(AppletContext& context)
    : CPropertyPage(kTemplateId), m_context(context), m_controls(*this), m_prompts(*this) {}

CalibrateTab::~CalibrateTab() = default;

bool CalibrateTab::OnInitDialog() {
  SetHelpIds(kCalibrateTabHelpIds);
  RouteHelpToParent();
  m_canvas = std::make_unique<PageWindowCanvas>(
      m_hWnd, static_cast<HMODULE>(AfxGetResourceHandle()), nullptr);
  m_timers = std::make_unique<Win32Timers>(m_hWnd);
  m_calibration = std::make_unique<Calibration>(
      CalibrationPorts{*m_canvas, m_controls, m_prompts, *m_timers, m_context.joysticks,
                       m_context.joysticks.Strings()},
      m_context.state);
  m_calibration->OnInitDialog(
      CalibrationLayout{LabelCorner(m_hWnd, kCalXyLabel), LabelCorner(m_hWnd, kCalZLabel),
                        LabelCorner(m_hWnd, kCalRLabel), LabelCorner(m_hWnd, kCalHatLabel)});
  return CPropertyPage::OnInitDialog();
}

bool CalibrateTab::OnSetActive() {
  if (m_calibration) m_calibration->OnSetActive();
  return CPropertyPage::OnSetActive();
}

bool CalibrateTab::OnKillActive() {
  if (m_calibration) m_calibration->OnKillActive();
  return CPropertyPage::OnKillActive();
}

bool CalibrateTab::CommitPage() {
  if (m_calibration) m_calibration->Commit();
  return true;
}

bool CalibrateTab::OnPaint() {
  if (!m_calibration) return false;
  m_canvas->PaintPage([this] { m_calibration->OnPaint(); });
  return true;
}

bool CalibrateTab::OnTimer(UINT_PTR id) {
  if (!m_calibration) return false;
  m_calibration->OnTimer(static_cast<uint32_t>(id));
  return true;
}

bool CalibrateTab::OnCommand(UINT id) {
  if (!m_calibration) return false;
  switch (id) {
    case kCalBack:
      m_calibration->OnBack();
      return true;
    case kCalSkip:
      m_calibration->OnSkip();
      return true;
    case kCalPrevious:
      m_calibration->OnPreviousJoystick();
      return true;
    case kCalFollowing:
      m_calibration->OnFollowingJoystick();
      return true;
    default:
      return CPropertyPage::OnCommand(id);
  }
}

}  // namespace kl
