#include "controls/user_input.h"

#include "harness/support.h"

namespace kl::winetest {

namespace {

void Mouse(DWORD flags, POINT at) {
  // Absolute coordinates are in 0..65535 over the primary screen.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((at.x * 65536 + width / 2) / width);
  input.mi.dy = static_cast<LONG>((at.y * 65536 + height / 2) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  SendInput(1, &input, sizeof input);
}

}  // namespace

void ClickAt(POINT at) {
  Mouse(0, at);
  Mouse(MOUSEEVENTF_LEFTDOWN, at);
  Mouse(MOUSEEVENTF_LEFTUP, at);
}

void DoubleClickAt(POINT at) {
  Mouse(0, at);
  Mouse(MOUSEEVENTF_LEFTDOWN, at);
  Mouse(MOUSEEVENTF_LEFTUP, at);
  Mouse(MOUSEEVENTF_LEFTDOWN, at);
  Mouse(MOUSEEVENTF_LEFTUP, at);
}

void RightClickAt(POINT at) {
  Mouse(0, at);
  Mouse(MOUSEEVENTF_RIGHTDOWN, at);
  Mouse(MOUSEEVENTF_RIGHTUP, at);
}

void PressKey(WORD vk) {
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = vk;
    // Wine does not fill the scan code in by itself.
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  }
  const bool extended = vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT;
  keys[0].ki.dwFlags = extended ? KEYEVENTF_EXTENDEDKEY : 0;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(2, keys, sizeof(INPUT));
}

bool BringToFront(HWND window) {
  return WaitUntil(
      [window] {
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return false;
      },
      5000);
}

POINT ClientCentre(HWND window, const RECT& rect) {
  POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(window, &at);
  return at;
}

}  // namespace kl::winetest
