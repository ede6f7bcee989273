#include "applet/win32/type_dialogs.h"

#include "applet/win32/context_help.h"
#include "framework/dlginit.h"

namespace kl {

namespace {

constexpr int kIdsComboId = 1031;
constexpr int kTypesListId = 1030;
constexpr int kAxesComboId = 1044;
constexpr int kButtonsComboId = 1045;
constexpr int kSpecialBoxId = 1046;
constexpr int kHatBoxId = 1047;
constexpr int kCarControllerId = 1049;
constexpr int kGamepadId = 1050;
constexpr int kYokeId = 1051;

// WM_VKEYTOITEM answers: the list box goes on with the key, or takes it as done.
constexpr LRESULT kListBoxDefault = -1;
constexpr LRESULT kListBoxHandled = -2;

}  // namespace

bool CustomJoystickDialog::OnInitDialog() {
  SetHelpIds(kCustomJoystickHelpIds);
  RouteHelpToParent();
  ExecuteDlgInit(m_hWnd, kTemplateId);
  m_axes.Attach(m_hWnd, kAxesComboId);
  m_buttons.Attach(m_hWnd, kButtonsComboId);
  m_hat.Attach(m_hWnd, kHatBoxId);
  m_special.Attach(m_hWnd, kSpecialBoxId);
  m_axes.SetCurSel(0);
  m_buttons.SetCurSel(0);
  m_result = {0, 255};
  EnableKinds();
  return true;
}

void CustomJoystickDialog::EnableKinds() {
  const bool special = m_special.GetCheck();
  for (int id : {kCarControllerId, kGamepadId, kYokeId}) {
    HWND radio = GetDlgItem(m_hWnd, id);
    if (radio != nullptr) EnableWindow(radio, special ? TRUE : FALSE);
  }
}

bool CustomJoystickDialog::OnCommand(UINT id) {
  if (id != kSpecialBoxId) return false;
  EnableKinds();
  return true;
}

void CustomJoystickDialog::OnOK() {
  CustomJoystickChoice choice;
  choice.axesEntry = static_cast<uint32_t>(std::max(m_axes.GetCurSel(), 0));
  choice.buttonEntry = static_cast<uint32_t>(std::max(m_buttons.GetCurSel(), 0));
  choice.hasHat = m_hat.GetCheck();
  choice.special = m_special.GetCheck();
  if (IsDlgButtonChecked(m_hWnd, kCarControllerId) == BST_CHECKED) {
    choice.kind = SpecialKind::kCarController;
  } else if (IsDlgButtonChecked(m_hWnd, kGamepadId) == BST_CHECKED) {
    choice.kind = SpecialKind::kGamepad;
  } else if (IsDlgButtonChecked(m_hWnd, kYokeId) == BST_CHECKED) {
    choice.kind = SpecialKind::kYoke;
  }
  m_result = AcceptCustomJoystick(choice);
  EndDialog(IDOK);
}

bool CustomJoystickDialog::OnContextMenu(HWND window, POINT screen) {
  return window == m_hWnd || CDialog::OnContextMenu(window, screen);
}

bool JoystickTypeDialog::OnInitDialog() {
  SetHelpIds(kJoystickTypeHelpIds);
  RouteHelpToParent();
  ExecuteDlgInit(m_hWnd, kTemplateId);
  m_ids.Attach(m_hWnd, kIdsComboId);
  m_types.Attach(m_hWnd, kTypesListId);
  for (const JoystickTypeEntry& type : m_context.state.types) m_types.AddString(type.displayName);
  const TypeDialogSelection selection = InitialTypeSelection(m_context.state);
  m_ids.SetCurSel(static_cast<int>(selection.comboIndex));
  m_types.SetCurSel(static_cast<int>(selection.typeIndex));
  return true;
}

void JoystickTypeDialog::ChooseCustom() {
  if (m_types.GetCurSel() != static_cast<int>(kJoyTypeCustom)) return;
  CustomJoystickDialog custom(m_context, m_hWnd);
  if (custom.DoModal() != IDOK) return;
  m_choice.customFlags = custom.Result().flags;
  m_choice.customButtons = custom.Result().buttons;
  OnOK();
}

bool JoystickTypeDialog::OnCommandCode(UINT code, UINT id, HWND control) {
  if (id == static_cast<UINT>(kTypesListId) && code == LBN_DBLCLK) {
    ChooseCustom();
    return true;
  }
  return CDialog::OnCommandCode(code, id, control);
}

void JoystickTypeDialog::OnOK() {
  const int id = m_ids.GetCurSel();
  const int type = m_types.GetCurSel();
  // Without a joystick number or a type there is nothing to accept; the dialog stays.
  if (id < 0 || type < 0) return;
  m_choice.id = static_cast<uint32_t>(id) + 1;
  m_choice.type = static_cast<uint32_t>(type);
  if (!AcceptJoystickType(m_context.joysticks, m_context.state, m_choice)) return;
  EndDialog(IDOK);
}

bool JoystickTypeDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_VKEYTOITEM && reinterpret_cast<HWND>(lParam) == m_types.GetSafeHwnd()) {
    if (LOWORD(wParam) == VK_RIGHT && m_types.GetCurSel() == static_cast<int>(kJoyTypeCustom)) {
      ChooseCustom();
      result = kListBoxHandled;
    } else {
      result = kListBoxDefault;
    }
    return true;
  }
  return CDialog::OnMessage(message, wParam, lParam, result);
}

bool JoystickTypeDialog::OnContextMenu(HWND window, POINT screen) {
  return window == m_hWnd || CDialog::OnContextMenu(window, screen);
}

}  // namespace kl
