// KLOOM.EXE under Wine, through its window as a user has it: installed
// beside ORVO.EXE with the virtual pad configured as the maker's pad, started
// from the installation folder, clicked and typed at with xdotool at the
// view's layout coordinates and pressed with the virtual pad. What it writes
// is compared byte for byte with what kltool editor writes for the same
// script; the mapper it started types into notepad.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
  ASSERT_TRUE(editor.Focus());
  // Painted: the pad picture is more than one colour.
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<uint32_t> pad = editor.Pixels(layout::kPadPictureRect);
    return !pad.empty() &&
           std::count(pad.begin(), pad.end(), pad[0]) < static_cast<long>(pad.size());
  }));
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
  ASSERT_TRUE(editor.ClickShowing(tab, help.dropDown)) << "the help menu did not open";
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

// The "setting" line of a kltool editor transcript, e.g. "setting 0 0 0 1 0".
std::string SettingLine(const std::string& transcript) {
  const size_t at = transcript.rfind("setting ");
  if (at == std::string::npos) return {};
  const size_t end = transcript.find_first_of("\r\n", at);
  return transcript.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// "Setting" as Wine's registry holds it, in the same form.
std::string StoredSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vornatek\\GamePad2", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return {};
  }
  BYTE bytes[16] = {};
  DWORD size = sizeof bytes;
  DWORD type = 0;
  const LONG result = RegQueryValueExA(key, "Setting", nullptr, &type, bytes, &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_BINARY || size != 5) return {};
  std::string line = "setting";
  for (DWORD i = 0; i < size; ++i) line += " " + std::to_string(bytes[i]);
  return line;
}

// How many pixels are the yellow of a selected list row.
size_t YellowPixels(const std::vector<uint32_t>& pixels) {
  size_t count = 0;
  for (uint32_t pixel : pixels) {
    const uint32_t red = (pixel >> 16) & 0xFF;
    const uint32_t green = (pixel >> 8) & 0xFF;
    const uint32_t blue = pixel & 0xFF;
    if (red > 180 && green > 180 && blue < 100) ++count;
  }
  return count;
}

