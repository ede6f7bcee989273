// The joystick type dialog (template 138), which gives a joystick id a type
// from the type list, and the custom joystick dialog (template 139), which
// describes the custom type's axes, buttons, hat and kind.
#pragma once

#include "applet/selection.h"
#include "applet/win32/applet_context.h"
#include "framework/controls.h"
#include "framework/dialog.h"

namespace kl {

class CustomJoystickDialog : public CDialog {
 public:
  static constexpr UINT kTemplateId = 139;
  explicit CustomJoystickDialog(AppletContext& context, HWND parent)
      : CDialog(kTemplateId, parent), m_context(context) {}

  // What OK made of the controls (flags 0 and buttons 255 until then).
  const CustomJoystickResult& Result() const { return m_result; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id) override;
  void OnOK() override;
  // bool OnContextMenu(HWND window, POINT screen): help for a control; none for the dialog itself.
  bool OnContextMenu(HWND window, POINT screen) override;

 private:
  void EnableKinds();

  AppletContext& m_context;
  CComboBox m_axes;
  CComboBox m_buttons;
  CButton m_hat;
  CButton m_special;
  CustomJoystickResult m_result{0, 255};
};

class JoystickTypeDialog : public CDialog {
 public:
  static constexpr UINT kTemplateId = 138;
  JoystickTypeDialog(AppletContext& context, HWND parent)
      : CDialog(kTemplateId, parent), m_context(context) {}

 protected:
  bool OnInitDialog() override;
  bool OnCommandCode(UINT code, UINT id, HWND control) override;
  void OnOK() override;
  bool OnContextMenu(HWND window, POINT screen) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // The custom type chosen by double click or the right arrow: its dialog,
  // then this dialog's OK.
  void ChooseCustom();

  AppletContext& m_context;
  CComboBox m_ids;
  CListBox m_types;
  TypeChoice m_choice;  // the custom flags and buttons start as the custom dialog's defaults
};

}  // namespace kl
