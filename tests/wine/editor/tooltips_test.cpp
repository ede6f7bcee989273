// The tooltips over the label boxes of KLOOM.EXE's pad picture, as a user
// meets them with the pointer: a label too short for its assignment shows
// the whole text as a tip, a label that shows all of it shows none.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"

namespace kl::editortest {
namespace {

using orvotest::KeyFolder;
using winetest::WaitUntil;

// The editor's tooltip window while it is shown, else null.
HWND ShownTip(DWORD process) {
  return ShownWindowOfClass(process, TOOLTIPS_CLASSA);
}

TEST_F(EditorOnWine, ALongLabelShowsItsWholeTextAsATipAShortOneNone) {
  // Up keeps its arrow (2 characters); pad button 2 sends Ctrl+Shift+A.
  std::vector<orvotest::Entry> entries(16);
  entries[0] = {0, {{0, VK_UP}}};
  entries[5] = {0, {{0x28, 'A'}}};
  std::string error;
  ASSERT_TRUE(orvotest::SaveProfile(KeyFolder(), "NOTEPAD.EXE", "TIPS", entries, error)) << error;
  // Tool 27 covers input 5, tool 22 input 0.
  KltoolSession expected;
  ASSERT_TRUE(RunKltoolEditor("pad 0 buttons=12\nstart\ntooltip 27\ntooltip 22\n", expected, error,
                              KeyFolder()))
      << error;
  const size_t longTip = expected.transcript.find("tooltip-text \"");
  ASSERT_NE(longTip, std::string::npos) << expected.transcript;
  const size_t textStart = longTip + 14;
  const std::string tipText =
      expected.transcript.substr(textStart, expected.transcript.find('"', textStart) - textStart);
  EXPECT_GT(tipText.size(), 10u);
  EXPECT_NE(expected.transcript.find("tooltip-text none"), std::string::npos);

  Editor editor;
  StartEditor(editor);
  ASSERT_TRUE(editor.Focus());
  const layout::Point longLabel = Centre(layout::kModel12Labels[5]);
  const layout::Point shortLabel = Centre(layout::kModel12Labels[0]);
  ASSERT_TRUE(editor.MoveTo(longLabel.x, longLabel.y));
  ASSERT_TRUE(editor.MoveTo(longLabel.x + 1, longLabel.y));
  HWND tip = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (tip = ShownTip(editor.ProcessId())) != nullptr; }))
      << "no tip over the long label";
  EXPECT_EQ(orvotest::WindowText(tip), tipText);
  Shot("editor-tooltip");

  ASSERT_TRUE(editor.MoveTo(shortLabel.x, shortLabel.y));
  ASSERT_TRUE(editor.MoveTo(shortLabel.x + 1, shortLabel.y));
  EXPECT_TRUE(WaitUntil([&] { return ShownTip(editor.ProcessId()) == nullptr; }))
      << "the tip stays over the short label";
  // Longer than the tip's own delay: none comes.
  EXPECT_FALSE(WaitUntil([&] { return ShownTip(editor.ProcessId()) != nullptr; }, 2000));
  Shot("editor-no-tooltip");
}

}  // namespace
}  // namespace kl::editortest