std::string Click(const layout::Point& p) {
  return "click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

std::string PadPress(uint32_t buttons) {
  return "state 0 buttons=" + std::to_string(buttons) + "\ntimer 1\nstate 0 buttons=0\ntimer 1\n";
}

// The whole road through the window. Notepad is added through the
// open-file dialog and a first profile gets X on pad button 6 and is saved as
// "second". A new profile: pad button 1 (selected by pressing it on the pad)
// gets Shift+K, button 2 (clicked) Ctrl+Shift+A, button 3 a sequence in
// sequence mode 1 of B, a reference to pad button 4 (pressed on the pad
// while recording) and C, with the option box ticked; it is saved under a
// name typed into the name dialog and becomes the active one. The mapper
// the editor started types its capital K into notepad. Then the first
// profile's active box and the second's are clicked and the exit button
// ends the editor. The files and "Setting" equal what kltool writes for the
// same script, and the next start shows the same profile row selected.
TEST_F(EditorOnWine, ClicksKeysAndThePadWriteWhatKltoolWritesAndTheMapperPlaysIt) {
  Editor editor;
  StartEditor(editor);
  ASSERT_TRUE(editor.Focus());
  const layout::PictureMenu& games = layout::kMenus[0];
  const layout::PictureMenu& profiles = layout::kMenus[1];
  const layout::Point gamesTab = Centre(games.tab);
  const layout::Point addGame = Centre(games.items[0]);
  const layout::Point profilesTab = Centre(profiles.tab);
  const layout::Point newProfile = Centre(profiles.items[0]);
  const layout::Point save = Centre(profiles.items[1]);
  const layout::Point button2 = Centre(layout::kModel12Picture[5]);
  const layout::Point button3 = Centre(layout::kModel12Picture[6]);
  const layout::Point button6 = Centre(layout::kModel12Picture[9]);
  const layout::Point sequenceMode = Centre(layout::kModeButtons[1]);
  const layout::Point record = Centre(layout::kStripButton1Rect);
  const layout::Point stop = Centre(layout::kStripButton2Rect);
  const layout::Point option = Centre(layout::kCheckBoxRect);
  const layout::Point firstActiveBox = Centre(layout::kActiveBoxes[0]);
  const layout::Point secondActiveBox = Centre(layout::kActiveBoxes[1]);
  const layout::Point exitButton = Centre(layout::kExitButtonRect);
  const auto& labels = layout::kModel12Labels;
  const std::string listPath = KeyFolder() + "GameList.lst";

  ASSERT_TRUE(editor.ClickShowing(gamesTab, games.dropDown)) << "the game menu did not open";
  Shot("editor-menu-games-open");
  ASSERT_TRUE(editor.Click(addGame.x, addGame.y));
  HWND open = editor.WaitForDialog();
  ASSERT_NE(open, nullptr) << "no open-file dialog";
  Shot("editor-open-file");
  ASSERT_TRUE(Xdo("type --delay 40 'C:\\windows\\notepad.exe'"));
  ASSERT_TRUE(Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); })) << "the dialog stays open";
  ASSERT_TRUE(editor.Focus());

  // The first profile: X on pad button 6, saved as "second".
  ASSERT_TRUE(editor.ClickShowing(button6, labels[9]));
  ASSERT_TRUE(editor.KeysShowing("x", labels[9]));
  ASSERT_TRUE(editor.ClickShowing(profilesTab, profiles.dropDown));
  Shot("editor-menu-profiles-open");
  ASSERT_TRUE(editor.Click(save.x, save.y));
  HWND name = editor.WaitForDialog();
  ASSERT_NE(name, nullptr) << "no name dialog";
  ASSERT_TRUE(Xdo("type --delay 40 'second'"));
  ASSERT_TRUE(Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(name); }));
  ASSERT_TRUE(WaitUntil([&] { return !ReadWholeFile(listPath).empty(); }));
  ASSERT_TRUE(editor.Focus());

  // A new profile; pad button 1 selects input 4: its label box shows the selection.
  ASSERT_TRUE(editor.ClickShowing(profilesTab, profiles.dropDown));
  ASSERT_TRUE(editor.ClickShowing(newProfile, labels[9])) << "the labels were not reset";
  ASSERT_FALSE(LooksSelected(editor.Settled(labels[4])));
  ASSERT_TRUE(orvotest::SetPad(1));
  ASSERT_TRUE(WaitUntil([&] { return LooksSelected(editor.Pixels(labels[4])); }))
      << "pad button 1 selected nothing";
  editor.Settled(labels[4]);
  ASSERT_TRUE(orvotest::SetPad(0));
  ASSERT_TRUE(editor.KeysShowing("shift+k", labels[4]));
  ASSERT_TRUE(editor.ClickShowing(button2, labels[5]));
  EXPECT_TRUE(LooksSelected(editor.Pixels(labels[5])));
  EXPECT_FALSE(LooksSelected(editor.Pixels(labels[4])));
  ASSERT_TRUE(editor.KeysShowing("ctrl+shift+a", labels[5]));
  Shot("editor-assigned");

  // A sequence in sequence mode 1 with a pad reference, the option ticked.
  ASSERT_TRUE(editor.ClickShowing(button3, labels[6]));
  ASSERT_TRUE(editor.ClickShowing(sequenceMode, layout::kModeButtons[1]));
  ASSERT_TRUE(editor.ClickShowing(record, layout::kStripButton1Rect));
  ASSERT_TRUE(editor.KeysShowing("b", layout::kPanelRect));
  const std::vector<uint32_t> before = editor.Settled(layout::kPanelRect);
  ASSERT_TRUE(orvotest::SetPad(8));
  ASSERT_TRUE(editor.WaitForChange(layout::kPanelRect, before)) << "no pad reference recorded";
  ASSERT_TRUE(orvotest::SetPad(0));
  ASSERT_TRUE(editor.KeysShowing("c", layout::kPanelRect));
  Shot("editor-recording");
  ASSERT_TRUE(editor.ClickShowing(stop, labels[6]));
  ASSERT_TRUE(editor.ClickShowing(option, layout::kCheckBoxRect));
  Shot("editor-sequence-option");

  ASSERT_TRUE(editor.ClickShowing(profilesTab, profiles.dropDown));
  const std::string firstList = ReadWholeFile(listPath);
  ASSERT_TRUE(editor.Click(save.x, save.y));
  name = editor.WaitForDialog();
  ASSERT_NE(name, nullptr) << "no name dialog for the second profile";
  HWND edit = GetDlgItem(name, 1033);
  EXPECT_EQ(orvotest::WindowText(edit), "game1");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u) << "the whole name is selected";
  Shot("editor-name-dialog");
  ASSERT_TRUE(Xdo("type --delay 40 'abcdefghijklmno'"));
  ASSERT_TRUE(Xdo("key Return"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(name); }));
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(listPath) != firstList; }));
  ASSERT_TRUE(editor.Focus());
  Shot("editor-saved");

  // The road of one key press: the mapper the editor started plays the
  // profile just saved, the active one.
  ASSERT_EQ(orvotest::WindowsOfClass("MyOrvoClass").size(), 1u) << "the mapper runs";
  std::string error;
  {
    orvotest::Notepad notepad;
    ASSERT_TRUE(notepad.Start(error)) << error;
    ASSERT_TRUE(orvotest::BringToFront(notepad.Window()));
    // Held until it types: the mapper finds notepad at its next look at the programs.
    ASSERT_TRUE(orvotest::SetPad(1));
    EXPECT_TRUE(WaitUntil([&] { return !notepad.Text().empty(); }, 15000));
    ASSERT_TRUE(orvotest::SetPad(0));
    EXPECT_EQ(notepad.Text(), "K");
    Shot("editor-road-notepad");
    notepad.Kill();
  }

  // The active mark moves to the first profile and back with the boxes,
  // and the exit button ends the editor with the second row selected.
  ASSERT_TRUE(editor.Focus());
  ASSERT_TRUE(editor.ClickShowing(firstActiveBox, layout::kActiveBoxes[0]));
  ASSERT_TRUE(editor.ClickShowing(secondActiveBox, layout::kActiveBoxes[1]));
  Shot("editor-two-profiles");
  ASSERT_TRUE(editor.Click(exitButton.x, exitButton.y));
  ASSERT_TRUE(editor.WaitForExit(20000)) << "the exit button did not end the editor";

  const std::string script =
      "pad 0 buttons=12\nsetting none\nstart\n" + Click(gamesTab) +
      "answer C:\\windows\\notepad.exe\n" + Click(addGame) + Click(button6) + "key 88\nkeyup 88\n" +
      Click(profilesTab) + "answer second\n" + Click(save) + Click(profilesTab) +
      Click(newProfile) + PadPress(1) + "key 16\nkey 75\nkeyup 75\nkeyup 16\n" + Click(button2) +
      "key 17\nkey 16\nkey 65\nkeyup 65\nkeyup 16\nkeyup 17\n" + Click(button3) +
      Click(sequenceMode) + Click(record) + "key 66\nkeyup 66\n" + PadPress(8) +
      "key 67\nkeyup 67\n" + Click(stop) + Click(option) + Click(profilesTab) +
      "answer abcdefghijklmno\n" + Click(save) + Click(firstActiveBox) + Click(secondActiveBox) +
      Click(exitButton);
  KltoolSession expected;
  ASSERT_TRUE(RunKltoolEditor(script, expected, error)) << error;
  ASSERT_FALSE(expected.keyFile.empty()) << expected.transcript;
  EXPECT_EQ(ReadWholeFile(KeyFolder() + "NOTEPAD.key"), expected.keyFile);
  EXPECT_EQ(ReadWholeFile(listPath), expected.gameList);
  EXPECT_NE(expected.gameList.find("\x01"
                                   "ABCDEFGHIJ"),
            std::string::npos)
      << "ten of the fifteen characters typed name the profile (stored in capitals), marked active";
  EXPECT_NE(expected.transcript.find("setting 0 0 0 1 0"), std::string::npos)
      << expected.transcript;
  EXPECT_EQ(StoredSetting(), SettingLine(expected.transcript));

  // The next start shows the same game and the second profile selected.
  Editor next;
  StartEditor(next);
  ASSERT_TRUE(next.Focus());
  EXPECT_TRUE(WaitUntil([&] { return YellowPixels(next.Pixels(layout::kProfileRows[1])) > 0; }))
      << "the second profile row is not shown selected";
  EXPECT_GT(YellowPixels(next.Pixels(layout::kGameRows[0])), 0u) << "the game is not selected";
  EXPECT_EQ(YellowPixels(next.Pixels(layout::kProfileRows[0])), 0u);
  EXPECT_EQ(orvotest::WindowsOfClass("MyOrvoClass").size(), 1u) << "one mapper";
  Shot("editor-restarted");
}

