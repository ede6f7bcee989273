// KLOOM.EXE under Wine, through its window as a user has it: installed
// beside ORVO.EXE with the virtual pad configured as the maker's pad, started
// from the installation folder, clicked and typed at with xdotool at the
// view's layout coordinates: start-up and its failures, the fixed frame, a
// second start, the help menu and the About box.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kl::editortest
