// OSTRA.CPL under Wine, loaded by a small host that sends the control panel's
// messages itself and by Wine's own control panel: the protocol's answers,
// the sheet and its pages driven with the pointer and the keys, what lands in
// Wine's registry, the virtual pad plugged in and out, and the runtime mapper
// recognising the pad the applet configured.
#include <windows.h>

#include <commctrl.h>
#include <cpl.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "applet/cpl_host.h"
#include "controls/user_input.h"
#include "harness/support.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"

namespace kl::applettest {
namespace {

using winetest::ClickAt;
using winetest::ClientCentre;
using winetest::ProgramFolder;
using winetest::RunHelper;
using winetest::RunResult;
using winetest::WaitUntil;

const std::string kJoystickPath = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
const std::string kOemPath =
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM";
const char* const kJoyPath = "Control Panel\\Joy";
const char* const kWorkPathKey = "Software\\Vornatek\\GamePad2\\WorkPath";

constexpr int kListId = 1021;
constexpr int kTypeButtonId = 1020;
constexpr int kAutoDetectId = 1027;
constexpr int kIdsComboId = 1031;
constexpr int kTypesListId = 1030;
constexpr int kIdApplyNowButton = 12321;

// A text of OSTRARS.DLL, read from the module as a data file.
std::string OstraString(UINT id) {
  static HMODULE module =
      LoadLibraryExA((ProgramFolder() + "OSTRARS.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  char text[512] = {};
  LoadStringA(module, id, text, sizeof text);
  return text;
}

std::string Vpadctl(const std::vector<std::string>& args) {
  const RunResult result = RunHelper("vpadctl.exe", args);
  EXPECT_TRUE(result.finished && result.exitCode == 0) << result.output;
  return result.output;
}

// joyConfigChanged calls the virtual pad counted.
long ConfigChangedCount() {
  const std::string shown = Vpadctl({"show"});
  const size_t at = shown.find("configchanged=");
  return at == std::string::npos ? -1 : std::stol(shown.substr(at + 14));
}

std::string KltoolShowJson() {
  const RunResult result = RunHelper("kltool.exe", {"joystick", "show", "--json"});
  EXPECT_TRUE(result.finished && result.exitCode == 0) << result.output;
  return result.output;
}

bool Kltool(const std::vector<std::string>& args) {
  const RunResult result = RunHelper("kltool.exe", args);
  EXPECT_TRUE(result.finished && result.exitCode == 0) << result.output;
  return result.finished && result.exitCode == 0;
}

HKEY CreateKey(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

// A 32-bit word of a binary value, or -1 when the value is missing.
std::vector<BYTE> Value(HKEY root, const std::string& path, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::vector<BYTE> data(1024);
  DWORD size = static_cast<DWORD>(data.size());
  const LONG result = RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return {};
  data.resize(size);
  return data;
}

uint32_t Word(const std::vector<BYTE>& bytes, size_t offset) {
  if (bytes.size() < offset + 4) return 0xFFFFFFFF;
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// The texts of a list view's rows, column by column.
std::vector<std::vector<std::string>> Rows(HWND list) {
  std::vector<std::vector<std::string>> rows;
  const int count = ListView_GetItemCount(list);
  for (int item = 0; item < count; ++item) {
    std::vector<std::string> row;
    for (int column = 0; column < 3; ++column) {
      char text[256] = {};
      ListView_GetItemText(list, item, column, text, sizeof text);
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> Column(HWND list, int column) {
  std::vector<std::string> texts;
  for (const auto& row : Rows(list)) texts.push_back(row[static_cast<size_t>(column)]);
  return texts;
}

// The window with the keyboard focus on `window`'s thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

int RowImage(HWND list, int item) {
  LVITEMA lv = {};
  lv.mask = LVIF_IMAGE;
  lv.iItem = item;
  if (!ListView_GetItem(list, &lv)) return -1;
  return lv.iImage;
}

RECT RowRect(HWND list, int item) {
  RECT rect = {};
  ListView_GetItemRect(list, item, &rect, LVIR_BOUNDS);
  return rect;
}

// Deletes the subkeys of `path` whose names start with `prefix`.
void DeleteKeysStartingWith(const std::string& path, const std::string& prefix) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  std::vector<std::string> names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (std::string(name).rfind(prefix, 0) == 0) names.push_back(name);
  }
  RegCloseKey(key);
  for (const std::string& stale : names)
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (path + "\\" + stale).c_str());
}

class AppletOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    // A test process that was ended before its TearDown leaves its keys; a
    // later one may get the same process id, and every one would see the
    // stale pad type in its type list. The cases run one at a time.
    DeleteKeysStartingWith(kJoystickPath, "KlCplTest");
    DeleteKeysStartingWith(kOemPath, "KlCplPad");
    const std::string id = std::to_string(GetCurrentProcessId());
    m_driver = "KlCplTest" + id;
    m_padKey = "KlCplPad" + id;
    HKEY driver = CreateKey(HKEY_LOCAL_MACHINE, kJoystickPath + "\\" + m_driver);
    ASSERT_NE(driver, nullptr);
    RegCloseKey(driver);
    HKEY type = CreateKey(HKEY_LOCAL_MACHINE, kOemPath + "\\" + m_padKey);
    ASSERT_NE(type, nullptr);
    const std::string name = OstraString(57347);
    ASSERT_FALSE(name.empty());
    RegSetValueExA(type, "OEMName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>(name.size() + 1));
    const BYTE data[8] = {0x20, 0, 0, 0, 12, 0, 0, 0};
    RegSetValueExA(type, "OEMData", 0, REG_BINARY, data, sizeof data);
    RegCloseKey(type);

    // The work folder holds the help file and the animation.
    HKEY work = CreateKey(HKEY_CURRENT_USER, kWorkPathKey);
    ASSERT_NE(work, nullptr);
    std::string folder = ProgramFolder();
    folder.pop_back();
    RegSetValueExA(work, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(work);
    SetAutoDetect(1);

    Vpadctl({"reset"});
    Vpadctl({"plug", "0", "buttons=12", "regkey=" + m_driver});
  }
  void TearDown() override {
    m_host.Unload();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kJoystickPath + "\\" + m_driver).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kOemPath + "\\" + m_padKey).c_str());
    Vpadctl({"reset"});
  }

  static void SetAutoDetect(BYTE flag) {
    HKEY joy = CreateKey(HKEY_CURRENT_USER, kJoyPath);
    ASSERT_NE(joy, nullptr);
    RegSetValueExA(joy, "AutoDetect", 0, REG_BINARY, &flag, 1);
    RegCloseKey(joy);
  }
  static int AutoDetect() {
    const std::vector<BYTE> value = Value(HKEY_CURRENT_USER, kJoyPath, "AutoDetect");
    return value.size() == 1 ? value[0] : -1;
  }

  std::string Settings() const {
    return kJoystickPath + "\\" + m_driver + "\\CurrentJoystickSettings";
  }
  // A joystick configured on `id` before the sheet opens, by its 112 bytes;
  // with `oemKey`, of that registered type.
  void Configure(uint32_t id, uint32_t flags, uint32_t buttons, uint32_t type,
                 const std::string& oemKey = "") {
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, Settings());
    ASSERT_NE(key, nullptr);
    BYTE config[112] = {};
    std::memcpy(config, &flags, 4);
    std::memcpy(config + 4, &buttons, 4);
    const uint32_t usage = oemKey.empty() ? 2 : 6;  // present, and of a registered type
    std::memcpy(config + 8, &usage, 4);
    std::memcpy(config + 104, &type, 4);
    const std::string name = "Joystick" + std::to_string(id) + "Configuration";
    RegSetValueExA(key, name.c_str(), 0, REG_BINARY, config, sizeof config);
    if (!oemKey.empty()) {
      const std::string oemName = "Joystick" + std::to_string(id) + "OEMName";
      RegSetValueExA(key, oemName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(oemKey.c_str()),
                     static_cast<DWORD>(oemKey.size() + 1));
    }
    RegCloseKey(key);
  }

  // Loads the applet, starts it as a host does and opens the sheet; its help
  // calls are recorded (and control help refused with `refuseControlHelp`).
  void OpenSheet(bool refuseControlHelp = false) {
    std::string error;
    ASSERT_TRUE(m_host.Load(ProgramFolder() + "OSTRA.CPL", error)) << error;
    ASSERT_TRUE(m_host.RecordHelp(refuseControlHelp));
    ASSERT_TRUE(m_host.Start());
    m_host.OpenSheet();
    m_sheet = WaitForSheet(OstraString(14));
    ASSERT_NE(m_sheet, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Page() != nullptr; }));
    m_list = GetDlgItem(Page(), kListId);
    ASSERT_NE(m_list, nullptr);
    ASSERT_TRUE(winetest::BringToFront(m_sheet));
  }
  // The page's first presence check after opening finds the pad answering,
  // refills the list and chooses its first row.
  void WaitForFirstPresenceCheck() {
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetSelectedCount(m_list) == 1; }, 5000));
    EXPECT_EQ(ListView_GetNextItem(m_list, -1, LVNI_SELECTED), 0);
  }
  HWND Page() const { return PropSheet_GetCurrentPageHwnd(m_sheet); }
  // Waits until the sheet's thread has finished what it was doing (storing a
  // dialog's choice, say): a message sent to it is taken only between handlers.
  void SyncWithSheet() {
    DWORD_PTR ignored = 0;
    ASSERT_NE(SendMessageTimeoutA(m_sheet, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored), 0);
  }
  HWND Tabs() const { return PropSheet_GetTabControl(m_sheet); }
  void ClickTab(int index) {
    RECT rect = {};
    ASSERT_TRUE(TabCtrl_GetItemRect(Tabs(), index, &rect));
    ClickAt(ClientCentre(Tabs(), rect));
  }
  void ClickControl(HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    ASSERT_NE(control, nullptr) << id;
    RECT rect = {};
    GetClientRect(control, &rect);
    ClickAt(ClientCentre(control, rect));
  }
  void ClickRow(int item) { ClickAt(ClientCentre(m_list, RowRect(m_list, item))); }
  // Presses one of the sheet's buttons with the pointer and, for OK and
  // Cancel, waits for the sheet to close.
  void PressSheetButton(int id) {
    ClickControl(m_sheet, id);
    if (id == IDOK || id == IDCANCEL) {
      ASSERT_TRUE(m_host.WaitSheetClosed()) << "the sheet stayed open";
    }
  }
  // The message box the sheet shows, its text, and closes it with its OK.
  std::string TakeMessageBox() {
    HWND box = WaitForOwnedDialog(m_sheet, "", 5000);
    if (box == nullptr) return {};
    const std::string text = MessageBoxText(box);
    ClickControl(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
  }
  // Picks type `type` in the type dialog's list: a click on its top row, then the keys.
  void ChooseType(HWND dialog, int type) {
    HWND types = GetDlgItem(dialog, kTypesListId);
    RECT item = {};
    ListBox_GetItemRect(types, ListBox_GetTopIndex(types), &item);
    ClickAt(ClientCentre(types, item));
    winetest::PressKey(VK_HOME);
    for (int i = 0; i < type; ++i) winetest::PressKey(VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return ListBox_GetCurSel(types) == type; }));
  }
  // A picture of `window` for review; `repaint` paints it through first (not
  // on the calibration page, which a paint starts again).
  std::string Shot(HWND window, const std::string& name, bool repaint = true) {
    // Wine draws a new window's caption as inactive until told otherwise.
    SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    // Painted through before the picture is taken (the paint messages are sent).
    if (repaint) {
      RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // Another thread or process paints on its own time: the picture is for
    // review only and asserts nothing, so it may wait a moment.
    WaitUntil([] { return false; }, 400);
    const std::string path = orvotest::SaveScreenshot(window, name);
    EXPECT_FALSE(path.empty()) << name;
    return path;
  }

  std::string m_driver;
  std::string m_padKey;
  CplHost m_host;
  HWND m_sheet = nullptr;
  HWND m_list = nullptr;
};

