// KLOOM.EXE's help through Wine's own help viewer and the real KLOOM.HLP
// beside the program: F1 on a control of the profile name dialog opens that
// control's topic, and the help menu's Help Contents and Help Topics open
// the contents. What the viewer shows is read back with helpshow.exe and
// compared with the topic in the help source (KL_HELP_SOURCE).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"

namespace kl::editortest {
namespace {

using orvotest::InstallFolder;
using orvotest::KeyFolder;
using winetest::WaitUntil;

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A paragraph as the viewer shows it: a jump [[TEXT|TOPIC]] shows its TEXT.
std::string ShownJumps(const std::string& paragraph) {
  std::string shown;
  size_t at = 0;
  while (at < paragraph.size()) {
    const size_t open = paragraph.find("[[", at);
    const size_t bar = open == std::string::npos ? open : paragraph.find('|', open);
    const size_t close = bar == std::string::npos ? bar : paragraph.find("]]", bar);
    if (close == std::string::npos) {
      shown += paragraph.substr(at);
      break;
    }
    shown += paragraph.substr(at, open - at) + paragraph.substr(open + 2, bar - open - 2);
    at = close + 2;
  }
  return shown;
}

// The title and the paragraphs of the topic with context id `id` in the
// help source text; empty when it has none. A topic starts with a line
// "@topic NAME ID: TITLE" or "@popup NAME ID: TITLE" and ends at the next
// line starting with "@"; its paragraphs are runs of lines joined by a space.
std::vector<std::string> TopicLines(const std::string& source, int id) {
  std::vector<std::string> lines;
  std::string paragraph;
  bool inTopic = false;
  const auto endParagraph = [&] {
    if (!paragraph.empty()) lines.push_back(ShownJumps(paragraph));
    paragraph.clear();
  };
  size_t at = 0;
  while (at < source.size()) {
    size_t end = source.find('\n', at);
    if (end == std::string::npos) end = source.size();
    const std::string line = Trimmed(source.substr(at, end - at));
    at = end + 1;
    if (line.rfind('#', 0) == 0) continue;
    if (line.rfind('@', 0) == 0) {
      if (inTopic) break;
      const size_t colon = line.find(':');
      const std::string head = line.substr(0, colon);
      const bool topic = head.rfind("@topic ", 0) == 0 || head.rfind("@popup ", 0) == 0;
      const size_t idAt = head.find_last_of(' ');
      if (topic && colon != std::string::npos && head.substr(idAt + 1) == std::to_string(id)) {
        inTopic = true;
        lines.push_back(Trimmed(line.substr(colon + 1)));
      }
      continue;
    }
    if (!inTopic) continue;
    if (line.empty()) {
      endParagraph();
    } else {
      paragraph += (paragraph.empty() ? "" : " ") + line;
    }
  }
  endParagraph();
  return lines;
}

std::vector<HWND> Viewers() {
  return orvotest::WindowsOfClass("MS_WINHELP");
}

// Closes every help viewer window and waits until they are gone.
bool CloseViewers() {
  for (HWND viewer : Viewers()) PostMessageA(viewer, WM_CLOSE, 0, 0);
  return WaitUntil([] { return Viewers().empty(); }, 10000);
}

class EditorHelp : public EditorOnWine {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CloseViewers());
    EditorOnWine::SetUp();
    const char* path = std::getenv("KL_HELP_SOURCE");
    ASSERT_NE(path, nullptr) << "KL_HELP_SOURCE names no help source";
    m_source = winetest::ReadWholeFile(path);
    ASSERT_FALSE(m_source.empty()) << "cannot read " << path;
    ASSERT_NE(GetFileAttributesA((InstallFolder() + "KLOOM.HLP").c_str()), INVALID_FILE_ATTRIBUTES)
        << "no KLOOM.HLP beside KLOOM.EXE";
  }
  void TearDown() override {
    CloseViewers();
    EditorOnWine::TearDown();
  }

  // Waits for the help viewer to show a text and checks that it is the
  // topic with context id `topic`; `shot` names the screenshot taken then.
  void ExpectViewerShows(int topic, const std::string& shot) {
    const std::vector<std::string> want = TopicLines(m_source, topic);
    ASSERT_FALSE(want.empty()) << "the help source has no topic " << topic;
    const std::string out = winetest::TempPath("editor-help-shown.txt");
    DeleteFileA(out.c_str());
    const winetest::RunResult shown = winetest::RunHelper("helpshow.exe", {"--wait", out});
    Shot(shot);
    ASSERT_TRUE(shown.finished && shown.exitCode == 0)
        << "the help viewer shows nothing: " << shown.output;
    EXPECT_EQ(TextLines(winetest::ReadWholeFile(out)), want);
  }

  // F1 on control `id` of `dialog` with no viewer open before.
  void ExpectF1Shows(Editor& editor, HWND dialog, int id, int topic, const std::string& shot) {
    SCOPED_TRACE("control " + std::to_string(id));
    ASSERT_TRUE(CloseViewers());
    ASSERT_TRUE(orvotest::BringToFront(dialog));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 5000));
    ASSERT_NO_FATAL_FAILURE(TabTo(editor, dialog, id));
    ASSERT_TRUE(editor.Keys("F1"));
    ExpectViewerShows(topic, shot);
  }

  std::string m_source;
};

TEST_F(EditorHelp, F1OnTheNameDialogShowsTheControlsTopic) {
  // A registered game, so that saving a new profile asks for its name.
  const winetest::RunResult added =
      winetest::RunHelper("kltool.exe", {"game", "add", KeyFolder(), "NOTEPAD.EXE"});
  ASSERT_TRUE(added.finished && added.exitCode == 0) << added.output;
  Editor editor;
  StartEditor(editor);
  HWND name = OpenNameDialog(editor);
  ASSERT_NE(name, nullptr) << "no name dialog";

  ExpectF1Shows(editor, name, 1033, 60, "editor-help-name-edit");
  ExpectF1Shows(editor, name, IDOK, 61, "editor-help-name-ok");
  ASSERT_TRUE(CloseViewers());
  ASSERT_TRUE(orvotest::BringToFront(name));
  ASSERT_TRUE(editor.Keys("Escape"));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(name); })) << "the name dialog stays";
}

TEST_F(EditorHelp, TheHelpMenuOpensTheContents) {
  Editor editor;
  StartEditor(editor);
  const layout::PictureMenu& help = layout::kMenus[2];
  struct Case {
    int item;
    const char* shot;
  };
  // Help Contents asks for the contents topic, Help Topics for the finder,
  // which Wine's viewer opens on the contents too.
  for (const Case& c : {Case{0, "editor-help-contents"}, Case{1, "editor-help-topics"}}) {
    SCOPED_TRACE(c.shot);
    ASSERT_TRUE(CloseViewers());
    ASSERT_TRUE(editor.Focus());
    ASSERT_TRUE(editor.ClickShowing(Centre(help.tab), help.dropDown))
        << "the help menu did not open";
    const layout::Point item = Centre(help.items[c.item]);
    ASSERT_TRUE(editor.Click(item.x, item.y));
    ExpectViewerShows(1, c.shot);
  }
}

}  // namespace
}  // namespace kl::editortest
