// KLOOM.EXE's dialogs through the window: the assignment table lists every
// entry of the shown pad with the texts kltool editor prints, and F1 on a
// control of the name, web address and table dialogs asks the help viewer
// for that control's topic in the program's own help file. A stand-in for
// the viewer's window records what WinHelpA hands it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editor_world.h"
#include "layout_tables.h"
#include "orvo/orvo_world.h"
#include "platform/quote_text.h"

namespace kl::editortest {
namespace {

using orvotest::InstallFolder;
using orvotest::KeyFolder;
using winetest::WaitUntil;

// WinHelpA finds the viewer by its window class and sends it the request as
// WM_COPYDATA: this header, then the file name at its offset.
struct WinHelpRequest {
  WORD size;
  WORD command;
  LONG data;
  LONG reserved;
  WORD fileOffset;
  WORD dataOffset;
};
constexpr ULONG_PTR kWinHelpCopyData = 0xA1DE505;

struct HelpCall {
  UINT command = 0;
  long data = 0;
  std::string file;
};

// A top-level window of the viewer's class "MS_WINHELP" in this process that
// keeps every request it gets.
class HelpRecorder {
 public:
  HelpRecorder() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MS_WINHELP";
    RegisterClassA(&wc);
    m_window = CreateWindowA("MS_WINHELP", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                             nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~HelpRecorder() {
    if (m_window != nullptr) DestroyWindow(m_window);
  }
  HelpRecorder(const HelpRecorder&) = delete;
  HelpRecorder& operator=(const HelpRecorder&) = delete;
  bool Ready() const { return m_window != nullptr; }
  const std::vector<HelpCall>& Calls() const { return m_calls; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HelpRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COPYDATA && self != nullptr) {
      const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (copy->dwData == kWinHelpCopyData && copy->cbData >= sizeof(WinHelpRequest)) {
        const auto* request = static_cast<const WinHelpRequest*>(copy->lpData);
        HelpCall call;
        call.command = request->command;
        call.data = request->data;
        if (request->fileOffset >= sizeof(WinHelpRequest) && request->fileOffset < copy->cbData) {
          const char* file = static_cast<const char*>(copy->lpData) + request->fileOffset;
          call.file.assign(file, strnlen(file, copy->cbData - request->fileOffset));
        }
        self->m_calls.push_back(call);
      }
      return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND m_window = nullptr;
  std::vector<HelpCall> m_calls;
};

// Memory in another process for the list view messages that take pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) : m_size(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    m_process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (m_process != nullptr) {
      m_memory = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (m_memory != nullptr) VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
    if (m_process != nullptr) CloseHandle(m_process);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  char* At(size_t offset) const { return static_cast<char*>(m_memory) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return m_memory != nullptr && offset + size <= m_size &&
           WriteProcessMemory(m_process, At(offset), data, size, nullptr);
  }
  std::string ReadText(size_t offset, size_t limit) const {
    std::vector<char> text(limit + 1, '\0');
    if (m_memory == nullptr ||
        !ReadProcessMemory(m_process, At(offset), text.data(), limit, nullptr)) {
      return {};
    }
    return text.data();
  }

 private:
  HANDLE m_process = nullptr;
  void* m_memory = nullptr;
  size_t m_size;
};

constexpr size_t kTextOffset = 256;
constexpr size_t kTextLimit = 512;

std::string ListItemText(HWND list, const RemoteBuffer& remote, int item, int column) {
  LVITEMA lv = {};
  lv.iSubItem = column;
  lv.pszText = remote.At(kTextOffset);
  lv.cchTextMax = kTextLimit;
  if (!remote.Write(0, &lv, sizeof lv)) return {};
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
               reinterpret_cast<LPARAM>(remote.At(0)));
  return remote.ReadText(kTextOffset, kTextLimit);
}

std::string ListColumnTitle(HWND list, const RemoteBuffer& remote, int column) {
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT;
  col.pszText = remote.At(kTextOffset);
  col.cchTextMax = kTextLimit;
  if (!remote.Write(0, &col, sizeof col)) return {};
  if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(remote.At(0)))) {
    return {};
  }
  return remote.ReadText(kTextOffset, kTextLimit);
}