TEST_F(AppletOnWine, AnswersEveryMessageOfTheControlPanel) {
  std::string error;
  ASSERT_TRUE(m_host.Load(ProgramFolder() + "OSTRA.CPL", error)) << error;
  EXPECT_EQ(m_host.Send(CPL_INIT), 1);
  EXPECT_EQ(m_host.Send(CPL_GETCOUNT), 1);

  CPLINFO inquired;
  std::memset(&inquired, 0xA5, sizeof inquired);
  EXPECT_EQ(m_host.Send(CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&inquired)), 0);
  const auto* raw = reinterpret_cast<const BYTE*>(&inquired);
  for (size_t i = 0; i < sizeof inquired; ++i)
    ASSERT_EQ(raw[i], 0xA5) << "CPL_INQUIRE wrote byte " << i;

  NEWCPLINFOA info;
  std::memset(&info, 0xA5, sizeof info);
  EXPECT_EQ(m_host.Send(CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.dwSize, sizeof info);
  EXPECT_EQ(info.dwFlags, 0u);
  EXPECT_EQ(info.dwHelpContext, 0u);
  EXPECT_EQ(info.lData, 0);
  HMODULE resources = GetModuleHandleA((ProgramFolder() + "OSTRARS.DLL").c_str());
  ASSERT_NE(resources, nullptr) << "the applet did not load its resource module";
  EXPECT_EQ(info.hIcon, LoadIconA(resources, MAKEINTRESOURCEA(131)));
  EXPECT_NE(info.hIcon, nullptr);
  EXPECT_EQ(std::string(info.szName), OstraString(57349));
  EXPECT_STREQ(info.szInfo, "Joystick Control Panel Applet");
  EXPECT_STREQ(info.szHelpFile, "");

  struct Case {
    UINT message;
    LONG answer;
  };
  const Case cases[] = {
      {CPL_SELECT, 1}, {9, 0}, {10, 0}, {11, 1}, {0x400, 1}, {CPL_STOP, 1}, {CPL_EXIT, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(m_host.Send(c.message), c.answer) << c.message;
  // After CPL_EXIT the resource module is gone, and the module starts again.
  EXPECT_EQ(GetModuleHandleA((ProgramFolder() + "OSTRARS.DLL").c_str()), nullptr);
  EXPECT_EQ(m_host.Send(CPL_INIT), 1);
}

TEST_F(AppletOnWine, WithoutItsResourceModuleItDoesNotStartAndShowsNothing) {
  // The applet alone in a folder: the resource module beside the test
  // program must not be taken instead.
  const std::string folder = ProgramFolder() + "alone\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(
      CopyFileA((ProgramFolder() + "OSTRA.CPL").c_str(), (folder + "OSTRA.CPL").c_str(), FALSE));
  SetCurrentDirectoryA(ProgramFolder().c_str());
  std::string error;
  ASSERT_TRUE(m_host.Load(folder + "OSTRA.CPL", error)) << error;
  EXPECT_EQ(m_host.Send(CPL_INIT), 0);
  EXPECT_EQ(m_host.Send(CPL_DBLCLK), 0);
  EXPECT_EQ(WaitForSheet(OstraString(14), 1500), nullptr);
  EXPECT_EQ(WaitForSheet("", 100), nullptr);
}

TEST_F(AppletOnWine, SheetHasItsCaptionTabsAndContextHelpButton) {
  OpenSheet();
  EXPECT_EQ(Text(m_sheet), OstraString(14));
  EXPECT_TRUE(GetWindowLongPtrA(m_sheet, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
  ASSERT_EQ(TabCtrl_GetItemCount(Tabs()), 3);
  const char* const expected[] = {"Controllers", "Calibration", "Test"};
  for (int i = 0; i < 3; ++i) {
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(Tabs(), TCM_GETITEMA, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, expected[i]);
  }
  // The help button of the first page.
  HWND help = GetDlgItem(m_sheet, IDHELP);
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(IsWindowVisible(help));
  Shot(m_sheet, "sheet-controllers");
  PressSheetButton(IDCANCEL);
}

TEST_F(AppletOnWine, AutoDetectionPlacesTheVirtualPadOnIdOne) {
  OpenSheet();
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(m_list) == 1; }));
  WaitForFirstPresenceCheck();
  const auto rows = Rows(m_list);
  EXPECT_EQ(rows[0][0], " 1");
  EXPECT_EQ(rows[0][1], OstraString(57347));
  EXPECT_EQ(rows[0][2], OstraString(20));
  EXPECT_EQ(RowImage(m_list, 0), 1);  // the 12-button pad
  EXPECT_EQ(IsDlgButtonChecked(Page(), kAutoDetectId), BST_CHECKED);
  const std::vector<BYTE> config = Value(HKEY_LOCAL_MACHINE, Settings(), "Joystick1Configuration");
  ASSERT_EQ(config.size(), 112u);
  EXPECT_EQ(Word(config, 0), 0x20u);
  EXPECT_EQ(Word(config, 4), 12u);
  EXPECT_EQ(Word(config, 8), 6u);
  EXPECT_EQ(Word(config, 104), 15u);
  const std::vector<BYTE> key = Value(HKEY_LOCAL_MACHINE, Settings(), "Joystick1OEMName");
  EXPECT_EQ(std::string(key.begin(), key.end()), m_padKey + std::string(1, '\0'));

  // Unplugged: the list says so within about a second, and the driver is told.
  const long changed = ConfigChangedCount();
  Vpadctl({"unplug", "0"});
  EXPECT_TRUE(WaitUntil(
      [&] { return Column(m_list, 2) == std::vector<std::string>{OstraString(21)}; }, 5000))
      << (Rows(m_list).empty() ? "no rows" : Rows(m_list)[0][2]);
  EXPECT_EQ(RowImage(m_list, 0), 3);
  EXPECT_GT(ConfigChangedCount(), changed);
  Shot(m_sheet, "sheet-unplugged");
  Vpadctl({"plug", "0"});
  EXPECT_TRUE(WaitUntil(
      [&] { return Column(m_list, 2) == std::vector<std::string>{OstraString(20)}; }, 5000));
  PressSheetButton(IDOK);
}

