// The editor's end-to-end world on top of the mapper's: KLOOM.EXE and its
// resource module installed beside ORVO.EXE, the editor started from there,
// its frame and view found, and a user's hands: xdotool moving and clicking
// the pointer at view coordinates and typing keys, and X screenshots.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "harness/support.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"

namespace kl::editortest {

// ORVO.EXE, KLOOM.EXE, both resource modules, the virtual pad's DLLs and,
// when the test has it, KLOOM.HLP in the installation folder, with an
// empty KEYFILES and no "Setting".
bool InstallEditor(std::string& error);
// Ends every editor and mapper on the desktop and waits until they are gone.
void EndAll();

// The Unix path Wine maps a DOS path to; empty when it cannot.
std::string UnixPath(const std::string& path);
// Runs a shell command line on the host (through Wine) and waits until it is done.
bool RunUnix(const std::string& command);
// Runs xdotool with `args`.
bool Xdo(const std::string& args);
// xdotool key names, e.g. "shift+k", typed into whatever window is in front.
bool TypeKeys(const std::string& keys);

// KLOOM.EXE started from the installation folder.
class Editor {
 public:
  // Starts it; false when it could not be started at all.
  bool Start();
  // Waits for its frame; false when none came.
  bool WaitForFrame(DWORD timeoutMs = 20000);
  HWND Frame() const { return m_frame; }
  HWND View() const { return m_view; }
  DWORD ProcessId() const { return GetProcessId(m_process.Process()); }
  bool WaitForExit(DWORD timeoutMs, DWORD* code = nullptr) {
    return m_process.WaitForExit(timeoutMs, code);
  }
  // Brings the frame to the front, the keyboard to the view.
  bool Focus();
  // A click of the left button at view point (x, y), through X.
  bool Click(int x, int y);
  // The same, then waits until the view shows a change inside `watch`.
  bool ClickShowing(layout::Point p, const layout::Rect& watch);
  // The pointer to view point (x, y) without a click.
  bool MoveTo(int x, int y);
  // xdotool key names, e.g. "shift+k", typed into the frame in front.
  bool Keys(const std::string& keys);
  // The same, then waits until the view shows a change inside `watch`.
  bool KeysShowing(const std::string& keys, const layout::Rect& watch);
  // What the screen shows of the view inside `rect` (0x00RRGGBB per pixel,
  // rows top down); empty when it cannot be read.
  std::vector<uint32_t> Pixels(const layout::Rect& rect) const;
  // Waits until the view inside `rect` differs from `before`, then until
  // the drawing there has come to rest.
  bool WaitForChange(const layout::Rect& rect, const std::vector<uint32_t>& before,
                     DWORD timeoutMs = 5000) const;
  // Waits until the view inside `rect` stays the same for `quietMs`; what it shows then.
  std::vector<uint32_t> Settled(const layout::Rect& rect, DWORD quietMs = 150) const;
  // The editor's dialog (class #32770) in front, or null after `timeoutMs`.
  HWND WaitForDialog(DWORD timeoutMs = 10000) const;
  // The texts of a message box or dialog's static controls, joined by new lines.
  static std::string DialogText(HWND dialog);

 private:
  winetest::Started m_process;
  HWND m_frame = nullptr;
  HWND m_view = nullptr;
};

// A PNG of the whole screen in the screenshots folder beside the test; its path, or empty.
std::string ScreenPng(const std::string& name);

// A string of KLOOM_RS.DLL, read from the module as a data file.
std::string EditorString(UINT id);

// A visible top-level window of class `className` that `process` owns, or null.
HWND ShownWindowOfClass(DWORD process, const char* className);

// The lines of `text` (ended by CR, LF or both), trimmed of blanks at both
// ends, without the empty ones.
std::vector<std::string> TextLines(const std::string& text);

// The id of the control that has the keyboard focus in `dialog`'s thread, or -1.
int FocusedControl(HWND dialog);

inline layout::Point Centre(const layout::Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Whether a label box's pixels look selected: a selected one is drawn dark,
// an unselected one light.
bool LooksSelected(const std::vector<uint32_t>& pixels);

// What kltool editor writes for a user session given as a script: the key
// file of notepad and the game list (empty when it writes none) and its
// transcript. It runs on a folder of its own, emptied first, or on
// `folder` as it is. False when kltool fails.
struct KltoolSession {
  std::string keyFile;
  std::string gameList;
  std::string transcript;
};
bool RunKltoolEditor(const std::string& script, KltoolSession& session, std::string& error,
                     const std::string& folder = {});

// A test with the editor installed, the virtual pad configured as the
// maker's 12-button pad, and everything ended again afterwards.
class EditorOnWine : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the editor and waits for its frame and view.
  void StartEditor(Editor& editor);
  // Saves the screen and notes where.
  void Shot(const std::string& name);
  // Opens the drawn menu `menu` and picks `item`: the dialog that opens, or null.
  HWND OpenFromMenu(Editor& editor, int menu, int item);
  // New Profile, then Save Profile from the profile menu: the name dialog
  // asking for the new profile's name, or null.
  HWND OpenNameDialog(Editor& editor);
  // Presses Tab in `dialog` until its control `id` has the keyboard focus.
  void TabTo(Editor& editor, HWND dialog, int id);
};

}  // namespace kl::editortest
