#include "applet/win32/context_help.h"

#include "framework/dialog.h"

namespace kl {

const DWORD kSheetHelpIds[] = {1, 7, 2, 4, 12321, 2, 0, 0};
const DWORD kSelectTabHelpIds[] = {1021, 10,   1027, 9,    1020, 1,    1026, 19, 1022,
                                   19,   1023, 19,   1024, 19,   1025, 19,   0,  0};
const DWORD kCalibrateTabHelpIds[] = {1062, 8,  1063, 6,  1060, 3,  1061, 5,  1064, 16,
                                      1065, 16, 1066, 16, 1067, 16, 1068, 24, 1069, 24,
                                      1070, 24, 1071, 24, 1072, 24, 1073, 24, 0,    0};
const DWORD kTestTabHelpIds[] = {1080, 8,    1081, 6,    1082, 16,   1083, 16,   1084, 16,   1085,
                                 16,   1086, 14,   1088, 14,   1090, 14,   1091, 14,   1092, 14,
                                 1093, 14,   1087, 15,   1089, 15,   1094, 18,   0,    0};
const DWORD kJoystickTypeHelpIds[] = {1031, 13, 1030, 17, 1, 7, 2, 4, 0, 0};
const DWORD kCustomJoystickHelpIds[] = {1044, 11, 1041, 11, 1045, 12, 1042, 12, 1047, 21, 1046, 22,
                                        1049, 23, 1050, 23, 1051, 23, 1,    7,  2,    4,  0,    0};

bool ShowControlHelp(HWND owner, const HELPINFO& info, const std::string& helpFile,
                     const DWORD* table) {
  if (info.iContextType != HELPINFO_WINDOW) return false;
  AskControlHelp(owner, helpFile.c_str(), table, info);
  return true;
}

void ShowContextHelp(HWND self, HWND clicked, bool skipSelf, const std::string& helpFile,
                     const DWORD* table) {
  if (clicked == nullptr || (skipSelf && clicked == self)) return;
  WinHelpA(clicked, helpFile.c_str(), HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(table));
}

}  // namespace kl