TEST_F(AppletOnWine, RowsSortByTheClickedColumn) {
  Configure(6, 0x20, 2, 4);  // a 2-button gamepad, not plugged in: kept, not answering
  Configure(7, 0x20, 4, 9);  // a 4-button gamepad
  OpenSheet();
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(m_list) == 3; }));
  WaitForFirstPresenceCheck();
  HWND header = ListView_GetHeader(m_list);
  auto clickColumn = [&](int column) {
    RECT rect = {};
    ASSERT_TRUE(Header_GetItemRect(header, column, &rect));
    ClickAt(ClientCentre(header, rect));
  };
  clickColumn(1);
  EXPECT_TRUE(WaitUntil([&] {
    return Column(m_list, 0) == std::vector<std::string>{" 6", " 7", " 1"};
  })) << Column(m_list, 0)[0];
  clickColumn(0);
  EXPECT_TRUE(WaitUntil([&] {
    return Column(m_list, 0) == std::vector<std::string>{" 1", " 6", " 7"};
  }));
  clickColumn(2);
  EXPECT_TRUE(WaitUntil([&] {
    const auto states = Column(m_list, 2);
    return states.size() == 3 && states[0] == OstraString(21) && states[1] == OstraString(21) &&
           states[2] == OstraString(20);
  }));
  Shot(m_sheet, "sheet-sorted-by-state");
  PressSheetButton(IDCANCEL);
}

