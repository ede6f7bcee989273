// KLOOM.EXE under Wine, through its window as a user has it: installed
// beside ORVO.EXE with the virtual pad configured as the maker's pad, started
// from the installation folder, clicked and typed at with xdotool at the
// view's layout coordinates and pressed with the virtual pad. What it writes
// is compared byte for byte with what kltool editor writes for the same
// script; the mapper it started types into notepad.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "harness/support.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"

namespace kl::editortest {
namespace {

using orvotest::InstallFolder;
using orvotest::KeyFolder;
using winetest::ProgramFolder;
using winetest::ReadWholeFile;
using winetest::WaitUntil;

void Pump(DWORD milliseconds) {
  WaitUntil([] { return false; }, milliseconds);
}

// A string of KLOOM_RS.DLL, read from the module as a data file.
std::string EditorString(UINT id) {
  HMODULE module =
      LoadLibraryExA((ProgramFolder() + "KLOOM_RS.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  char text[1024] = {};
  if (module != nullptr) {
    LoadStringA(module, id, text, sizeof text);
    FreeLibrary(module);
  }
  return text;
}

layout::Point Centre(const layout::Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class EditorOnWine : public ::testing::Test {
 protected:
  void SetUp() override {
    EndAll();
    std::string error;
    ASSERT_TRUE(InstallEditor(error)) << error;
    ASSERT_TRUE(orvotest::ConfigurePad(error)) << error;
    ASSERT_TRUE(orvotest::SetPad(0));
  }
  void TearDown() override {
    EndAll();
    orvotest::RemovePad();
  }

  // Starts the editor and waits for its frame and view.
  void StartEditor(Editor& editor) {
    ASSERT_TRUE(editor.Start());
    ASSERT_TRUE(editor.WaitForFrame()) << "KLOOM.EXE showed no frame";
  }
  // Saves the screen and notes where.
  void Shot(const std::string& name) {
    const std::string path = ScreenPng(name);
    EXPECT_FALSE(path.empty()) << "no screenshot " << name;
    RecordProperty(name, path);
  }
};

TEST_F(EditorOnWine, ANormalStartShowsTheFixedFrameAndStartsTheMapper) {
  Editor editor;
  StartEditor(editor);
  const std::vector<HWND> mappers = orvotest::WindowsOfClass("MyOrvoClass");
  ASSERT_EQ(mappers.size(), 1u) << "the editor starts the mapper";
  EXPECT_TRUE(IsWindow(mappers[0]));

  HWND frame = editor.Frame();
  char className[64] = {};
  GetClassNameA(frame, className, sizeof className);
  EXPECT_STREQ(className, "MyKLoomClass");
  EXPECT_EQ(orvotest::WindowText(frame), "KeyLoom");
  RECT rect = {};
  GetWindowRect(frame, &rect);
  EXPECT_EQ(rect.left, 209);
  EXPECT_EQ(rect.top, 181);
  EXPECT_EQ(rect.right - rect.left, 605);
  EXPECT_EQ(rect.bottom - rect.top, 405);
  const auto style = static_cast<DWORD>(GetWindowLongA(frame, GWL_STYLE));
  EXPECT_EQ(style & 0x800E0000u, 0x800E0000u);
  EXPECT_EQ(style & WS_CAPTION, 0u) << "no caption bar";
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
  EXPECT_EQ(GetMenu(frame), nullptr) << "no menu bar";

  // Neither a larger nor a smaller size is taken.
  for (SIZE size : {SIZE{800, 600}, SIZE{300, 200}}) {
    SetWindowPos(frame, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.right - rect.left, 605);
    EXPECT_EQ(rect.bottom - rect.top, 405);
  }
  // The view fills the client area.
  RECT client = {};
  RECT view = {};
  GetClientRect(frame, &client);
  GetClientRect(editor.View(), &view);
  EXPECT_EQ(view.right, client.right);
  EXPECT_EQ(view.bottom, client.bottom);
  editor.Focus();
  Pump(500);
  Shot("editor-started");
}

TEST_F(EditorOnWine, StartUpFailuresShowTheirMessageAndNoFrame) {
  struct Case {
    const char* name;
    std::function<void()> prepare;
    UINT message;  // 0: nothing is shown at all
  };
  const Case cases[] = {
      {"no resource module", [] { DeleteFileA((InstallFolder() + "KLOOM_RS.DLL").c_str()); }, 0},
      {"no pad", [] { orvotest::RemovePad(); }, 61245},
      {"no mapper", [] { DeleteFileA((InstallFolder() + "ORVO.EXE").c_str()); }, 61242},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EndAll();
    std::string error;
    ASSERT_TRUE(InstallEditor(error)) << error;
    ASSERT_TRUE(orvotest::ConfigurePad(error)) << error;
    c.prepare();
    Editor editor;
    ASSERT_TRUE(editor.Start());
    if (c.message == 0) {
      DWORD code = 0;
      EXPECT_TRUE(editor.WaitForExit(20000, &code)) << "it ends by itself";
      EXPECT_EQ(editor.WaitForDialog(0), nullptr);
    } else {
      HWND box = editor.WaitForDialog(20000);
      ASSERT_NE(box, nullptr) << "message " << c.message << " was not shown";
      EXPECT_EQ(Editor::DialogText(box), EditorString(c.message));
      Shot(std::string("editor-fails-") + std::to_string(c.message));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      EXPECT_TRUE(editor.WaitForExit(20000)) << "it ends after the message";
    }
    EXPECT_TRUE(orvotest::WindowsOfClass("MyKLoomClass").empty()) << "no frame";
  }
}

TEST_F(EditorOnWine, ASecondStartBringsTheRunningEditorOrItsDialogForward) {
  Editor editor;
  StartEditor(editor);
  ShowWindow(editor.Frame(), SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(editor.Frame()) != FALSE; }));
  {
    Editor second;
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit(20000)) << "the second editor gives way";
  }
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(editor.Frame()); })) << "restored";
  EXPECT_EQ(orvotest::WindowsOfClass("MyKLoomClass").size(), 1u);

  // The About box from the help menu, then another program in front.
  ASSERT_TRUE(editor.Focus());
  const layout::PictureMenu& help = layout::kMenus[2];
  const layout::Point tab = Centre(help.tab);
  ASSERT_TRUE(editor.Click(tab.x, tab.y));
  Shot("editor-menu-help-open");
  const layout::Point about = Centre(help.items[2]);
  ASSERT_TRUE(editor.Click(about.x, about.y));
  HWND dialog = editor.WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "no About box";
  Shot("editor-about");
  orvotest::Notepad notepad;
  std::string error;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
  {
    Editor second;
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit(20000));
  }
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }))
      << "the dialog, not the frame, comes to the front";
  notepad.Kill();
  // The About box closes with OK.
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

