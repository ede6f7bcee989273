#include "applet/win32/test_tab.h"

#include "applet/win32/context_help.h"

namespace kl {

bool TestTab::OnInitDialog() {
  SetHelpIds(kTestTabHelpIds);
  RouteHelpToParent();
  return CPropertyPage::OnInitDialog();
}

}  // namespace kl