TEST_F(AppletOnWine, LeavingThePageNeedsAnAnsweringJoystick) {
  Configure(6, 0x20, 2, 4);  // not answering
  OpenSheet();
  ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(m_list) == 2; }));
  HWND select = Page();
  WaitForFirstPresenceCheck();

  // A click below the last row chooses none.
  RECT below = RowRect(m_list, 1);
  OffsetRect(&below, 0, 3 * (below.bottom - below.top));
  ClickAt(ClientCentre(m_list, below));
  ClickTab(1);
  EXPECT_EQ(TakeMessageBox(), OstraString(11));
  EXPECT_EQ(Page(), select);

  // A chosen joystick that does not answer.
  ClickRow(1);
  ClickTab(1);
  EXPECT_EQ(TakeMessageBox(), OstraString(13));
  EXPECT_EQ(Page(), select);

  // The answering pad: the page is left.
  ClickRow(0);
  ClickTab(1);
  ASSERT_TRUE(WaitUntil([&] { return Page() != select; }));
  Shot(m_sheet, "sheet-calibration");
  ClickTab(2);
  ASSERT_TRUE(WaitUntil([&] { return Page() != select && TabCtrl_GetCurSel(Tabs()) == 2; }));
  Shot(m_sheet, "sheet-test");
  PressSheetButton(IDOK);
}

// The type dialog gives joystick 2 a type: the registry then holds what
// kltool's "joystick set" writes for the same choice on the same registry.
TEST_F(AppletOnWine, TypeDialogWritesWhatKltoolSetWrites) {
  OpenSheet();
  WaitForFirstPresenceCheck();
  struct Case {
    const char* name;
    int type;           // position in the type list
    int axes, buttons;  // entries of the custom dialog's combo boxes
    bool hat;
    std::vector<std::string> kltool;  // the same choice for kltool
  };
  const Case cases[] = {
      {"4-button flight yoke", 10, 0, 0, false, {"joystick", "set", "2", "10"}},
      {"custom, Z and 4 buttons, hat",
       1,
       1,
       2,
       true,
       {"joystick", "set", "2", "1", "--flags", "3", "--buttons", "4"}},
      {"custom again, the same",
       1,
       1,
       2,
       true,
       {"joystick", "set", "2", "1", "--flags", "3", "--buttons", "4"}},
      {"custom, Z and R and 6 buttons",
       1,
       2,
       4,
       false,
       {"joystick", "set", "2", "1", "--flags", "524289", "--buttons", "6"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClickControl(Page(), kTypeButtonId);
    HWND dialog = WaitForOwnedDialog(m_sheet, "Controller Type");
    ASSERT_NE(dialog, nullptr);
    HWND ids = GetDlgItem(dialog, kIdsComboId);
    HWND types = GetDlgItem(dialog, kTypesListId);
    ASSERT_EQ(ComboBox_GetCount(ids), 16);  // the items the template brings
    char first[8] = {};
    ComboBox_GetLBText(ids, 0, first);
    EXPECT_STREQ(first, "1");
    EXPECT_EQ(ListBox_GetCount(types), 13);  // 12 fixed types and the pad's

    // Joystick 2 from the combo box: it opens on a click, the keys pick.
    ClickControl(dialog, kIdsComboId);
    ASSERT_TRUE(WaitUntil([&] { return ComboBox_GetDroppedState(ids) != FALSE; }));
    winetest::PressKey(VK_HOME);
    winetest::PressKey(VK_DOWN);
    winetest::PressKey(VK_RETURN);
    ASSERT_TRUE(
        WaitUntil([&] { return ComboBox_GetCurSel(ids) == 1 && !ComboBox_GetDroppedState(ids); }));
    ChooseType(dialog, c.type);
    if (c.type == 1) {
      Shot(dialog, "type-dialog");
      winetest::PressKey(VK_RIGHT);  // the custom type's own dialog
      HWND custom = WaitForOwnedDialog(dialog, "Custom Controller");
      ASSERT_NE(custom, nullptr);
      HWND axes = GetDlgItem(custom, 1044);
      HWND buttons = GetDlgItem(custom, 1045);
      EXPECT_EQ(ComboBox_GetCount(axes), 3);
      EXPECT_EQ(ComboBox_GetCount(buttons), 31);
      // The axes box has the focus first; Tab goes on to the buttons box.
      ASSERT_TRUE(WaitUntil([&] { return FocusOf(custom) == axes; }));
      for (int i = 0; i < c.axes; ++i) winetest::PressKey(VK_DOWN);
      winetest::PressKey(VK_TAB);
      ASSERT_TRUE(WaitUntil([&] { return FocusOf(custom) == buttons; }));
      for (int i = 0; i < c.buttons; ++i) winetest::PressKey(VK_DOWN);
      ASSERT_TRUE(WaitUntil([&] {
        return ComboBox_GetCurSel(axes) == c.axes && ComboBox_GetCurSel(buttons) == c.buttons;
      }));
      if (c.hat) ClickControl(custom, 1047);
      ASSERT_TRUE(
          WaitUntil([&] { return (IsDlgButtonChecked(custom, 1047) == BST_CHECKED) == c.hat; }));
      Shot(custom, "custom-dialog");
      ClickControl(custom, IDOK);
      // Its OK is the type dialog's OK as well.
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(custom) && !IsWindow(dialog); }));
    } else {
      ClickControl(dialog, IDOK);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }
    SyncWithSheet();
    ASSERT_EQ(ListView_GetItemCount(m_list), 2);
    const std::string applet = KltoolShowJson();

    // The same choice by kltool, from the state before the dialog.
    ASSERT_TRUE(Kltool({"joystick", "remove", "2"}));
    ASSERT_TRUE(Kltool(c.kltool));
    EXPECT_EQ(KltoolShowJson(), applet);
    // Apply is enabled by the change.
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(m_sheet, kIdApplyNowButton)));
  }
  PressSheetButton(IDCANCEL);
}