// The same user session as a kltool editor script; its files are what the
// window must write.
std::string KltoolFiles(const std::string& script, const std::string& name, std::string& error) {
  const std::string folder = winetest::TempPath("kltool-editor\\");
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "KEYFILES").c_str(), nullptr);
  DeleteFileA((folder + "KEYFILES\\" + name).c_str());
  const std::string scriptPath = winetest::TempPath("kltool-editor.txt");
  FILE* file = std::fopen(scriptPath.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot write the script";
    return {};
  }
  std::fwrite(script.data(), 1, script.size(), file);
  std::fclose(file);
  const winetest::RunResult run = winetest::RunHelper("kltool.exe", {"editor", folder, scriptPath});
  if (!run.finished || run.exitCode != 0) {
    error = "kltool editor: " + run.output;
    return {};
  }
  return ReadWholeFile(folder + "KEYFILES\\" + name);
}

std::string Click(const layout::Point& p) {
  return "click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

// Add notepad through the open-file dialog, give pad button 1 (selected by
// pressing it on the pad) Shift+K and button 2 (clicked) Ctrl+Shift+A, save
// under a name typed into the name dialog; the files equal kltool's, and the
// mapper the editor started types the capital K into notepad.
TEST_F(EditorOnWine, ClicksKeysAndThePadWriteWhatKltoolWritesAndTheMapperPlaysIt) {
  Editor editor;
  StartEditor(editor);
  ASSERT_TRUE(editor.Focus());
  const layout::PictureMenu& games = layout::kMenus[0];
  const layout::PictureMenu& profiles = layout::kMenus[1];
  const layout::Point gamesTab = Centre(games.tab);
  const layout::Point addGame = Centre(games.items[0]);
  const layout::Point profilesTab = Centre(profiles.tab);
  const layout::Point save = Centre(profiles.items[1]);
  const layout::Point button2 = Centre(layout::kModel12Picture[5]);

  ASSERT_TRUE(editor.Click(gamesTab.x, gamesTab.y));
  Shot("editor-menu-games-open");
  ASSERT_TRUE(editor.Click(addGame.x, addGame.y));
  HWND open = editor.WaitForDialog();
  ASSERT_NE(open, nullptr) << "no open-file dialog";
  Shot("editor-open-file");
  ASSERT_TRUE(Xdo("type --delay 40 'C:\\windows\\notepad.exe'"));
  ASSERT_TRUE(Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); })) << "the dialog stays open";
  ASSERT_TRUE(editor.Focus());

  // Pad button 1 selects input 4.
  ASSERT_TRUE(orvotest::SetPad(1));
  Pump(400);
  ASSERT_TRUE(orvotest::SetPad(0));
  Pump(400);
  ASSERT_TRUE(editor.Keys("shift+k"));
  ASSERT_TRUE(editor.Click(button2.x, button2.y));
  ASSERT_TRUE(editor.Keys("ctrl+shift+a"));
  Shot("editor-assigned");

  ASSERT_TRUE(editor.Click(profilesTab.x, profilesTab.y));
  ASSERT_TRUE(editor.Click(save.x, save.y));
  HWND name = editor.WaitForDialog();
  ASSERT_NE(name, nullptr) << "no name dialog";
  HWND edit = GetDlgItem(name, 1033);
  char proposed[64] = {};
  GetWindowTextA(edit, proposed, sizeof proposed);
  EXPECT_STREQ(proposed, "game1");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u) << "the whole name is selected";
  Shot("editor-name-dialog");
  ASSERT_TRUE(Xdo("type --delay 40 'abcdefghijklmno'"));
  ASSERT_TRUE(Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(name); }));
  const std::string listPath = KeyFolder() + "GameList.lst";
  ASSERT_TRUE(WaitUntil([&] { return !ReadWholeFile(listPath).empty(); }));
  Pump(300);
  Shot("editor-saved");

  const std::string script = "pad 0 buttons=12\nsetting none\nstart\n" + Click(gamesTab) +
                             "answer C:\\windows\\notepad.exe\n" + Click(addGame) +
                             "state 0 buttons=1\ntimer 1\nstate 0 buttons=0\ntimer 1\n"
                             "key 16\nkey 75\nkeyup 75\nkeyup 16\n" +
                             Click(button2) +
                             "key 17\nkey 16\nkey 65\nkeyup 65\nkeyup 16\nkeyup 17\n" +
                             Click(profilesTab) + "answer abcdefghijklmno\n" + Click(save);
  std::string error;
  const std::string expectedKeys = KltoolFiles(script, "NOTEPAD.key", error);
  ASSERT_TRUE(error.empty()) << error;
  ASSERT_FALSE(expectedKeys.empty());
  EXPECT_EQ(ReadWholeFile(KeyFolder() + "NOTEPAD.key"), expectedKeys);
  const std::string expectedList = KltoolFiles(script, "GameList.lst", error);
  EXPECT_EQ(ReadWholeFile(listPath), expectedList);
  EXPECT_NE(expectedList.find("abcdefghij\r\n"), std::string::npos)
      << "ten of the fifteen characters typed name the profile";

  // The road of one key press: the mapper the editor started plays it.
  orvotest::Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
  Pump(2000);  // the mapper's 1.5 s look at the running programs
  ASSERT_TRUE(orvotest::SetPad(1));
  EXPECT_TRUE(WaitUntil([&] { return !notepad.Text().empty(); }, 15000));
  ASSERT_TRUE(orvotest::SetPad(0));
  Pump(400);
  EXPECT_EQ(notepad.Text(), "K");
  Shot("editor-road-notepad");
  notepad.Kill();
}

TEST_F(EditorOnWine, RepaintsAndMenuCyclesLeaveTheObjectCountsAsTheyWere) {
  Editor editor;
  StartEditor(editor);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, editor.ProcessId());
  ASSERT_NE(process, nullptr);
  Pump(1500);
  const DWORD gdiBefore = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
  if (gdiBefore == 0 && userBefore == 0) {
    CloseHandle(process);
    GTEST_SKIP() << "GetGuiResources counts nothing here";
  }
  for (int i = 0; i < 500; ++i) {
    RedrawWindow(editor.View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  const layout::Point tab = Centre(layout::kMenus[0].tab);
  const LPARAM at = MAKELPARAM(tab.x, tab.y);
  for (int i = 0; i < 1000; ++i) {  // 500 times open and close
    SendMessageA(editor.View(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(editor.View(), WM_LBUTTONUP, 0, at);
  }
  Pump(500);
  EXPECT_EQ(GetGuiResources(process, GR_GDIOBJECTS), gdiBefore);
  EXPECT_EQ(GetGuiResources(process, GR_USEROBJECTS), userBefore);
  CloseHandle(process);
}

}  // namespace
}  // namespace kl::editortest
