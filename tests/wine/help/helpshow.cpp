// helpshow: asks the help system for a topic the way the programs do, and
// writes down what the help window then shows.
//
//   helpshow.exe FILE COMMAND DATA OUT.txt
//     calls WinHelpA(owner, FILE, COMMAND, DATA), waits (at most 20 s) until
//     the help window's text is not empty, differs from what it showed
//     before the call and has stayed the same for 300 ms, and writes that
//     text to OUT.txt. Exit status 0 when it did, 1 when the call was
//     refused or no new text came. The help window stays open.
//   helpshow.exe --wait OUT.txt
//     as above without a call of its own: waits for the help window to show
//     a text (someone else asked for it) and writes it to OUT.txt.
//   helpshow.exe --point CAPTION TEXT
//     prints the screen position "X Y" of the middle of the control showing
//     TEXT in the top-level window with CAPTION (waits at most 20 s for it).
//   helpshow.exe --control CAPTION ID
//     the same for the control with dialog id ID anywhere inside that window
//     (a control of a property sheet's page, say).
//   helpshow.exe --quit FILE
//     asks the help window to close and waits until it has.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND HelpWindow() {
  HWND main = FindWindowA("MS_WINHELP", nullptr);
  return main && IsWindowVisible(main) ? main : nullptr;
}

BOOL CALLBACK FindRichEdit(HWND child, LPARAM param) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof(name));
  if (std::string(name).find("RichEdit") == std::string::npos || !IsWindowVisible(child))
    return TRUE;
  *reinterpret_cast<HWND*>(param) = child;
  return FALSE;
}

// The text control inside the help window.
HWND HelpText() {
  HWND main = HelpWindow();
  if (!main) return nullptr;
  HWND found = nullptr;
  EnumChildWindows(main, FindRichEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

// GetWindowText does not ask a window of another process for its text; the
// messages do.
std::string ShownText() {
  HWND text = HelpText();
  if (!text) return "";
  LRESULT length = SendMessageA(text, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return "";
  std::string out(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = SendMessageA(text, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                             reinterpret_cast<LPARAM>(out.data()));
  out.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return out;
}

void Pump(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(20);
  } while (GetTickCount() - start < milliseconds);
}

std::string WaitForNewText(const std::string& before) {
  DWORD start = GetTickCount();
  std::string last;
  DWORD steadySince = 0;
  while (GetTickCount() - start < 20000) {
    Pump(50);
    std::string now = ShownText();
    if (now.empty() || now == before) {
      last.clear();
    } else if (now != last) {
      last = now;
      steadySince = GetTickCount();
    } else if (GetTickCount() - steadySince >= 300) {
      return now;
    }
  }
  return "";
}

bool WriteText(const char* path, const std::string& text) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return std::fclose(out) == 0 && written;
}

// Waits for the new text, lets the window finish painting before anyone
// takes its picture, and writes the text down.
int RecordNewText(const std::string& before, const char* path) {
  const std::string text = WaitForNewText(before);
  if (text.empty()) {
    std::printf("the help window showed no new text\n");
    return 1;
  }
  Pump(300);
  return WriteText(path, text) ? 0 : 1;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindControl(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ControlSearch*>(param);
  if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child)) return TRUE;
  search->found = child;
  return FALSE;
}

// Prints the middle of the visible control `find` finds in the window with
// CAPTION, waiting at most 20 s for it.
int PrintCentre(const char* caption, const std::string& what, HWND (*find)(HWND, const char*),
                const char* key) {
  for (int i = 0; i < 400; ++i) {
    HWND top = FindWindowA(nullptr, caption);
    HWND control = top ? find(top, key) : nullptr;
    RECT rect = {};
    if (control && IsWindowVisible(control) && GetWindowRect(control, &rect)) {
      std::printf("%ld %ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      return 0;
    }
    Pump(50);
  }
  std::printf("no control %s in a window \"%s\"\n", what.c_str(), caption);
  return 1;
}

HWND ChildWithText(HWND top, const char* text) {
  return FindWindowExA(top, nullptr, nullptr, text);
}

HWND DescendantWithId(HWND top, const char* id) {
  ControlSearch search{std::atoi(id), nullptr};
  EnumChildWindows(top, FindControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int main(int argc, char** argv) {
  HWND owner = CreateWindowA("STATIC", "helpshow", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (argc == 3 && std::string(argv[1]) == "--quit") {
    WinHelpA(owner, argv[2], HELP_QUIT, 0);
    for (int i = 0; i < 200 && HelpWindow(); ++i) Pump(50);
    return HelpWindow() ? 1 : 0;
  }
  if (argc == 3 && std::string(argv[1]) == "--wait") return RecordNewText("", argv[2]);
  if (argc == 4 && std::string(argv[1]) == "--point") {
    return PrintCentre(argv[2], std::string("\"") + argv[3] + "\"", ChildWithText, argv[3]);
  }
  if (argc == 4 && std::string(argv[1]) == "--control") {
    return PrintCentre(argv[2], argv[3], DescendantWithId, argv[3]);
  }
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: helpshow FILE COMMAND DATA OUT.txt | --wait OUT.txt"
                 " | --point CAPTION TEXT | --control CAPTION ID | --quit FILE\n");
    return 2;
  }
  const UINT command = static_cast<UINT>(std::strtoul(argv[2], nullptr, 0));
  const ULONG_PTR data = std::strtoul(argv[3], nullptr, 0);
  const std::string before = ShownText();
  if (!WinHelpA(owner, argv[1], command, data)) {
    std::printf("WinHelpA refused command %u\n", command);
    return 1;
  }
  return RecordNewText(before, argv[4]);
}