// Apply stores, Cancel puts back what the registry held when the sheet
// opened (undoing the Apply too); OK stores the auto-detect choice, Cancel
// and Apply do not.
TEST_F(AppletOnWine, ApplyCancelAndOkStoreWhatTheyShould) {
  const std::string before = KltoolShowJson();
  OpenSheet();
  WaitForFirstPresenceCheck();
  ASSERT_NE(KltoolShowJson(), before);  // auto-detection placed the pad
  ClickControl(Page(), kAutoDetectId);  // off
  ASSERT_TRUE(
      WaitUntil([&] { return IsDlgButtonChecked(Page(), kAutoDetectId) == BST_UNCHECKED; }));
  HWND apply = GetDlgItem(m_sheet, kIdApplyNowButton);
  EXPECT_FALSE(IsWindowEnabled(apply));
  // A double click on the pad's row opens the type dialog for it; a type
  // given there is stored at once and enables Apply.
  winetest::DoubleClickAt(ClientCentre(m_list, RowRect(m_list, 0)));
  HWND dialog = WaitForOwnedDialog(m_sheet, "Controller Type");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ComboBox_GetCurSel(GetDlgItem(dialog, kIdsComboId)), 0);
  ChooseType(dialog, 2);
  ClickControl(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  SyncWithSheet();
  ASSERT_TRUE(IsWindowEnabled(apply));
  const std::string changed = KltoolShowJson();
  EXPECT_NE(changed, before);
  PressSheetButton(kIdApplyNowButton);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(apply); }));
  EXPECT_EQ(KltoolShowJson(), changed);
  EXPECT_EQ(AutoDetect(), 1);
  PressSheetButton(IDCANCEL);
  EXPECT_EQ(KltoolShowJson(), before);
  EXPECT_EQ(AutoDetect(), 1);
  m_host.Unload();

  // Again, and OK: the pad stays and auto-detection is off from now on.
  OpenSheet();
  WaitForFirstPresenceCheck();
  const std::string detected = KltoolShowJson();
  ClickControl(Page(), kAutoDetectId);
  ASSERT_TRUE(
      WaitUntil([&] { return IsDlgButtonChecked(Page(), kAutoDetectId) == BST_UNCHECKED; }));
  PressSheetButton(IDOK);
  EXPECT_EQ(KltoolShowJson(), detected);
  EXPECT_EQ(AutoDetect(), 0);
}

TEST_F(AppletOnWine, F1AndRightClickAskForTheControlsHelp) {
  OpenSheet();
  WaitForFirstPresenceCheck();
  const std::string helpFile = ProgramFolder() + "OSTRA.HLP";
  auto contextOf = [](const HelpCall& call, DWORD control) -> long {
    for (size_t i = 0; i + 1 < call.table.size(); i += 2) {
      if (call.table[i] == control) return static_cast<long>(call.table[i + 1]);
    }
    return -1;
  };

  ClickRow(0);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(m_sheet) == m_list; }));
  winetest::PressKey(VK_F1);
  ASSERT_TRUE(WaitUntil([&] { return !m_host.HelpCalls().empty(); }));
  HelpCall call = m_host.HelpCalls().back();
  EXPECT_EQ(call.window, m_list);
  EXPECT_EQ(call.command, static_cast<UINT>(HELP_WM_HELP));
  EXPECT_EQ(call.file, helpFile);
  EXPECT_EQ(contextOf(call, kListId), 10);

  HWND box = GetDlgItem(Page(), kAutoDetectId);
  RECT rect = {};
  GetClientRect(box, &rect);
  const size_t calls = m_host.HelpCalls().size();
  winetest::RightClickAt(ClientCentre(box, rect));
  ASSERT_TRUE(WaitUntil([&] { return m_host.HelpCalls().size() > calls; }));
  call = m_host.HelpCalls().back();
  EXPECT_EQ(call.window, box);
  EXPECT_EQ(call.command, static_cast<UINT>(HELP_CONTEXTMENU));
  EXPECT_EQ(call.file, helpFile);
  EXPECT_EQ(contextOf(call, kAutoDetectId), 9);

  // The sheet's Help button opens the help file's contents.
  const size_t before = m_host.HelpCalls().size();
  PressSheetButton(IDHELP);
  ASSERT_TRUE(WaitUntil([&] { return m_host.HelpCalls().size() > before; }));
  call = m_host.HelpCalls().back();
  EXPECT_EQ(call.window, m_sheet);
  EXPECT_EQ(call.command, static_cast<UINT>(HELP_FINDER));
  EXPECT_EQ(call.file, helpFile);
  PressSheetButton(IDOK);
}

// A help viewer that refuses control help (Wine's) is asked for the
// control's topic by its id instead: for a page's control by the page, for a
// button of the sheet by the sheet.
TEST_F(AppletOnWine, F1AsksForTheTopicByIdWhenControlHelpIsRefused) {
  OpenSheet(true);
  WaitForFirstPresenceCheck();
  ClickRow(0);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(m_sheet) == m_list; }));
  winetest::PressKey(VK_F1);
  ASSERT_TRUE(WaitUntil([&] { return m_host.HelpCalls().size() >= 2; }));
  std::vector<HelpCall> calls = m_host.HelpCalls();
  EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_WM_HELP));
  EXPECT_EQ(calls[1].command, static_cast<UINT>(HELP_CONTEXT));
  EXPECT_EQ(calls[1].data, 10u);
  EXPECT_EQ(calls[1].window, Page());
  EXPECT_EQ(calls[1].file, ProgramFolder() + "OSTRA.HLP");

  // Tab goes on through the page's controls to the sheet's buttons.
  HWND ok = GetDlgItem(m_sheet, IDOK);
  for (int i = 0; i < 12 && FocusOf(m_sheet) != ok; ++i) {
    const HWND before = FocusOf(m_sheet);
    winetest::PressKey(VK_TAB);
    WaitUntil([&] { return FocusOf(m_sheet) != before; }, 2000);
  }
  ASSERT_EQ(FocusOf(m_sheet), ok);
  const size_t before = m_host.HelpCalls().size();
  winetest::PressKey(VK_F1);
  ASSERT_TRUE(WaitUntil([&] { return m_host.HelpCalls().size() >= before + 2; }));
  calls = m_host.HelpCalls();
  EXPECT_EQ(calls[before].command, static_cast<UINT>(HELP_WM_HELP));
  EXPECT_EQ(calls[before].window, ok);
  EXPECT_EQ(calls[before + 1].command, static_cast<UINT>(HELP_CONTEXT));
  EXPECT_EQ(calls[before + 1].data, 7u);
  EXPECT_EQ(calls[before + 1].window, m_sheet);
  EXPECT_TRUE(IsWindow(m_sheet));  // F1 does not press the button
  PressSheetButton(IDCANCEL);
}

