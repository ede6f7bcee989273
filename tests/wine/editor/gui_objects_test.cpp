// KLOOM.EXE keeps its GDI objects and windows through many repaints and
// picture menu open/close cycles: the painter and the view release every
// bitmap, font and brush they make. GetGuiResources answers 0 under Wine,
// so the GDI objects are counted in the handle table the system keeps for
// the process, and the USER side is followed by the process's windows
// (the tooltip and its tools, the frame, the view).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"
#include "print/print_support.h"

namespace kl::editortest {
namespace {

using orvotest::KeyFolder;
using winetest::WaitUntil;

struct WindowCount {
  DWORD process;
  int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->count;
  return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM data) {
  auto* counted = reinterpret_cast<WindowCount*>(data);
  if (orvotest::ProcessOf(window) != counted->process) return TRUE;
  ++counted->count;
  EnumChildWindows(window, &CountChild, data);
  return TRUE;
}

// How many windows, top-level and children, `process` has.
int Windows(DWORD process) {
  WindowCount counted{process, 0};
  EnumWindows(&CountTop, reinterpret_cast<LPARAM>(&counted));
  return counted.count;
}

// A point of the view outside every hot spot and every drop-down: a click
// there closes an open menu and does nothing else.
layout::Point Blank() {
  for (int y = 1; y < 400; y += 3) {
    for (int x = 1; x < 600; x += 3) {
      const layout::Point p{x, y};
      bool taken = false;
      for (const layout::HotSpot& spot : layout::kHotSpots) taken = taken || spot.rect.Contains(p);
      for (const layout::PictureMenu& menu : layout::kMenus) {
        taken = taken || menu.dropDown.Contains(p);
      }
      if (!taken) return p;
    }
  }
  return {-1, -1};
}

// A click of the left button sent to the view, handled when this returns.
void SendClick(HWND view, layout::Point p) {
  const LPARAM at = MAKELPARAM(p.x, p.y);
  SendMessageA(view, WM_MOUSEMOVE, 0, at);
  SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(view, WM_LBUTTONUP, 0, at);
}

// The whole view drawn again now: erased, then painted.
bool Repaint(HWND view) {
  return RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW) != FALSE;
}

// The count of GDI objects once it holds still over a few readings.
int SteadyGdiObjects(HANDLE process) {
  int count = -1;
  WaitUntil([&] {
    const int now = printtest::GdiObjects(process);
    const bool still = now == count;
    count = now;
    return still;
  });
  return count;
}

TEST_F(EditorOnWine, RepaintsAndMenuCyclesLeaveTheEditorsGdiObjectsAndWindows) {
  // A game with a profile whose label boxes show texts and a tooltip.
  std::vector<orvotest::Entry> entries(16);
  entries[0] = {0, {{0, VK_UP}}};
  entries[5] = {0, {{0x28, 'A'}}};
  std::string error;
  ASSERT_TRUE(orvotest::SaveProfile(KeyFolder(), "NOTEPAD.EXE", "OBJECTS", entries, error))
      << error;
  Editor editor;
  StartEditor(editor);
  ASSERT_TRUE(editor.Focus());
  HWND view = editor.View();
  HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, editor.ProcessId());
  ASSERT_NE(process, nullptr);
  const layout::PictureMenu& menu = layout::kMenus[1];
  const layout::Point tab = Centre(menu.tab);
  const layout::Point blank = Blank();
  ASSERT_GE(blank.x, 0) << "the view has no blank point";

  // A cycle opens the menu and closes it again; both draw straight away.
  const std::vector<uint32_t> closed = editor.Settled(menu.dropDown);
  SendClick(view, tab);
  EXPECT_NE(editor.Settled(menu.dropDown), closed) << "a click on the tab opens no menu";
  SendClick(view, blank);
  EXPECT_EQ(editor.Settled(menu.dropDown), closed) << "a click beside it does not close it";
  // A repaint draws what was painted over.
  HDC dc = GetDC(view);
  ASSERT_NE(dc, nullptr);
  const RECT all{0, 0, 600, 400};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(view, dc);
  const layout::Rect whole{0, 0, 599, 399};
  const std::vector<uint32_t> black = editor.Settled(whole);
  ASSERT_TRUE(Repaint(view));
  EXPECT_NE(editor.Settled(whole), black) << "RedrawWindow does not repaint the view";
  Shot("editor-before-500-repaints");

  const int gdiBefore = SteadyGdiObjects(process);
  const int windowsBefore = Windows(editor.ProcessId());
  ASSERT_GT(gdiBefore, 0) << "the editor's GDI table cannot be read";
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(Repaint(view)) << "repaint " << i;
  for (int i = 0; i < 500; ++i) {
    SendClick(view, tab);
    SendClick(view, blank);
  }
  EXPECT_EQ(editor.Settled(menu.dropDown), closed) << "the menu is left open";
  int gdiAfter = -1;
  EXPECT_TRUE(
      WaitUntil([&] { return (gdiAfter = printtest::GdiObjects(process)) == gdiBefore; }, 3000))
      << gdiAfter << " GDI objects after 500 repaints and 500 menu cycles, " << gdiBefore
      << " before";
  EXPECT_EQ(Windows(editor.ProcessId()), windowsBefore);
  Shot("editor-after-500-repaints");
  CloseHandle(process);
}

}  // namespace
}  // namespace kl::editortest
