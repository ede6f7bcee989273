// The editor's small dialogs: the profile name (template 102), the web
// address (281) and the About box (100). Each is made on the stack of the
// command that shows it.
#pragma once

#include <optional>
#include <string>

#include "framework/dialog.h"

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

}  // namespace kl