// The pad the applet auto-detected is the one the runtime mapper plays: a
// profile for notepad types as the pad's first button goes down.
TEST_F(AppletOnWine, TheMapperPlaysThePadTheAppletPlaced) {
  std::string error;
  for (HWND left : orvotest::WindowsOfClass("MyOrvoClass")) PostMessageA(left, WM_CLOSE, 0, 0);
  WaitUntil([] { return orvotest::WindowsOfClass("MyOrvoClass").empty(); });
  ASSERT_TRUE(orvotest::Install(error)) << error;
  OpenSheet();
  WaitForFirstPresenceCheck();
  PressSheetButton(IDOK);

  std::vector<orvotest::Entry> entries(16, orvotest::Entry{255, {}});
  entries[4] = orvotest::Entry{0, {{0, 'K'}}};  // button 0: the K key
  ASSERT_TRUE(orvotest::SaveProfile(orvotest::KeyFolder(), "NOTEPAD.EXE", "Typing", entries, error))
      << error;
  orvotest::Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  orvotest::Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
  ASSERT_TRUE(orvotest::SetPad(1));
  EXPECT_TRUE(WaitUntil([&] { return notepad.Text() == "k"; }, 15000)) << notepad.Text();
  ASSERT_TRUE(orvotest::SetPad(0));
  notepad.Kill();
  EXPECT_TRUE(orvo.Close());
  for (HWND editor : orvotest::WindowsOfClass("KlEditorStandIn"))
    PostMessageA(editor, WM_CLOSE, 0, 0);
}

// Wine's own control panel opens the applet by its file name.
TEST_F(AppletOnWine, WinesControlPanelOpensTheSheet) {
  SetAutoDetect(0);
  winetest::Started control;
  ASSERT_TRUE(control.Start("control.exe " + winetest::Quote(ProgramFolder() + "OSTRA.CPL")));
  HWND sheet = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        sheet = FindWindowA(nullptr, OstraString(14).c_str());
        return sheet != nullptr && IsWindowVisible(sheet);
      },
      20000));
  DWORD process = 0;
  GetWindowThreadProcessId(sheet, &process);
  EXPECT_NE(process, GetCurrentProcessId());
  HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  EXPECT_EQ(TabCtrl_GetItemCount(tabs), 3);
  EXPECT_TRUE(GetWindowLongPtrA(sheet, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
  ASSERT_TRUE(winetest::BringToFront(sheet));
  Shot(sheet, "wine-control");
  ClickControl(sheet, IDCANCEL);
  DWORD code = 0;
  EXPECT_TRUE(control.WaitForExit(10000, &code));
}

// The calibration and test pages.

// The colour of a point of `window`'s client area as the screen shows it.
COLORREF PixelOf(HWND window, POINT p) {
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, p.x, p.y);
  ReleaseDC(window, dc);
  return colour;
}

// A control's rectangle in the client coordinates of its page.
RECT ControlOnPage(HWND page, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(page, id), &rect);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool PromptIs(HWND page, UINT stringId) {
  return Text(GetDlgItem(page, 1069)) == OstraString(stringId);
}

TEST_F(AppletOnWine, ACalibrationOnThePageIsKeptByOk) {
  OpenSheet();
  WaitForFirstPresenceCheck();
  ClickTab(1);
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(Page(), 1); })) << Text(GetDlgItem(Page(), 1069));
  HWND page = Page();
  // A repaint starts the calibration again: its pictures are taken as the screen shows it.
  UpdateWindow(GetDlgItem(page, 1069));
  orvotest::SaveScreenshot(m_sheet, "calibration-centre");
  // The X/Y box sits above its label; the marker's far corner shows the range.
  const RECT label = ControlOnPage(page, 1070);
  const POINT farCorner{label.left + 38 + 5, label.top - 60 + 38 + 5};
  Vpadctl({"state", "0", "x=300", "y=310"});
  Vpadctl({"press", "0", "0"});
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(page, 2); }, 5000));
  Vpadctl({"release", "0", "0"});
  const COLORREF empty = PixelOf(page, farCorner);
  Vpadctl({"state", "0", "x=700", "y=690"});
  ASSERT_TRUE(WaitUntil([&] { return PixelOf(page, farCorner) != empty; }, 5000))
      << "the marker did not reach the far corner";
  UpdateWindow(GetDlgItem(page, 1069));
  orvotest::SaveScreenshot(m_sheet, "calibration-range");
  Vpadctl({"state", "0", "x=20", "y=30"});
  ASSERT_TRUE(WaitUntil([&] { return PixelOf(page, farCorner) == empty; }, 5000));
  Vpadctl({"press", "0", "1"});
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(page, 57354); }, 5000));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1061)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 1060)));
  UpdateWindow(GetDlgItem(page, 1069));
  orvotest::SaveScreenshot(m_sheet, "calibration-finished");
  PressSheetButton(IDOK);

  const std::vector<BYTE> config = Value(HKEY_LOCAL_MACHINE, Settings(), "Joystick1Configuration");
  ASSERT_EQ(config.size(), 112u);
  EXPECT_EQ(Word(config, 12), 20u);   // minimum X
  EXPECT_EQ(Word(config, 16), 30u);   // minimum Y
  EXPECT_EQ(Word(config, 36), 700u);  // maximum X
  EXPECT_EQ(Word(config, 40), 690u);  // maximum Y
  EXPECT_EQ(Word(config, 60), 300u);  // centre X
  EXPECT_EQ(Word(config, 64), 310u);  // centre Y
  EXPECT_EQ(Word(config, 100), 1u);   // calibrated: X/Y
}

// The pad going away during a calibration stops the page and asks; Retry
// goes on polling (and asks again while the pad is still away), Cancel
// leaves the page stopped until it is painted again.
TEST_F(AppletOnWine, TheCalibrationPageAsksToRetryWhenThePadStopsAnswering) {
  OpenSheet();
  WaitForFirstPresenceCheck();
  ClickTab(1);
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(Page(), 1); }));
  HWND page = Page();
  auto nextBox = [&] {
    HWND box = WaitForOwnedDialog(m_sheet, "", 5000);
    EXPECT_NE(box, nullptr) << "no message box";
    if (box != nullptr) {
      EXPECT_EQ(MessageBoxText(box), OstraString(12));
    }
    return box;
  };
  auto answer = [&](HWND box, int button) {
    ClickControl(box, button);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  };
  Vpadctl({"unplug", "0"});
  HWND box = nextBox();
  ASSERT_NE(box, nullptr);
  Shot(m_sheet, "calibration-not-answering", false);
  answer(box, IDRETRY);
  box = nextBox();  // still away
  ASSERT_NE(box, nullptr);
  Vpadctl({"plug", "0"});
  answer(box, IDRETRY);
  Vpadctl({"press", "0", "0"});
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(page, 2); }, 5000)) << "polling did not go on";
  Vpadctl({"release", "0", "0"});

  Vpadctl({"unplug", "0"});
  box = nextBox();
  ASSERT_NE(box, nullptr);
  answer(box, IDCANCEL);
  Vpadctl({"plug", "0"});
  // A paint starts the page again from the centre.
  RedrawWindow(page, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(page, 1); }));
  Vpadctl({"press", "0", "0"});
  EXPECT_TRUE(WaitUntil([&] { return PromptIs(page, 2); }, 5000)) << "the page stayed stopped";
  EXPECT_EQ(WaitForOwnedDialog(m_sheet, "", 100), nullptr);
  PressSheetButton(IDCANCEL);
}

