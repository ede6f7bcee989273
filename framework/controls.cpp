#include "framework/controls.h"

#include <commctrl.h>

#include <vector>

namespace kl {

namespace {

// The text of item `index` by the length and text messages of its control.
std::string ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
  const LRESULT length = SendMessageA(control, lengthMessage, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(control, textMessage, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

}  // namespace

int CComboBox::AddString(const std::string& text) const {
  const LRESULT index = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

bool CComboBox::SetCurSel(int index) const {
  return Send(CB_SETCURSEL, static_cast<WPARAM>(index)) == index;
}

std::string CComboBox::GetLBText(int index) const {
  return ItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int CListBox::AddString(const std::string& text) const {
  const LRESULT index = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

bool CListBox::SetCurSel(int index) const {
  const LRESULT result = Send(LB_SETCURSEL, static_cast<WPARAM>(index));
  return index == -1 || result == index;
}

std::string CListBox::GetText(int index) const {
  return ItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, index);
}

bool CAnimateCtrl::Open(const std::string& path) const {
  if (path.empty()) return false;
  if (Send(ACM_OPENA, 0, reinterpret_cast<LPARAM>(path.c_str())) == 0) return false;
  return Play();
}

bool CAnimateCtrl::Play() const {
  // From the first frame to the last, over and over.
  return Send(ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)) != 0;
}

bool CAnimateCtrl::Stop() const {
  return Send(ACM_STOP) != 0;
}

void CAnimateCtrl::Close() const {
  Send(ACM_OPENA, 0, 0);
}

}  // namespace kl
