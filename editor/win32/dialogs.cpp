#include "editor/win32/dialogs.h"

#include "editor/win32/kloom_ids.h"

namespace kl {

ProfileNameDialog::ProfileNameDialog(std::string initial, HWND parent)
    : CDialog(kProfileNameDialogId, parent), m_text(std::move(initial)) {}

std::optional<std::string> ProfileNameDialog::Ask() {
  if (DoModal() != IDOK) {
    return std::nullopt;
  }
  return m_text;
}

bool ProfileNameDialog::OnInitDialog() {
  RouteHelpToParent();
  SetItemText(kProfileNameEdit, m_text);
  // Selected from the end back to the start: the caret stands at the start.
  SetSelection(kProfileNameEdit, static_cast<int>(m_text.size()), 0, true);
  SetFocus(DlgItem(kProfileNameEdit));
  return false;
}

void ProfileNameDialog::OnOK() {
  m_text = GetItemText(kProfileNameEdit).substr(0, kMaxName);
  CDialog::OnOK();
}

WebAddressDialog::WebAddressDialog(std::string initial, HWND parent)
    : CDialog(kWebAddressDialogId, parent), m_text(std::move(initial)) {}

std::optional<std::string> WebAddressDialog::Ask() {
  if (DoModal() != IDOK) {
    return std::nullopt;
  }
  return m_text;
}

bool WebAddressDialog::OnInitDialog() {
  RouteHelpToParent();
  SetItemText(kWebAddressEdit, m_text);
  SetSelection(kWebAddressEdit, 0, -1, true);
  return true;
}

void WebAddressDialog::OnOK() {
  m_text = GetItemText(kWebAddressEdit);
  CDialog::OnOK();
}

AboutDialog::AboutDialog(HWND parent) : CDialog(kAboutDialogId, parent) {}

}  // namespace kl