// What kltool shows of joystick `id`: its object of "joysticks", from
// {"id":N to the end of its "config".
std::string JoystickJson(const std::string& json, int id) {
  const std::string from = "{\"id\":" + std::to_string(id) + ",";
  const size_t at = json.find(from);
  if (at == std::string::npos) return {};
  const size_t end = json.find("}}", at);
  return end == std::string::npos ? std::string() : json.substr(at, end + 2 - at);
}

// Every stage of a joystick with Z, R and a hat, driven by the virtual pad
// through the real page: each reading and button press is one change of the
// pad, and the prompt the page shows next proves it took the reading.
TEST_F(AppletOnWine, AWholeCalibrationIsStoredAsKltoolShowsIt) {
  SetAutoDetect(0);
  // Z (0x1), hat (0x2) and R (0x80000) on a 12-button custom joystick.
  Configure(1, 0x80023, 12, 1);
  Vpadctl({"plug", "0", "axes=4", "hat=1"});
  OpenSheet();
  WaitForFirstPresenceCheck();
  ClickTab(1);
  ASSERT_TRUE(WaitUntil([&] { return PromptIs(Page(), 1); })) << Text(GetDlgItem(Page(), 1069));
  HWND page = Page();
  auto step = [&](const std::vector<std::string>& state, UINT prompt, const char* shot) {
    std::vector<std::string> args = {"state", "0"};
    args.insert(args.end(), state.begin(), state.end());
    Vpadctl(args);
    EXPECT_TRUE(WaitUntil([&] { return PromptIs(page, prompt); }, 5000))
        << "waiting for prompt " << prompt << ", showing " << Text(GetDlgItem(page, 1069));
    Shot(m_sheet, shot, false);
  };
  // Buttons 1 and 2 in turn: every press is a new button going down.
  step({"x=300", "y=310", "buttons=1"}, 2, "whole-calibration-range");
  const RECT label = ControlOnPage(page, 1070);
  const POINT farCorner{label.left + 38 + 5, label.top - 60 + 38 + 5};
  const COLORREF empty = PixelOf(page, farCorner);
  Vpadctl({"state", "0", "x=700", "y=690"});
  ASSERT_TRUE(WaitUntil([&] { return PixelOf(page, farCorner) != empty; }, 5000))
      << "the marker did not reach the far corner";
  // The press that ends X/Y also brings the other corner and Z's first reading.
  step({"x=20", "y=30", "z=100", "buttons=2"}, 3, "whole-calibration-z");
  step({"z=601", "r=150", "buttons=1"}, 4, "whole-calibration-r");
  step({"r=650", "buttons=2"}, 5, "whole-calibration-hat-forward");
  // The hat is read through Z: forward, right, backward, left.
  step({"z=1000", "buttons=1"}, 6, "whole-calibration-hat-right");
  step({"z=2000", "buttons=2"}, 7, "whole-calibration-hat-backward");
  step({"z=3000", "buttons=1"}, 8, "whole-calibration-hat-left");
  step({"z=4000", "buttons=2"}, 57354, "whole-calibration-finished");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1061)));
  PressSheetButton(IDOK);

  const std::string shown = JoystickJson(KltoolShowJson(), 1);
  ASSERT_FALSE(shown.empty());
  SCOPED_TRACE(shown);
  // X, Y, Z, R, U, V; Z's and R's centres are the middles of their ranges,
  // rounded down; the hat is stored forward, backward, left, right.
  for (const char* part : {"\"flags\":524323,\"buttons\":12,", "\"min\":[20,30,100,150,0,0]",
                           "\"max\":[700,690,601,650,0,0]", "\"center\":[300,310,350,400,0,0]",
                           "\"pov\":[1000,3000,4000,2000]", "\"calFlags\":39,"}) {
    EXPECT_NE(shown.find(part), std::string::npos) << part;
  }
}

// The pixels of `window`'s client area as the screen shows them, row by row.
struct ScreenPicture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};
ScreenPicture CaptureClient(HWND window) {
  ScreenPicture picture;
  RECT client = {};
  GetClientRect(window, &client);
  picture.width = client.right;
  picture.height = client.bottom;
  if (picture.width <= 0 || picture.height <= 0) return {};
  HDC dc = GetDC(window);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, picture.width, picture.height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, picture.width, picture.height, dc, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  picture.pixels.resize(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
  const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(picture.height),
                             picture.pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  if (rows != picture.height) return {};
  return picture;
}

// How many pixels of `rect` differ between two pictures.
int ChangedPixels(const ScreenPicture& a, const ScreenPicture& b, const RECT& rect) {
  int changed = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) changed += a.At(x, y) != b.At(x, y) ? 1 : 0;
  }
  return changed;
}

int Area(const RECT& rect) {
  return (rect.right - rect.left) * (rect.bottom - rect.top);
}

// A pad picture of the test page, centred in the area between 1086 and
// 1087; overlay row r of its table (directions 0..8, button k at 9 + k) in
// page coordinates.
struct PadOnPage {
  const kl::layout::TestPadLayout& pad;
  POINT origin;
  RECT Picture() const {
    return RECT{origin.x, origin.y, origin.x + pad.size.width, origin.y + pad.size.height};
  }
  RECT Overlay(size_t row) const {
    const kl::layout::Rect r = pad.overlays[row];
    return RECT{origin.x + r.left, origin.y + r.top, origin.x + r.right, origin.y + r.bottom};
  }
};
PadOnPage PlacePad(HWND page, const kl::layout::TestPadLayout& pad) {
  const RECT from = ControlOnPage(page, 1086);
  const RECT to = ControlOnPage(page, 1087);
  return PadOnPage{pad, POINT{from.left + (to.right - from.left - pad.size.width) / 2,
                              from.top + (to.bottom - from.top - pad.size.height) / 2}};
}

