// The editor's small dialogs: the profile name (template 102), the web
// address (281), the About box (100) and the assignment table (103). Each
// is made on the stack of the command that shows it; the first two and the
// table answer F1 and the right click with their control's help topic.
#pragma once

#include <optional>
#include <string>

#include "editor/dialogs.h"
#include "framework/dialog.h"
#include "framework/listctrl.h"

namespace kl {

// Proposes a name, all of it selected; on OK its first 10 characters.
class ProfileNameDialog : public CDialog {
 public:
  static constexpr size_t kMaxName = 10;
  explicit ProfileNameDialog(std::string initial, HWND parent = nullptr);
  // The name on OK, none on Cancel.
  std::optional<std::string> Ask();

 protected:
  // bool OnInitDialog(): false; the focus is on the edit control.
  bool OnInitDialog() override;
  // void OnOK(): keeps the first 10 characters and ends with IDOK.
  void OnOK() override;

 private:
  std::string m_text;
};

// Shows an address, selected; on OK the whole text of the edit control.
class WebAddressDialog : public CDialog {
 public:
  explicit WebAddressDialog(std::string initial, HWND parent = nullptr);
  // The address on OK, none on Cancel.
  std::optional<std::string> Ask();

 protected:
  // bool OnInitDialog(): true; the dialog manager places the focus.
  bool OnInitDialog() override;
  // void OnOK(): keeps the text and ends with IDOK.
  void OnOK() override;

 private:
  std::string m_text;
};

class AboutDialog : public CDialog {
 public:
  explicit AboutDialog(HWND parent = nullptr);
};

// Every entry of the shown pad as a row of its report list: input, mode, keys.
class AssignmentTableDialog : public CDialog {
 public:
  explicit AssignmentTableDialog(const AssignmentTable& table, HWND parent = nullptr);

 protected:
  // bool OnInitDialog(): true; the columns and one row per entry are filled in.
  bool OnInitDialog() override;

 private:
  const AssignmentTable& m_table;
  CListCtrl m_list;
};

}  // namespace kl
