#include "applet/win32/calibrate_tab.h"

#include "applet/win32/context_help.h"

namespace kl {

bool CalibrateTab::OnInitDialog() {
  SetHelpIds(kCalibrateTabHelpIds);
  RouteHelpToParent();
  return CPropertyPage::OnInitDialog();
}

}  // namespace kl