// Waits until the page shows the same picture twice in a row (the timer
// has drawn what the readings ask for) and gives it in `picture`.
bool WaitForSteadyPicture(HWND page, ScreenPicture& picture) {
  return WaitUntil([&] {
    const ScreenPicture before = CaptureClient(page);
    picture = CaptureClient(page);
    return !before.pixels.empty() && before.pixels == picture.pixels;
  });
}

TEST_F(AppletOnWine, TheTestPageLightsAPressedButton) {
  OpenSheet();
  WaitForFirstPresenceCheck();
  ClickTab(2);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(Page(), 1094)) != FALSE; }));
  HWND page = Page();
  const PadOnPage pad = PlacePad(page, kl::layout::kTestPad12Large);
  // The template's area takes the large pictures.
  ASSERT_GE(pad.origin.x, ControlOnPage(page, 1086).left);
  ASSERT_GE(pad.origin.y, ControlOnPage(page, 1086).top);
  const RECT lit = pad.Overlay(9 + 11);   // button 0x800
  const RECT other = pad.Overlay(9 + 0);  // button 0x1
  const RECT picture = pad.Picture();

  Shot(m_sheet, "test-page-resting");
  ScreenPicture resting;
  ASSERT_TRUE(WaitForSteadyPicture(page, resting));
  Vpadctl({"press", "0", "11"});
  ScreenPicture pressed;
  ASSERT_TRUE(WaitUntil(
      [&] {
        pressed = CaptureClient(page);
        return !pressed.pixels.empty() && ChangedPixels(resting, pressed, lit) > 0;
      },
      5000))
      << "the button did not light up";
  const std::string shot = Shot(m_sheet, "test-page-button-12-lit");
  // Its overlay changes over most of its rectangle, and nothing else of the
  // pad's picture does.
  const int changed = ChangedPixels(resting, pressed, lit);
  EXPECT_GT(changed, Area(lit) / 3) << changed << " of " << Area(lit) << ", see " << shot;
  EXPECT_EQ(ChangedPixels(resting, pressed, other), 0) << shot;
  EXPECT_EQ(ChangedPixels(resting, pressed, picture), changed) << shot;
  Vpadctl({"release", "0", "11"});
  EXPECT_TRUE(WaitUntil(
      [&] {
        const ScreenPicture released = CaptureClient(page);
        return !released.pixels.empty() && ChangedPixels(resting, released, picture) == 0;
      },
      5000))
      << "the button stayed lit";
  Shot(m_sheet, "test-page-released");
  PressSheetButton(IDCANCEL);
}

// The d-pad's direction lights its own overlay; Next steps to a joystick
// that is not the maker's pad, which gets the generic view, and Previous
// brings the pad's picture back.
TEST_F(AppletOnWine, TheTestPageShowsDirectionsAndAGenericJoystick) {
  // Without auto-detection, which would take id 2 for a pad too.
  SetAutoDetect(0);
  Configure(1, 0x20, 12, 15, m_padKey);  // the maker's pad
  Configure(2, 0x80023, 4, 1);           // custom: Z, hat, R and 4 buttons
  Vpadctl({"plug", "1", "buttons=4", "axes=4", "hat=1"});
  OpenSheet();
  WaitForFirstPresenceCheck();
  ASSERT_EQ(Column(m_list, 2), (std::vector<std::string>{OstraString(20), OstraString(20)}));
  ClickTab(2);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(Page(), 1094)) != FALSE; }));
  HWND page = Page();
  const PadOnPage pad = PlacePad(page, kl::layout::kTestPad12Large);
  ScreenPicture resting;
  ASSERT_TRUE(WaitForSteadyPicture(page, resting));

  Vpadctl({"state", "0", "x=0"});  // left
  ScreenPicture left;
  ASSERT_TRUE(WaitUntil(
      [&] {
        left = CaptureClient(page);
        return !left.pixels.empty() && ChangedPixels(resting, left, pad.Overlay(3)) > 0;
      },
      5000))
      << "the left direction did not light up";
  const std::string shot = Shot(m_sheet, "test-page-dpad-left");
  // Only the d-pad (row 0 holds every direction) changes.
  EXPECT_EQ(ChangedPixels(resting, left, pad.Picture()),
            ChangedPixels(resting, left, pad.Overlay(0)))
      << shot;
  EXPECT_EQ(ChangedPixels(resting, left, pad.Overlay(4)), 0) << "right lit too, see " << shot;
  Vpadctl({"state", "0", "x=32668"});
  ASSERT_TRUE(WaitUntil(
      [&] {
        const ScreenPicture centred = CaptureClient(page);
        return !centred.pixels.empty() && ChangedPixels(resting, centred, pad.Picture()) == 0;
      },
      5000))
      << "the d-pad at rest shows more than the neutral picture";

  ClickControl(page, 1081);  // Next >
  ASSERT_TRUE(WaitUntil([&] {
    return !IsWindowVisible(GetDlgItem(page, 1094)) && IsWindowVisible(GetDlgItem(page, 1091)) &&
           IsWindowVisible(GetDlgItem(page, 1092)) && IsWindowVisible(GetDlgItem(page, 1093));
  })) << "no generic view for joystick 2";
  ScreenPicture generic;
  ASSERT_TRUE(WaitForSteadyPicture(page, generic));
  EXPECT_GT(ChangedPixels(resting, generic, pad.Picture()), Area(pad.Picture()) / 2)
      << "the pad's picture stayed";
  Shot(m_sheet, "test-page-generic");
  Vpadctl({"state", "1", "z=0", "r=0", "pov=9000", "buttons=2"});
  ASSERT_TRUE(WaitUntil(
      [&] {
        const ScreenPicture now = CaptureClient(page);
        return !now.pixels.empty() && now.pixels != generic.pixels;
      },
      5000))
      << "the generic view did not follow the readings";
  Shot(m_sheet, "test-page-generic-readings");

  ClickControl(page, 1080);  // < Previous
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(page, 1094)) != FALSE; }));
  ScreenPicture back;
  ASSERT_TRUE(WaitForSteadyPicture(page, back));
  EXPECT_EQ(ChangedPixels(resting, back, pad.Picture()), 0) << "the pad's picture did not return";
  PressSheetButton(IDCANCEL);
}

}  // namespace
}  // namespace kl::applettest