// The list as kltool editor prints the table: one "row" line per row.
std::vector<std::string> ListRows(HWND list) {
  RemoteBuffer remote(list, kTextOffset + kTextLimit + 1);
  std::vector<std::string> rows;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int item = 0; item < count; ++item) {
    rows.push_back("row " + QuoteForLog(ListItemText(list, remote, item, 0)) + " " +
                   QuoteForLog(ListItemText(list, remote, item, 1)) + " " +
                   QuoteForLog(ListItemText(list, remote, item, 2)));
  }
  return rows;
}

std::vector<std::string> TranscriptRows(const std::string& transcript) {
  std::vector<std::string> rows;
  for (const std::string& line : TextLines(transcript)) {
    if (line.rfind("row ", 0) == 0) rows.push_back(line);
  }
  return rows;
}

std::string ClickLine(const layout::Point& p) {
  return "click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

class EditorDialogs : public EditorOnWine {
 protected:
  // Tabs to control `id` of `dialog`, presses F1 and checks the request
  // the viewer got for it.
  void ExpectHelpFor(Editor& editor, HWND dialog, int id, long topic) {
    SCOPED_TRACE("control " + std::to_string(id));
    ASSERT_NO_FATAL_FAILURE(TabTo(editor, dialog, id));
    const size_t before = m_help.Calls().size();
    ASSERT_TRUE(editor.Keys("F1"));
    ASSERT_TRUE(WaitUntil([&] { return m_help.Calls().size() > before; }))
        << "F1 asked the help viewer for nothing";
    const HelpCall& call = m_help.Calls().back();
    EXPECT_EQ(call.file, InstallFolder() + "KLOOM.HLP");
    EXPECT_EQ(call.command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(call.data, topic);
  }

  HelpRecorder m_help;
};

TEST_F(EditorDialogs, TheAssignmentTableListsEveryEntryOfTheShownPad) {
  ASSERT_TRUE(m_help.Ready());
  const layout::PictureMenu& profiles = layout::kMenus[1];
  const std::string script = "setting none\nstart\n" + ClickLine(Centre(profiles.tab)) +
                             ClickLine(Centre(profiles.items[8]));
  struct Case {
    int buttons;
    size_t rows;
  };
  for (const Case& c : {Case{12, 16}, Case{10, 14}}) {
    SCOPED_TRACE(std::to_string(c.buttons) + " buttons");
    EndAll();
    const winetest::RunResult plug =
        winetest::RunHelper("vpadctl.exe", {"plug", "0", "buttons=" + std::to_string(c.buttons)});
    ASSERT_TRUE(plug.finished && plug.exitCode == 0) << plug.output;
    KltoolSession expected;
    std::string error;
    ASSERT_TRUE(RunKltoolEditor("pad 0 buttons=" + std::to_string(c.buttons) + "\n" + script,
                                expected, error))
        << error;
    const std::vector<std::string> expectedRows = TranscriptRows(expected.transcript);
    ASSERT_EQ(expectedRows.size(), c.rows) << expected.transcript;

    Editor editor;
    StartEditor(editor);
    HWND dialog = OpenFromMenu(editor, 1, 8);
    ASSERT_NE(dialog, nullptr) << "no assignment table";
    HWND list = GetDlgItem(dialog, 1003);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListRows(list), expectedRows);
    RemoteBuffer remote(list, kTextOffset + kTextLimit + 1);
    const int widths[] = {55, 132, 182};
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(ListColumnTitle(list, remote, column), EditorString(61365 + column));
      EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0), widths[column]);
    }
    Shot("editor-assignment-table-" + std::to_string(c.buttons));
    ExpectHelpFor(editor, dialog, 1003, 52);
    ExpectHelpFor(editor, dialog, IDOK, 53);
    ASSERT_TRUE(editor.Keys("Return"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "OK does not close the table";
  }
}

