// The whole suite as a user meets it after a silent install (scenario.sh
// installs it and uninstalls it again): the joystick applet the installer
// registered auto-detects the virtual pad through its sheet; the editor
// registers notepad and makes a profile with a mouse click, a key, a tapped
// sequence and a cycle, saved as the active one; the mapper the editor
// started types into notepad and clicks in it as the pad is pressed; with the
// editor in front nothing is played; the editor closes with its save question
// answered No. Every step leaves a screenshot of the screen.
#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "applet/cpl_host.h"
#include "controls/user_input.h"
#include "editor/editor_world.h"
#include "harness/support.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"

namespace kl::scenariotest {
namespace {

using editortest::Centre;
using editortest::Editor;
using editortest::LooksSelected;
using orvotest::InstallFolder;
using orvotest::KeyFolder;
using winetest::ReadWholeFile;
using winetest::WaitUntil;

constexpr int kDeviceListId = 1021;
constexpr int kAutoDetectId = 1027;
constexpr UINT kPadNameString = 57347;
constexpr UINT kSheetCaptionString = 14;
constexpr UINT kSaveQuestionString = 61241;

// A string of a resource module of the installation, read as a data file.
std::string ModuleString(const char* module, UINT id) {
  HMODULE loaded = LoadLibraryExA((InstallFolder() + module).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  char text[1024] = {};
  if (loaded != nullptr) {
    LoadStringA(loaded, id, text, sizeof text);
    FreeLibrary(loaded);
  }
  return text;
}

// Where the control panel is told to find the applet.
std::string RegisteredApplet() {
  char path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (RegGetValueA(HKEY_LOCAL_MACHINE,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls", "OSTRA",
                   RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS) {
    return {};
  }
  return path;
}

std::string ListText(HWND list, int item, int column) {
  char text[256] = {};
  ListView_GetItemText(list, item, column, text, sizeof text);
  return text;
}

// A click at the middle of `parent`'s control `id`.
void ClickControl(HWND parent, int id) {
  HWND control = GetDlgItem(parent, id);
  RECT rect = {};
  GetClientRect(control, &rect);
  winetest::ClickAt(winetest::ClientCentre(control, rect));
}

// Synthetic key events, as a low-level hook sees them, from any program.
LONG g_injectedKeys = 0;
LRESULT CALLBACK CountInjected(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && (reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam)->flags & LLKHF_INJECTED)) {
    InterlockedIncrement(&g_injectedKeys);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Notepad's edit control, read and measured from this process.
struct NotepadEdit {
  HWND edit = nullptr;
  DWORD Caret() const { return LOWORD(static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0))); }
  // The screen point just left of character 0, where a click puts the caret before it.
  POINT BeforeFirstCharacter() const {
    const auto packed = static_cast<DWORD>(SendMessageA(edit, EM_POSFROMCHAR, 0, 0));
    POINT p{static_cast<short>(LOWORD(packed)) - 1, static_cast<short>(HIWORD(packed)) + 5};
    ClientToScreen(edit, &p);
    return p;
  }
};

class Scenario : public ::testing::Test {
 protected:
  // The whole screen as screenshots\NAME.png and, with `windows`, the part
  // they cover (their outer rectangles joined) as screenshots\windows\NAME.png,
  // the picture the user guide shows.
  void Shot(const std::string& name, std::initializer_list<HWND> windows = {}) {
    const std::string path = editortest::ScreenPng(name);
    EXPECT_FALSE(path.empty()) << "no screenshot " << name;
    RecordProperty(name, path);
    RECT cover = {};
    for (HWND window : windows) {
      RECT r = {};
      if (GetWindowRect(window, &r)) UnionRect(&cover, &cover, &r);
    }
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&cover, &cover, &screen);
    if (path.empty() || IsRectEmpty(&cover)) return;
    const std::string folder = path.substr(0, path.find_last_of('\\') + 1) + "windows\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string part = folder + name + ".png";
    DeleteFileA(part.c_str());
    const std::string geometry = std::to_string(cover.right - cover.left) + "x" +
                                 std::to_string(cover.bottom - cover.top) + "+" +
                                 std::to_string(cover.left) + "+" + std::to_string(cover.top);
    EXPECT_TRUE(editortest::RunUnix("convert '" + editortest::UnixPath(path) + "' -crop " +
                                    geometry + " +repage '" + editortest::UnixPath(part) + "'") &&
                GetFileAttributesA(part.c_str()) != INVALID_FILE_ATTRIBUTES)
        << "no picture of the windows of " << name;
  }
};

TEST_F(Scenario, InstalledSuiteFromTheAppletToNotepad) {
  const std::string padName = ModuleString("OSTRARS.DLL", kPadNameString);
  ASSERT_FALSE(padName.empty()) << "no OSTRARS.DLL in " << InstallFolder();

  // 1. The applet, loaded from where the installer registered it. A first
  //    opening in a new prefix has automatic detection off: ticked and
  //    stored with OK, the next opening places the virtual pad by itself.
  const std::string applet = RegisteredApplet();
  ASSERT_EQ(applet, InstallFolder() + "OSTRA.CPL") << "the control panel does not know the applet";
  for (int opening = 0; opening < 2; ++opening) {
    applettest::CplHost host;
    std::string error;
    ASSERT_TRUE(host.Load(applet, error)) << error;
    ASSERT_TRUE(host.Start());
    host.OpenSheet();
    HWND sheet = applettest::WaitForSheet(ModuleString("OSTRARS.DLL", kSheetCaptionString));
    ASSERT_NE(sheet, nullptr) << "the applet showed no sheet";
    HWND page = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (page = PropSheet_GetCurrentPageHwnd(sheet)) != nullptr; }));
    ASSERT_TRUE(winetest::BringToFront(sheet));
    HWND list = GetDlgItem(page, kDeviceListId);
    HWND autoDetect = GetDlgItem(page, kAutoDetectId);
    ASSERT_NE(autoDetect, nullptr);
    if (opening == 0) {
      ASSERT_EQ(ListView_GetItemCount(list), 0) << "a pad placed before the applet ran";
      if (Button_GetCheck(autoDetect) != BST_CHECKED) {
        ClickControl(page, kAutoDetectId);
        ASSERT_TRUE(WaitUntil([&] { return Button_GetCheck(autoDetect) == BST_CHECKED; }));
      }
      Shot("01-applet-first-opening", {sheet});
    } else {
      ASSERT_TRUE(WaitUntil([&] {
        return ListView_GetItemCount(list) == 1 && ListView_GetSelectedCount(list) == 1;
      })) << "no detected pad in the list";
      EXPECT_EQ(ListText(list, 0, 0), " 1");
      EXPECT_EQ(ListText(list, 0, 1), padName);
      EXPECT_EQ(Button_GetCheck(autoDetect), BST_CHECKED);
      SendMessageA(sheet, WM_NCACTIVATE, TRUE, 0);
      RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Shot("01-applet-detected", {sheet});
      // The other pages, each with the detected pad selected.
      HWND tabs = PropSheet_GetTabControl(sheet);
      for (int index : {1, 2}) {
        RECT tab = {};
        ASSERT_TRUE(TabCtrl_GetItemRect(tabs, index, &tab));
        winetest::ClickAt(winetest::ClientCentre(tabs, tab));
        ASSERT_TRUE(WaitUntil([&] {
          return PropSheet_HwndToIndex(sheet, PropSheet_GetCurrentPageHwnd(sheet)) == index;
        })) << "the tab of page "
            << index << " did not open it";
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Shot(index == 1 ? "01-applet-calibration" : "01-applet-test", {sheet});
      }
    }
    ClickControl(sheet, IDOK);
    ASSERT_TRUE(host.WaitSheetClosed()) << "OK did not close the sheet";
    host.Unload();
  }

  // 2. The editor starts, and starts the mapper.
  Editor editor;
  ASSERT_TRUE(editor.Start());
  ASSERT_TRUE(editor.WaitForFrame()) << "KLOOM.EXE showed no frame (is the pad recognised?)";
  ASSERT_TRUE(WaitUntil([] { return orvotest::WindowsOfClass("MyOrvoClass").size() == 1; }))
      << "the editor started no mapper";
  ASSERT_TRUE(editor.Focus());
  editor.Settled(layout::kPadPictureRect);
  Shot("02-editor-started", {editor.Frame()});

  const layout::PictureMenu& games = layout::kMenus[0];
  const layout::PictureMenu& profiles = layout::kMenus[1];
  const auto& pictures = layout::kModel12Picture;
  const auto& labels = layout::kModel12Labels;
  const layout::Point record = Centre(layout::kStripButton1Rect);
  const layout::Point stop = Centre(layout::kStripButton2Rect);

  // 3. Notepad registered through the open-file dialog of "add game".
  ASSERT_TRUE(editor.ClickShowing(Centre(games.tab), games.dropDown));
  Shot("03-editor-games-menu", {editor.Frame()});
  const layout::Point addGame = Centre(games.items[0]);
  ASSERT_TRUE(editor.Click(addGame.x, addGame.y));
  HWND open = editor.WaitForDialog();
  ASSERT_NE(open, nullptr) << "no open-file dialog";
  ASSERT_TRUE(editortest::Xdo("type --delay 40 'C:\\windows\\notepad.exe'"));
  Shot("04-editor-add-game", {editor.Frame(), open});
  ASSERT_TRUE(editortest::Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); })) << "the dialog stays open";
  ASSERT_TRUE(editor.Focus());

  // 4. The mouse preset: pad button 1 (input 4) becomes the left mouse button.
  ASSERT_TRUE(editor.ClickShowing(Centre(games.tab), games.dropDown));
  const layout::Point mousePreset = Centre(games.items[6]);
  ASSERT_TRUE(editor.Click(mousePreset.x, mousePreset.y));
  HWND question = editor.WaitForDialog();
  ASSERT_NE(question, nullptr) << "the mouse preset asked nothing";
  Shot("05-editor-mouse-preset", {editor.Frame(), question});
  ASSERT_TRUE(editortest::Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
  ASSERT_TRUE(editor.Focus());

  // 5. Pad button 2 (input 5): Shift+H in key mode.
  ASSERT_TRUE(editor.ClickShowing(Centre(pictures[5]), labels[5]));
  ASSERT_TRUE(editor.KeysShowing("shift+h", labels[5]));
  Shot("06-editor-key", {editor.Frame()});

  // 6. Pad button 3 (input 6): "ello" tapped as one sequence (sequence mode 1).
  ASSERT_TRUE(editor.ClickShowing(Centre(pictures[6]), labels[6]));
  ASSERT_TRUE(editor.ClickShowing(Centre(layout::kModeButtons[1]), layout::kModeButtons[1]));
  ASSERT_TRUE(editor.ClickShowing(record, layout::kStripButton1Rect));
  for (const char* key : {"e", "l", "l", "o"}) {
    ASSERT_TRUE(editor.KeysShowing(key, layout::kPanelRect)) << key;
  }
  Shot("07-editor-recording", {editor.Frame()});
  ASSERT_TRUE(editor.ClickShowing(stop, labels[6]));

  // 7. Pad button 4 (input 7): a cycle of 1, 2, 3, one per press (sequence mode 2).
  ASSERT_TRUE(editor.ClickShowing(Centre(pictures[7]), labels[7]));
  ASSERT_TRUE(editor.ClickShowing(Centre(layout::kModeButtons[2]), layout::kModeButtons[2]));
  ASSERT_TRUE(editor.ClickShowing(record, layout::kStripButton1Rect));
  for (const char* key : {"1", "2", "3"}) {
    ASSERT_TRUE(editor.KeysShowing(key, layout::kPanelRect)) << key;
  }
  ASSERT_TRUE(editor.ClickShowing(stop, labels[7]));
  Shot("08-editor-cycle", {editor.Frame()});

  // 8. Saved under a typed name; a new profile's save makes it the active one.
  const std::string listPath = KeyFolder() + "GameList.lst";
  ASSERT_TRUE(editor.ClickShowing(Centre(profiles.tab), profiles.dropDown));
  const layout::Point save = Centre(profiles.items[1]);
  ASSERT_TRUE(editor.Click(save.x, save.y));
  HWND name = editor.WaitForDialog();
  ASSERT_NE(name, nullptr) << "no name dialog";
  ASSERT_TRUE(editortest::Xdo("type --delay 40 'demo'"));
  Shot("09-editor-name", {editor.Frame(), name});
  ASSERT_TRUE(editortest::Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(name); }));
  ASSERT_TRUE(WaitUntil([&] { return !ReadWholeFile(listPath).empty(); })) << "no game list saved";
  EXPECT_NE(ReadWholeFile(listPath).find("NOTEPAD.EXE"), std::string::npos);
  EXPECT_NE(ReadWholeFile(listPath).find("\x01"
                                         "DEMO"),
            std::string::npos)
      << "DEMO is not the active profile";
  const std::string savedKeys = ReadWholeFile(KeyFolder() + "NOTEPAD.key");
  ASSERT_FALSE(savedKeys.empty()) << "no key file saved";
  ASSERT_TRUE(editor.Focus());
  editor.Settled(layout::kProfileListRect);
  Shot("10-editor-saved", {editor.Frame()});

  // 9. Notepad in front: the pad types and clicks there.
  HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, &CountInjected, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(hook, nullptr);
  orvotest::Notepad notepad;
  std::string error;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
  NotepadEdit edit{FindWindowExA(notepad.Window(), nullptr, "Edit", nullptr)};
  // Held until it types: the mapper finds notepad at its next look at the programs.
  ASSERT_TRUE(orvotest::SetPad(0x2));
  EXPECT_TRUE(WaitUntil([&] { return !notepad.Text().empty(); }, 15000)) << "nothing was typed";
  EXPECT_EQ(notepad.Text(), "H");
  // Each press is seen once the text shows it; the next button's press
  // shows that the release before it was seen as well.
  struct Press {
    uint32_t buttons;
    const char* text;
  };
  for (const Press& press : {Press{0x4, "Hello"}, Press{0x8, "Hello1"}}) {
    ASSERT_TRUE(orvotest::SetPad(press.buttons));
    EXPECT_TRUE(WaitUntil([&] { return notepad.Text() == press.text; }, 5000))
        << "shows \"" << notepad.Text() << "\", not \"" << press.text << "\"";
  }
  ASSERT_TRUE(orvotest::SetPad(0));
  EXPECT_GT(g_injectedKeys, 0) << "the hook sees none of the mapper's keys";
  Shot("11-notepad-typed", {notepad.Window()});
  // Pad button 1 clicks where the pointer is: before the first character.
  const POINT before = edit.BeforeFirstCharacter();
  ASSERT_TRUE(
      editortest::Xdo("mousemove " + std::to_string(before.x) + " " + std::to_string(before.y)));
  ASSERT_NE(edit.Caret(), 0u);
  ASSERT_TRUE(orvotest::SetPad(0x1));
  EXPECT_TRUE(WaitUntil([&] { return edit.Caret() == 0; }, 5000))
      << "the click did not move the caret";
  ASSERT_TRUE(orvotest::SetPad(0x8));
  EXPECT_TRUE(WaitUntil([&] { return notepad.Text() == "2Hello1"; }, 5000))
      << "the cycle's second step: \"" << notepad.Text() << "\"";
  ASSERT_TRUE(orvotest::SetPad(0));
  Shot("12-notepad-clicked", {notepad.Window()});

  // 10. The editor in front: the pad selects its inputs there, and the
  //     mapper plays nothing. It looks at the window in front every 1.5 s.
  ASSERT_TRUE(editor.Focus());
  WaitUntil([] { return false; }, 2000);
  const LONG injectedBefore = g_injectedKeys;
  ASSERT_TRUE(orvotest::SetPad(0x4));
  EXPECT_TRUE(WaitUntil([&] { return LooksSelected(editor.Pixels(labels[6])); }))
      << "the editor did not select pad button 3";
  ASSERT_TRUE(orvotest::SetPad(0));
  editor.Settled(layout::kPanelRect, 400);
  EXPECT_EQ(g_injectedKeys, injectedBefore) << "the mapper played while the editor was in front";
  EXPECT_EQ(notepad.Text(), "2Hello1");
  Shot("13-editor-in-front", {editor.Frame()});
  UnhookWindowsHookEx(hook);

  // 11. A change, then the exit button: the save question, answered No.
  ASSERT_TRUE(editor.ClickShowing(Centre(layout::kCheckBoxRect), layout::kCheckBoxRect));
  const layout::Point exitButton = Centre(layout::kExitButtonRect);
  ASSERT_TRUE(editor.Click(exitButton.x, exitButton.y));
  question = editor.WaitForDialog();
  ASSERT_NE(question, nullptr) << "no save question";
  EXPECT_EQ(Editor::DialogText(question), ModuleString("KLOOM_RS.DLL", kSaveQuestionString));
  Shot("14-editor-save-question", {editor.Frame(), question});
  ASSERT_NE(GetDlgItem(question, IDNO), nullptr) << "the question has no No button";
  ClickControl(question, IDNO);
  ASSERT_TRUE(editor.WaitForExit(20000)) << "the editor did not end";
  EXPECT_EQ(ReadWholeFile(KeyFolder() + "NOTEPAD.key"), savedKeys) << "No saved the change";
  EXPECT_EQ(orvotest::WindowsOfClass("MyOrvoClass").size(), 1u) << "the mapper keeps running";
  notepad.Kill();
  Shot("15-editor-closed");
}

}  // namespace
}  // namespace kl::scenariotest
