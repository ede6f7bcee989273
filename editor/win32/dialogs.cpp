#include "editor/win32/dialogs.h"

#include "editor/win32/kloom_ids.h"

namespace kl {

namespace {

// Control id and help topic of KLOOM.HLP, ending in 0, 0.
constexpr DWORD kProfileNameHelpIds[] = {kProfileNameEdit, 60, IDOK, 61, IDCANCEL, 62, 0, 0};
constexpr DWORD kWebAddressHelpIds[] = {kWebAddressEdit, 63, IDOK, 64, IDCANCEL, 62, 0, 0};
constexpr DWORD kAssignmentTableHelpIds[] = {kAssignmentList, 52, IDOK, 53, 0, 0};

}  // namespace

ProfileNameDialog::ProfileNameDialog(std::string initial, HWND parent)
    : CDialog(kProfileNameDialogId, parent), m_text(std::move(initial)) {
  SetHelpIds(kProfileNameHelpIds);
}

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
    : CDialog(kWebAddressDialogId, parent), m_text(std::move(initial)) {
  SetHelpIds(kWebAddressHelpIds);
}

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

AssignmentTableDialog::AssignmentTableDialog(const AssignmentTable& table, HWND parent)
    : CDialog(kAssignmentTableDialogId, parent), m_table(table) {
  SetHelpIds(kAssignmentTableHelpIds);
}

bool AssignmentTableDialog::OnInitDialog() {
  RouteHelpToParent();
  if (!m_list.Attach(m_hWnd, kAssignmentList)) return true;
  for (int column = 0; column < 3; ++column) {
    m_list.InsertColumn(column, m_table.titles[column], LVCFMT_LEFT, m_table.widths[column]);
  }
  m_list.DeleteAllItems();
  int item = 0;
  for (const AssignmentRow& row : m_table.rows) {
    const int at = m_list.InsertItem(item, row.input, 0, 0);
    if (at < 0) break;
    m_list.SetItemText(at, 1, row.mode);
    m_list.SetItemText(at, 2, row.keys);
    ++item;
  }
  return true;
}

}  // namespace kl
