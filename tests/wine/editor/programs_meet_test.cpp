// The mapper and the editor meeting as a user starts them: "Activate
// Program" in the mapper's icon menu starts the real KLOOM.EXE from the
// installation folder, which finds the mapper already running (one of each
// afterwards); choosing it again while another program is in front brings
// the running editor forward instead of starting a second one.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "orvo/orvo_world.h"

namespace kl::editortest {
namespace {

using orvotest::InstallFolder;
using winetest::WaitUntil;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// How many processes of the program file `name` run.
size_t Running(const std::string& name) {
  const std::vector<std::string> names = orvotest::ProcessNames();
  return static_cast<size_t>(std::count_if(
      names.begin(), names.end(), [&](const std::string& n) { return Upper(n) == Upper(name); }));
}

// The program file of the process that owns `window`; empty when unknown.
std::string ProgramOf(HWND window) {
  HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, orvotest::ProcessOf(window));
  if (process == nullptr) return {};
  char path[MAX_PATH] = {};
  DWORD size = sizeof path;
  const BOOL known = QueryFullProcessImageNameA(process, 0, path, &size);
  CloseHandle(process);
  return known ? std::string(path, size) : std::string();
}

// The pop-up menu `process` shows, or null.
HWND ShownMenu(DWORD process) {
  return ShownWindowOfClass(process, "#32768");
}

// A right click on the mapper's icon opens its menu; a click on its first
// item, "Activate &Program", picks it, and the menu closes. `shot`, unless
// empty, names a picture of the open menu.
//
// The notification comes from the test, not from the shell, so the mapper
// may not take the foreground: with another program in front, Wine keeps
// that program active and the open menu, though it takes the click at its
// place, is not drawn on the screen; only the first menu is pictured.
void ActivateProgram(orvotest::Orvo& orvo, const std::string& shot) {
  const DWORD mapper = GetProcessId(orvo.Process());
  orvo.Notify(WM_RBUTTONUP);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = ShownMenu(mapper)) != nullptr; }))
      << "the icon's menu did not open";
  RECT rect = {};
  ASSERT_TRUE(GetWindowRect(menu, &rect));
  if (!shot.empty()) ::testing::Test::RecordProperty(shot, ScreenPng(shot));
  ASSERT_TRUE(Xdo("mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                  std::to_string(rect.top + 11) + " click 1"));
  ASSERT_TRUE(WaitUntil([&] { return ShownMenu(mapper) == nullptr; })) << "the menu stays open";
}

TEST_F(EditorOnWine, TheMappersActivateProgramStartsTheEditorWhichFindsTheMapperRunning) {
  std::string error;
  orvotest::Orvo orvo;
  ASSERT_TRUE(orvo.Start(error)) << error;
  ASSERT_EQ(Running("KLOOM.EXE"), 0u);

  ASSERT_NO_FATAL_FAILURE(ActivateProgram(orvo, "mapper-menu"));
  std::vector<HWND> frames;
  ASSERT_TRUE(WaitUntil(
      [&] { return (frames = orvotest::WindowsOfClass("MyKLoomClass")).size() == 1; }, 20000))
      << "the mapper started no editor";
  const HWND frame = frames[0];
  EXPECT_EQ(Upper(ProgramOf(frame)), Upper(InstallFolder() + "KLOOM.EXE"))
      << "the editor is not the one of the mapper's folder";
  EXPECT_EQ(orvotest::WindowText(frame), "KeyLoom");
  // The editor starts a mapper of its own, which gives way to the one running.
  EXPECT_TRUE(WaitUntil([] { return Running("ORVO.EXE") == 1; })) << "more than one mapper";
  EXPECT_EQ(orvotest::WindowsOfClass("MyOrvoClass"), std::vector<HWND>{orvo.Window()});
  EXPECT_TRUE(IsWindowVisible(frame));
  Shot("editor-from-mapper");

  // Another program in front; the second "Activate Program" brings the
  // editor forward and its second copy ends.
  orvotest::Notepad notepad;
  ASSERT_TRUE(notepad.Start(error)) << error;
  ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == notepad.Window(); }, 5000));
  ASSERT_NO_FATAL_FAILURE(ActivateProgram(orvo, ""));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == frame; }, 20000))
      << "the running editor is not brought to the front";
  EXPECT_TRUE(WaitUntil([] { return Running("KLOOM.EXE") == 1; })) << "a second editor stays";
  EXPECT_EQ(orvotest::WindowsOfClass("MyKLoomClass"), std::vector<HWND>{frame});
  EXPECT_EQ(Running("ORVO.EXE"), 1u);
  Shot("editor-brought-forward");
  notepad.Kill();
}

}  // namespace
}  // namespace kl::editortest