TEST_F(EditorDialogs, F1OnAControlAsksForItsTopicInTheProgramsHelpFile) {
  ASSERT_TRUE(m_help.Ready());
  // A registered game, so that saving asks for a name.
  const winetest::RunResult added =
      winetest::RunHelper("kltool.exe", {"game", "add", KeyFolder(), "NOTEPAD.EXE"});
  ASSERT_TRUE(added.finished && added.exitCode == 0) << added.output;
  Editor editor;
  StartEditor(editor);

  HWND web = OpenFromMenu(editor, 0, 5);
  ASSERT_NE(web, nullptr) << "no web address dialog";
  Shot("editor-web-dialog");
  ExpectHelpFor(editor, web, 1000, 63);
  ExpectHelpFor(editor, web, IDOK, 64);
  ExpectHelpFor(editor, web, IDCANCEL, 62);
  ASSERT_TRUE(editor.Keys("Escape"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(web); }));

  HWND name = OpenNameDialog(editor);
  ASSERT_NE(name, nullptr) << "no name dialog";
  ExpectHelpFor(editor, name, 1033, 60);
  ExpectHelpFor(editor, name, IDOK, 61);
  ExpectHelpFor(editor, name, IDCANCEL, 62);
  ASSERT_TRUE(editor.Keys("Escape"));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(name); }));
}

// Wine's browser launcher runs the test's browser script while it lives.
class TestBrowser {
 public:
  TestBrowser() {
    const char* script = std::getenv("KL_BROWSER");
    const char* log = std::getenv("KL_BROWSER_LOG");
    if (script == nullptr || log == nullptr) return;
    m_log = log;
    DeleteFileA(m_log.c_str());
    m_set = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &m_key, nullptr) == ERROR_SUCCESS &&
            RegSetValueExA(m_key, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(script),
                           static_cast<DWORD>(std::strlen(script) + 1)) == ERROR_SUCCESS;
  }
  ~TestBrowser() {
    if (m_key == nullptr) return;
    RegDeleteValueA(m_key, "Browsers");
    RegCloseKey(m_key);
  }
  TestBrowser(const TestBrowser&) = delete;
  TestBrowser& operator=(const TestBrowser&) = delete;
  bool Ready() const { return m_set; }
  // The addresses the browser was asked to open, one a line.
  std::vector<std::string> Opened() const { return TextLines(winetest::ReadWholeFile(m_log)); }

 private:
  std::string m_log;
  HKEY m_key = nullptr;
  bool m_set = false;
};

TEST_F(EditorDialogs, TheWebPageOpensTheAddressShownOrTypedInTheBrowser) {
  TestBrowser browser;
  ASSERT_TRUE(browser.Ready()) << "KL_BROWSER names no browser script";
  Editor editor;
  StartEditor(editor);
  struct Case {
    const char* keys;  // typed over the proposed address; null: left as it is
    bool open;
  };
  const Case cases[] = {{nullptr, false}, {nullptr, true}, {"http://example.org/keyloom", true}};
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keys != nullptr ? c.keys : "proposed") +
                 (c.open ? ", Open" : ", Cancel"));
    HWND web = OpenFromMenu(editor, 0, 5);
    ASSERT_NE(web, nullptr) << "no web address dialog";
    HWND edit = GetDlgItem(web, 1000);
    std::string address = orvotest::WindowText(edit);
    EXPECT_EQ(address.rfind("http://", 0), 0u) << address;
    if (c.keys != nullptr) {
      // The proposed address is selected: typing replaces it.
      ASSERT_TRUE(Xdo("type --delay 40 '" + std::string(c.keys) + "'"));
      ASSERT_TRUE(WaitUntil([&] { return orvotest::WindowText(edit) == c.keys; }));
      address = c.keys;
      Shot("editor-web-dialog-typed");
    }
    ASSERT_TRUE(editor.Keys(c.open ? "Return" : "Escape"));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(web); }));
    if (!c.open) continue;
    expected.push_back(address);
    EXPECT_TRUE(WaitUntil([&] { return browser.Opened().size() >= expected.size(); }, 20000))
        << "the browser was not asked for " << address;
    // In order, and nothing for the cancelled dialog.
    EXPECT_EQ(browser.Opened(), expected);
  }
}

}  // namespace
}  // namespace kl::editortest