// A picture as a binary PPM: 0x00RRGGBB pixels, rows top down.
bool SavePpm(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
  std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  for (uint32_t pixel : pixels) {
    bytes += static_cast<char>((pixel >> 16) & 0xFF);
    bytes += static_cast<char>((pixel >> 8) & 0xFF);
    bytes += static_cast<char>(pixel & 0xFF);
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The freshly started editor shows, pixel for pixel, the pictures at the
// rectangles kltool editor draws for the same start (one pad of 12 buttons,
// no games), and a text in every place it writes one.
TEST_F(EditorOnWine, TheStartPictureIsWhatKltoolDrawsForTheSameStart) {
  Editor editor;
  StartEditor(editor);
  // The part of the background the view's client area shows.
  RECT client = {};
  ASSERT_TRUE(GetClientRect(editor.View(), &client));
  const layout::Rect whole{0, 0, std::min<int>(layout::kBackgroundRect.right, client.right - 1),
                           std::min<int>(layout::kBackgroundRect.bottom, client.bottom - 1)};
  RecordProperty("view", std::to_string(client.right) + "x" + std::to_string(client.bottom));
  const std::vector<uint32_t> shown = editor.Settled(whole, 300);
  ASSERT_EQ(shown.size(), static_cast<size_t>(whole.Width()) * whole.Height());
  const std::string shot = winetest::TempPath("editor-start-view.ppm");
  ASSERT_TRUE(SavePpm(shot, shown, whole.Width(), whole.Height()));
  Shot("editor-start");

  const std::string keys = winetest::TempPath("picture-keys");
  CreateDirectoryA(keys.c_str(), nullptr);
  const std::string script = winetest::TempPath("picture.script");
  {
    FILE* file = std::fopen(script.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("pad 0 buttons=12\nstart\nrepaint\n", file);
    std::fclose(file);
  }
  const winetest::RunResult drawn =
      winetest::RunProgram(winetest::Quote(ProgramFolder() + "kltool.exe") + " editor " +
                           winetest::Quote(keys) + " " + winetest::Quote(script));
  ASSERT_TRUE(drawn.finished && drawn.exitCode == 0) << drawn.output;
  const std::string transcript = winetest::TempPath("picture-transcript.txt");
  {
    FILE* file = std::fopen(transcript.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(drawn.output.data(), 1, drawn.output.size(), file);
    std::fclose(file);
  }

  // The logo steps by itself while the editor is in front.
  const layout::Rect logo = layout::kLogoRect;
  const std::string mask = std::to_string(logo.left) + "," + std::to_string(logo.top) + "," +
                           std::to_string(logo.right) + "," + std::to_string(logo.bottom);
  const std::string result = winetest::TempPath("picture-result.txt");
  DeleteFileA(result.c_str());
  const std::string out = UnixPath(ProgramFolder() + "screenshots\\editor-start-picture");
  ASSERT_TRUE(RunUnix(Env("KL_ART_PYTHON") + " '" + Env("KL_COMPOSE_VIEW") + "' '" +
                      UnixPath(transcript) + "' '" + Env("KL_ART_DIR") + "' '" + UnixPath(shot) +
                      "' '" + out + "' --mask " + mask + " > '" + UnixPath(result) +
                      "' 2>&1; echo $? >> '" + UnixPath(result) + "'"));
  const std::vector<std::string> lines = winetest::Lines(ReadWholeFile(result));
  ASSERT_FALSE(lines.empty()) << "the composer wrote nothing";
  EXPECT_EQ(lines.back(), "0") << ReadWholeFile(result);
  RecordProperty("picture", ReadWholeFile(result));
}

}  // namespace
}  // namespace kl::editortest
