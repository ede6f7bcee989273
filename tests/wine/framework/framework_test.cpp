// The framework driven by real messages under Wine: what a hidden tray
// frame with timers, an About dialog and message boxes needs of it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/framework.h"
#include "harness/support.h"
#include "ids.h"

namespace {

using kl::AfxGetResourceHandle;
using kl::AfxLoadString;
using kl::AfxSetResourceHandle;
using kl::CDialog;
using kl::CFrameWnd;
using kl::CWinApp;
using kl::CWnd;
using kl::winetest::WaitUntil;

HINSTANCE Program() {
  return GetModuleHandleA(nullptr);
}

std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Loads the test resource module for one test and makes it the resource
// handle; gives the program's own handle back afterwards.
class Framework : public ::testing::Test {
 protected:
  void SetUp() override {
    m_module = LoadLibraryA("fwtestres.dll");
    ASSERT_NE(m_module, nullptr);
    AfxSetResourceHandle(m_module);
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    if (m_module != nullptr) {
      FreeLibrary(m_module);
    }
  }
  HMODULE m_module = nullptr;
};

// A hidden frame with two timers; it kills timer 1 after a few ticks,
// waits a few more ticks of timer 2, then closes itself.
class TimerFrame : public CFrameWnd {
 public:
  int ticks1 = 0;
  int ticks2 = 0;
  int ticks1AtKill = -1;
  int ticks2AtKill = -1;
  bool watchdog = false;
  bool everVisible = false;
  std::string title;
  LONG_PTR style = 0;

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override {
    if (!CFrameWnd::OnCreate(cs)) {
      return false;
    }
    title = WindowText(m_hWnd);
    style = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    return SetTimer(1, 10) != 0 && SetTimer(2, 25) != 0 && SetTimer(99, 20000) != 0;
  }
  bool OnTimer(UINT_PTR id) override {
    everVisible = everVisible || IsWindowVisible(m_hWnd);
    if (id == 1) {
      ++ticks1;
    } else if (id == 2) {
      ++ticks2;
      if (ticks1AtKill < 0 && ticks1 >= 3 && ticks2 >= 2) {
        KillTimer(1);
        ticks1AtKill = ticks1;
        ticks2AtKill = ticks2;
      } else if (ticks1AtKill >= 0 && ticks2 >= ticks2AtKill + 3) {
        KillTimer(2);
        Post(WM_CLOSE);
      }
    } else if (id == 99) {
      watchdog = true;
      Post(WM_CLOSE);
    } else {
      return false;
    }
    return true;
  }
};

class TrayLikeApp : public CWinApp {
 public:
  TrayLikeApp() : CWinApp("Framework Test") {}
  TimerFrame frame;
  HMODULE module = nullptr;

  bool InitInstance() override {
    module = LoadLibraryA("fwtestres.dll");
    if (module == nullptr) {
      return false;
    }
    AfxSetResourceHandle(module);
    if (!frame.LoadFrame(IDS_FRAME, WS_OVERLAPPEDWINDOW | kl::kFwsAddToTitle)) {
      return false;
    }
    frame.ShowWindow(SW_HIDE);
    frame.UpdateWindow();
    m_pMainWnd = &frame;
    return true;
  }
  int ExitInstance() override {
    CWinApp::ExitInstance();
    FreeLibrary(module);
    return 5;
  }
};

TEST(FrameworkApp, HiddenFrameGetsBothTimersAndTheLoopEndsWithIt) {
  TrayLikeApp app;
  int code = kl::AfxWinMain(app, Program(), "", SW_SHOWNORMAL);
  EXPECT_EQ(code, 5);
  EXPECT_FALSE(app.frame.watchdog);
  EXPECT_GE(app.frame.ticks1AtKill, 3);
  EXPECT_EQ(app.frame.ticks1, app.frame.ticks1AtKill) << "timer 1 ticked after KillTimer";
  EXPECT_GE(app.frame.ticks2, app.frame.ticks2AtKill + 3);
  EXPECT_FALSE(app.frame.everVisible);
  EXPECT_EQ(app.frame.title, "Module frame");
  EXPECT_EQ(app.frame.style & kl::kFwsFrameStyles, 0) << "a frame style reached the window";
  EXPECT_EQ(app.frame.m_hWnd, nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  // The module is gone; resources come from the program again.
  EXPECT_EQ(AfxGetResourceHandle(), Program());
  EXPECT_EQ(AfxLoadString(IDS_TEXT), "Text from the program");
}

// Start-up that fails after switching the resource handle, with an
// ExitInstance that frees the module without giving the handle back.
class FailingApp : public CWinApp {
 public:
  CFrameWnd frame;
  HMODULE module = nullptr;
  bool InitInstance() override {
    module = LoadLibraryA("fwtestres.dll");
    AfxSetResourceHandle(module);
    if (frame.LoadFrame(IDS_FRAME)) {
      m_pMainWnd = &frame;
    }
    return false;
  }
  int ExitInstance() override {
    FreeLibrary(module);
    return 3;
  }
};

TEST(FrameworkApp, FailedStartUpEndsAtOnceAndGivesTheResourceHandleBack) {
  FailingApp app;
  EXPECT_EQ(kl::AfxWinMain(app, Program(), "", SW_HIDE), 3);
  EXPECT_EQ(app.frame.m_hWnd, nullptr) << "the main window of a failed start-up stays";
  EXPECT_EQ(AfxGetResourceHandle(), Program());
  // No quit request is left behind for whatever loop runs next.
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

class RoutingApp : public CWinApp {
 public:
  std::vector<std::string> log;

 protected:
  bool OnCommand(UINT id) override {
    if (id == 502) {
      log.push_back("app 502");
      return true;
    }
    return false;
  }
};

class RoutingFrame : public CFrameWnd {
 public:
  explicit RoutingFrame(std::vector<std::string>& log) : m_log(log) {}

 protected:
  bool OnCommand(UINT id) override {
    if (id == 501) {
      m_log.push_back("frame 501");
      return true;
    }
    return false;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message == WM_COMMAND) {
      m_log.push_back("notification " + std::to_string(LOWORD(wParam)) + " code " +
                      std::to_string(HIWORD(wParam)));
      result = 0;
      return true;
    }
    return false;
  }

 private:
  std::vector<std::string>& m_log;
};

TEST_F(Framework, CommandsGoToTheFrameThenToTheApplication) {
  RoutingApp app;
  RoutingFrame frame(app.log);
  ASSERT_TRUE(frame.LoadFrame(IDS_FRAME));
  struct Case {
    WPARAM wParam;
    bool fromControl;
    const char* expected;  // null: nobody handles it
  };
  const Case cases[] = {
      {MAKEWPARAM(501, 0), false, "frame 501"},          // menu item
      {MAKEWPARAM(501, BN_CLICKED), true, "frame 501"},  // button click
      {MAKEWPARAM(502, 0), false, "app 502"},            // not the frame's
      {MAKEWPARAM(502, 1), false, "app 502"},            // accelerator
      {MAKEWPARAM(503, 0), false, nullptr},              // nobody's
      {MAKEWPARAM(501, EN_CHANGE), true, "notification 501 code 768"},
      {MAKEWPARAM(501, LBN_SELCHANGE), true, "notification 501 code 1"},  // not an accelerator
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wParam);
    app.log.clear();
    frame.Send(WM_COMMAND, c.wParam, c.fromControl ? reinterpret_cast<LPARAM>(frame.m_hWnd) : 0);
    if (c.expected == nullptr) {
      EXPECT_TRUE(app.log.empty());
    } else {
      ASSERT_EQ(app.log.size(), 1u);
      EXPECT_EQ(app.log[0], c.expected);
    }
  }
  EXPECT_TRUE(frame.OnCmdMsg(502));
  EXPECT_FALSE(frame.OnCmdMsg(503));
  frame.DestroyWindow();
}

// A frame recording what reaches it; its class is picked in PreCreateWindow.
class ProbeFrame : public CFrameWnd {
 public:
  explicit ProbeFrame(const char* className) : m_className(className) {}
  bool created = false;
  bool destroyed = false;
  bool unlinked = false;
  std::vector<UINT_PTR> timers;
  std::vector<UINT> commands;

 protected:
  bool PreCreateWindow(CREATESTRUCTA& cs) override {
    cs.lpszClass = m_className;
    return true;
  }
  bool OnCreate(const CREATESTRUCTA& cs) override {
    created = CFrameWnd::OnCreate(cs);
    return created;
  }
  bool OnTimer(UINT_PTR id) override {
    timers.push_back(id);
    KillTimer(id);
    return true;
  }
  bool OnCommand(UINT id) override {
    commands.push_back(id);
    return true;
  }
  bool OnDestroy() override {
    destroyed = true;
    return false;
  }
  void PostNcDestroy() override { unlinked = m_hWnd == nullptr; }

 private:
  const char* m_className;
};

TEST_F(Framework, HandlersWorkWhateverProcedureTheClassWasRegisteredWith) {
  RoutingApp app;
  WNDCLASSA plain = {};
  plain.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  plain.lpfnWndProc = DefWindowProcA;
  plain.hInstance = Program();
  plain.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  plain.lpszClassName = "KlPlainClass";
  ASSERT_NE(RegisterClassA(&plain), 0);
  ASSERT_TRUE(CWnd::RegisterWindowClass("KlOwnClass", 0, nullptr, nullptr, nullptr));

  for (const char* className : {"KlOwnClass", "KlPlainClass"}) {
    SCOPED_TRACE(className);
    ProbeFrame frame(className);
    ASSERT_TRUE(frame.LoadFrame(IDS_FRAME));
    EXPECT_TRUE(frame.created);
    char actual[64] = {};
    GetClassNameA(frame.m_hWnd, actual, sizeof actual);
    EXPECT_STREQ(actual, className);
    EXPECT_EQ(WindowText(frame.m_hWnd), "Module frame");

    ASSERT_NE(frame.SetTimer(7, 5), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !frame.timers.empty(); }));
    EXPECT_EQ(frame.timers, std::vector<UINT_PTR>{7});
    frame.Send(WM_COMMAND, MAKEWPARAM(601, 0), 0);
    EXPECT_EQ(frame.commands, std::vector<UINT>{601});

    EXPECT_TRUE(frame.DestroyWindow());
    EXPECT_TRUE(frame.destroyed);
    EXPECT_TRUE(frame.unlinked);
    EXPECT_EQ(frame.m_hWnd, nullptr);
  }
  UnregisterClassA("KlPlainClass", Program());
}

TEST_F(Framework, AnObjectGoneBeforeItsWindowLeavesAWorkingWindow) {
  for (const char* className : {"KlOwnClass2", "KlPlainClass2"}) {
    SCOPED_TRACE(className);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Program();
    wc.lpszClassName = className;
    if (std::string(className) == "KlOwnClass2") {
      ASSERT_TRUE(CWnd::RegisterWindowClass(className, 0, nullptr, nullptr, nullptr));
    } else {
      ASSERT_TRUE(RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    }
    HWND window = nullptr;
    {
      ProbeFrame frame(className);
      ASSERT_TRUE(frame.LoadFrame(IDS_FRAME));
      window = frame.m_hWnd;
    }
    ASSERT_TRUE(IsWindow(window));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(601, 0), 0);
    SendMessageA(window, WM_TIMER, 7, 0);
    SetWindowTextA(window, "still here");
    EXPECT_EQ(WindowText(window), "still here");
    EXPECT_TRUE(DestroyWindow(window));
  }
}

// Creation that a handler refuses, by its answer or by throwing.
class RefusingFrame : public CFrameWnd {
 public:
  explicit RefusingFrame(bool throws) : m_throws(throws) {}
  bool unlinked = false;

 protected:
  bool OnCreate(const CREATESTRUCTA&) override {
    if (m_throws) {
      throw std::runtime_error("no");
    }
    return false;
  }
  void PostNcDestroy() override { unlinked = true; }

 private:
  bool m_throws;
};

TEST_F(Framework, ARefusedCreationLeavesNoWindowBehind) {
  for (bool throws : {false, true}) {
    SCOPED_TRACE(throws ? "throws" : "returns false");
    RefusingFrame frame(throws);
    EXPECT_FALSE(frame.LoadFrame(IDS_FRAME));
    EXPECT_EQ(frame.m_hWnd, nullptr);
    EXPECT_TRUE(frame.unlinked);
    EXPECT_EQ(FindWindowA(CFrameWnd::FrameClassName(), "Module frame"), nullptr);
  }
}

// Handlers that throw: the message counts as not handled, and the loop
// that dispatched it carries on.
class ThrowingFrame : public CFrameWnd {
 public:
  int ticks = 0;

 protected:
  bool OnTimer(UINT_PTR) override {
    if (++ticks == 1) {
      throw std::runtime_error("first tick");
    }
    return true;
  }
  bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
    if (message == WM_USER + 5) {
      throw std::logic_error("user message");
    }
    return false;
  }
};

TEST_F(Framework, NoExceptionLeavesTheWindowProcedure) {
  ThrowingFrame frame;
  ASSERT_TRUE(frame.LoadFrame(IDS_FRAME));
  ASSERT_NE(frame.SetTimer(3, 5), 0u);
  EXPECT_TRUE(WaitUntil([&] { return frame.ticks >= 3; }));
  EXPECT_EQ(frame.Send(WM_USER + 5, 0, 0), 0);
  frame.DestroyWindow();
}

// Finds the message box or dialog our thread shows, tells what it says,
// then presses a button of it; gives up after a while.
class BoxWatcher {
 public:
  explicit BoxWatcher(WPARAM press) : m_press(press), m_thread(GetCurrentThreadId()) {
    m_watcher = std::thread([this] { Watch(); });
  }
  ~BoxWatcher() { Stop(); }
  void Stop() {
    m_stop = true;
    if (m_watcher.joinable()) {
      m_watcher.join();
    }
  }
  bool found = false;
  std::string caption;
  std::string text;

 private:
  void Watch() {
    for (int i = 0; i < 1000 && !m_stop; ++i) {
      HWND box = FindBox();
      if (box != nullptr) {
        Sleep(50);
        caption = WindowText(box);
        EnumChildWindows(box, &CollectStatic, reinterpret_cast<LPARAM>(&text));
        found = true;
        PostMessageA(box, WM_COMMAND, m_press, 0);
        return;
      }
      Sleep(10);
    }
  }
  HWND FindBox() const {
    HWND box = nullptr;
    EnumThreadWindows(m_thread, &IsBox, reinterpret_cast<LPARAM>(&box));
    return box;
  }
  static BOOL CALLBACK IsBox(HWND window, LPARAM param) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
      *reinterpret_cast<HWND*>(param) = window;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    std::string cls = name;
    if (cls == "Static" || cls == "STATIC") {
      std::string text = WindowText(child);
      if (!text.empty()) {
        *reinterpret_cast<std::string*>(param) += text;
      }
    }
    return TRUE;
  }

  WPARAM m_press;
  DWORD m_thread;
  std::atomic<bool> m_stop{false};
  std::thread m_watcher;
};

TEST_F(Framework, MessageBoxTextComesFromTheResourceHandlesModule) {
  CWinApp app("Framework Test");
  struct Case {
    bool fromModule;
    const char* expected;
  };
  for (const Case& c : {Case{true, "Text from the module"}, Case{false, "Text from the program"}}) {
    SCOPED_TRACE(c.expected);
    AfxSetResourceHandle(c.fromModule ? m_module : nullptr);
    BoxWatcher watcher(IDOK);
    int answer = kl::AfxMessageBox(IDS_TEXT, MB_OK);
    watcher.Stop();
    EXPECT_EQ(answer, IDOK);
    EXPECT_TRUE(watcher.found);
    EXPECT_EQ(watcher.text, c.expected);
    EXPECT_EQ(watcher.caption, "Framework Test");
  }
}

TEST_F(Framework, AMissingStringShowsNoBox) {
  CWinApp app("Framework Test");
  AfxSetResourceHandle(m_module);
  BoxWatcher watcher(IDYES);
  // A box shown anyway would be answered "yes" by the watcher.
  EXPECT_EQ(kl::AfxMessageBox(999, MB_YESNO), 0);
  watcher.Stop();
  EXPECT_FALSE(watcher.found);
}

// The About dialog: it reads its template's text, then ends itself by the
// way a case says, one timer tick after it opened.
class AboutDialog : public CDialog {
 public:
  AboutDialog(UINT message, WPARAM wParam)
      : CDialog(IDD_ABOUT), m_message(message), m_wParam(wParam) {}
  bool initialised = false;
  bool bound = false;
  std::string text;

 protected:
  bool OnInitDialog() override {
    initialised = true;
    bound = GetWindowLongPtrA(m_hWnd, DWLP_USER) == reinterpret_cast<LONG_PTR>(this);
    text = WindowText(GetDlgItem(m_hWnd, IDC_ABOUT_TEXT));
    SetTimer(1, 10);
    return true;
  }
  bool OnTimer(UINT_PTR id) override {
    KillTimer(id);
    Post(m_message, m_wParam, 0);
    return true;
  }
  bool OnCommand(UINT id) override {
    if (id == IDC_ABOUT_OTHER) {
      EndDialog(42);
      return true;
    }
    return false;
  }

 private:
  UINT m_message;
  WPARAM m_wParam;
};

TEST_F(Framework, DialogIsBoundToItsTemplateAndEndsByOkOrCancel) {
  CWinApp app("Framework Test");
  AfxSetResourceHandle(m_module);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    INT_PTR result;
  };
  const Case cases[] = {
      {"OK", WM_COMMAND, IDOK, IDOK},
      {"Cancel", WM_COMMAND, IDCANCEL, IDCANCEL},
      {"close box", WM_CLOSE, 0, IDCANCEL},
      {"own button", WM_COMMAND, IDC_ABOUT_OTHER, 42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AboutDialog dialog(c.message, c.wParam);
    EXPECT_EQ(dialog.DoModal(), c.result);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_TRUE(dialog.bound);
    EXPECT_EQ(dialog.text, "Dialog from the module");
    EXPECT_EQ(dialog.m_hWnd, nullptr);
  }
}

TEST_F(Framework, ADialogWithoutItsTemplateIsNotShown) {
  CWinApp app("Framework Test");
  // The program itself holds no dialog templates.
  AfxSetResourceHandle(nullptr);
  AboutDialog dialog(WM_COMMAND, IDOK);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_FALSE(dialog.initialised);
}

TEST_F(Framework, MenusAndStringsLoadFromTheResourceHandle) {
  AfxSetResourceHandle(m_module);
  HMENU menu = kl::AfxLoadMenu(IDM_TRAY);
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemID(popup, 0), 32771u);
  EXPECT_EQ(GetMenuItemID(popup, 1), 32772u);
  DestroyMenu(menu);
  EXPECT_EQ(AfxLoadString(IDS_FRAME), "Module frame\nDocument part");
  EXPECT_EQ(AfxLoadString(999), "");
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(kl::AfxLoadMenu(IDM_TRAY), nullptr);
}

// A window that writes down every typed handler call with its unpacked arguments.
class TypedFrame : public CFrameWnd {
 public:
  std::string last;
  bool handle = true;

 protected:
  bool Mouse(const char* name, UINT flags, POINT p) {
    last = std::string(name) + " " + std::to_string(flags) + " " + std::to_string(p.x) + "," +
           std::to_string(p.y);
    return handle;
  }
  bool Key(const char* name, const kl::KeyArgs& k) {
    last = std::string(name) + " " + std::to_string(k.code) + " r" + std::to_string(k.repeat) +
           " s" + std::to_string(k.scan) + (k.extended ? " ext" : "") + (k.altDown ? " alt" : "") +
           (k.previousDown ? " prev" : "") + (k.released ? " up" : "");
    return handle;
  }
  bool OnLButtonDown(UINT f, POINT p) override { return Mouse("ldown", f, p); }
  bool OnLButtonUp(UINT f, POINT p) override { return Mouse("lup", f, p); }
  bool OnLButtonDblClk(UINT f, POINT p) override { return Mouse("ldbl", f, p); }
  bool OnRButtonDown(UINT f, POINT p) override { return Mouse("rdown", f, p); }
  bool OnRButtonUp(UINT f, POINT p) override { return Mouse("rup", f, p); }
  bool OnMouseMove(UINT f, POINT p) override { return Mouse("move", f, p); }
  bool OnKeyDown(const kl::KeyArgs& k) override { return Key("keydown", k); }
  bool OnKeyUp(const kl::KeyArgs& k) override { return Key("keyup", k); }
  bool OnSysKeyDown(const kl::KeyArgs& k) override { return Key("syskeydown", k); }
  bool OnSysKeyUp(const kl::KeyArgs& k) override { return Key("syskeyup", k); }
  bool OnChar(const kl::KeyArgs& k) override { return Key("char", k); }
  bool OnCommandCode(UINT code, UINT id, HWND control) override {
    last = "command " + std::to_string(code) + " " + std::to_string(id) +
           (control != nullptr ? " control" : "");
    return handle;
  }
  bool OnEraseBkgnd(HDC dc, bool& erased) override {
    last = std::string("erase") + (dc != nullptr ? " dc" : "");
    erased = true;
    return handle;
  }
  bool OnSize(UINT type, int width, int height) override {
    last =
        "size " + std::to_string(type) + " " + std::to_string(width) + "x" + std::to_string(height);
    return handle;
  }
  bool OnGetMinMaxInfo(MINMAXINFO& info) override {
    last = "minmax";
    info.ptMinTrackSize = POINT{605, 405};
    return handle;
  }
  bool OnHelp(const HELPINFO& info) override {
    last = "help " + std::to_string(info.iContextType) + " " + std::to_string(info.iCtrlId);
    return handle;
  }
  bool OnContextMenu(HWND window, POINT p) override {
    last = std::string("context") + (window == m_hWnd ? " self " : " ") + std::to_string(p.x) +
           "," + std::to_string(p.y);
    return handle;
  }
  bool OnNotify(UINT id, NMHDR& header, LRESULT& result) override {
    last = "notify " + std::to_string(id) + " from " + std::to_string(header.idFrom) + " code " +
           std::to_string(static_cast<int>(header.code));
    result = 77;
    return handle;
  }
};

TEST_F(Framework, MessagesArriveUnpackedInTheirTypedHandlers) {
  TypedFrame frame;
  ASSERT_TRUE(frame.LoadFrame(IDS_FRAME));
  // Key lParam: repeat 1, scan 0x1d, extended, previous state, released.
  const LPARAM keyBits = static_cast<LPARAM>(0xC1000000u | (0x1du << 16) | 1u);
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* expected;
  };
  const Case cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(40, 30), "ldown 9 40,30"},
      {WM_LBUTTONUP, 0, MAKELPARAM(0xFFFB, 0xFFFE), "lup 0 -5,-2"},  // captured, outside
      {WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2), "ldbl 1 1,2"},
      {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(600, 399), "rdown 2 600,399"},
      {WM_RBUTTONUP, 0, MAKELPARAM(7, 8), "rup 0 7,8"},
      {WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(3, 4), "move 4 3,4"},
      {WM_KEYDOWN, 'A', static_cast<LPARAM>((0x1eu << 16) | 3u), "keydown 65 r3 s30"},
      {WM_KEYUP, VK_CONTROL, keyBits, "keyup 17 r1 s29 ext prev up"},
      {WM_SYSKEYDOWN, VK_MENU, static_cast<LPARAM>(0x20000000u | (0x38u << 16) | 1u),
       "syskeydown 18 r1 s56 alt"},
      {WM_SYSKEYUP, VK_F10, static_cast<LPARAM>(0xC0000000u | (0x44u << 16) | 1u),
       "syskeyup 121 r1 s68 prev up"},
      {WM_CHAR, 'a', static_cast<LPARAM>((0x1eu << 16) | 1u), "char 97 r1 s30"},
      {WM_COMMAND, MAKEWPARAM(1003, EN_CHANGE), 1, "command 768 1003 control"},
      {WM_COMMAND, MAKEWPARAM(501, 0), 0, "command 0 501"},
      {WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(605, 405), "size 1 605x405"},
      {WM_CONTEXTMENU, 1, MAKELPARAM(0xFFFF, 0xFFFF), "context self -1,-1"},  // from the keyboard
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    frame.last.clear();
    // A fake control handle is never used as a window by the framework.
    LPARAM lParam = c.lParam;
    WPARAM wParam = c.wParam;
    if (c.message == WM_COMMAND && lParam == 1) {
      lParam = reinterpret_cast<LPARAM>(frame.m_hWnd);
    }
    if (c.message == WM_CONTEXTMENU) {
      wParam = reinterpret_cast<WPARAM>(frame.m_hWnd);
    }
    frame.Send(c.message, wParam, lParam);
    EXPECT_EQ(frame.last, c.expected);
  }
  NMHDR header = {frame.m_hWnd, 1003, static_cast<UINT>(-101)};
  EXPECT_EQ(frame.Send(WM_NOTIFY, 1003, reinterpret_cast<LPARAM>(&header)), 77);
  EXPECT_EQ(frame.last, "notify 1003 from 1003 code -101");

  HDC dc = GetDC(frame.m_hWnd);
  EXPECT_EQ(frame.Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1) << "the handler's answer";
  EXPECT_EQ(frame.last, "erase dc");
  ReleaseDC(frame.m_hWnd, dc);
  MINMAXINFO info = {};
  frame.Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(frame.last, "minmax");
  EXPECT_EQ(info.ptMinTrackSize.x, 605);
  HELPINFO help = {sizeof help, HELPINFO_WINDOW, 1033, frame.m_hWnd, 0, {0, 0}};
  EXPECT_EQ(frame.Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE);
  EXPECT_EQ(frame.last, "help 1 1033");
  frame.DestroyWindow();
}

TEST_F(Framework, AnUnhandledCommandCodeStillRoutesTheCommand) {
  RoutingApp app;
  class Frame : public TypedFrame {
   protected:
    bool OnCommand(UINT id) override {
      routed = id;
      return true;
    }

   public:
    UINT routed = 0;
  } frame;
  ASSERT_TRUE(frame.LoadFrame(IDS_FRAME));
  frame.handle = false;
  frame.Send(WM_COMMAND, MAKEWPARAM(501, 0), 0);
  EXPECT_EQ(frame.last, "command 0 501");
  EXPECT_EQ(frame.routed, 501u);
  frame.handle = true;
  frame.routed = 0;
  frame.Send(WM_COMMAND, MAKEWPARAM(502, 0), 0);
  EXPECT_EQ(frame.routed, 0u) << "a handled command code is not routed again";
  frame.DestroyWindow();
}

// A child window that keeps the 'K' key from being dispatched to itself.
class KeyEater : public CWnd {
 public:
  int dispatched = 0;
  int eaten = 0;
  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message == WM_KEYDOWN && msg.wParam == 'K') {
      ++eaten;
      return true;
    }
    return false;
  }

 protected:
  bool OnKeyDown(const kl::KeyArgs&) override {
    ++dispatched;
    return true;
  }
};

TEST_F(Framework, TheMessageLoopLetsTheTargetWindowAndItsParentsLookFirst) {
  class App : public CWinApp {
   public:
    CFrameWnd frame;
    KeyEater child;
    bool InitInstance() override {
      if (!frame.LoadFrame(IDS_FRAME)) return false;
      m_pMainWnd = &frame;
      if (!CWnd::RegisterWindowClass("KlKeyEater", 0, nullptr, nullptr, nullptr)) return false;
      if (!child.CreateEx(0, "KlKeyEater", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame.m_hWnd,
                          nullptr)) {
        return false;
      }
      PostMessageA(child.m_hWnd, WM_KEYDOWN, 'K', 1);
      PostMessageA(child.m_hWnd, WM_KEYDOWN, 'L', 1);
      PostMessageA(frame.m_hWnd, WM_CLOSE, 0, 0);
      return true;
    }
  } app;
  kl::AfxWinMain(app, Program(), "", SW_HIDE);
  EXPECT_EQ(app.child.eaten, 1);
  EXPECT_EQ(app.child.dispatched, 1) << "only the key it did not consume reached its handler";
  AfxSetResourceHandle(m_module);
}

// A view that counts its paints and answers the erase message as erased.
class CountingView : public kl::CView {
 public:
  int draws = 0;
  HDC lastDc = nullptr;

 protected:
  void OnDraw(HDC dc) override {
    ++draws;
    lastDc = dc;
  }
  bool EraseBackgroundAnswer() override { return true; }
};

class CountingDoc : public kl::CDocument {
 public:
  explicit CountingDoc(int& news, bool ok) : m_news(news), m_ok(ok) {}
  bool OnNewDocument() override {
    ++m_news;
    return m_ok;
  }

 private:
  int& m_news;
  bool m_ok;
};

TEST_F(Framework, TheTemplateMakesFrameDocumentAndViewTogether) {
  CWinApp app;
  int news = 0;
  auto docTemplate = std::make_unique<kl::CSingleDocTemplate>(
      IDS_FRAME, [&] { return std::make_unique<CountingDoc>(news, true); },
      [] { return std::make_unique<CFrameWnd>(); },
      [] { return std::make_unique<CountingView>(); });
  kl::CSingleDocTemplate* made = docTemplate.get();
  app.AddDocTemplate(std::move(docTemplate));
  app.m_nCmdShow = SW_SHOWNOACTIVATE;
  ASSERT_TRUE(app.ProcessShellCommand());
  CFrameWnd* frame = made->Frame();
  auto* view = static_cast<CountingView*>(made->View());
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(app.m_pMainWnd, frame);
  EXPECT_EQ(view->GetDocument(), made->Document());
  EXPECT_EQ(news, 1);
  EXPECT_EQ(GetParent(view->m_hWnd), frame->m_hWnd);
  EXPECT_EQ(WindowText(frame->m_hWnd), "Module frame");

  // The view follows the frame's client area.
  SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
  RECT client = {};
  RECT viewRect = {};
  GetClientRect(frame->m_hWnd, &client);
  GetClientRect(view->m_hWnd, &viewRect);
  EXPECT_EQ(viewRect.right, client.right);
  EXPECT_EQ(viewRect.bottom, client.bottom);

  // A paint is one OnDraw on the paint context; the erase answer is the view's.
  const int before = view->draws;
  InvalidateRect(view->m_hWnd, nullptr, TRUE);
  UpdateWindow(view->m_hWnd);
  EXPECT_EQ(view->draws, before + 1);
  EXPECT_NE(view->lastDc, nullptr);
  HDC dc = GetDC(view->m_hWnd);
  EXPECT_EQ(view->Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
  ReleaseDC(view->m_hWnd, dc);

  // File New again starts the same document afresh.
  EXPECT_TRUE(app.OnCmdMsg(kl::kIdFileNew));
  EXPECT_EQ(news, 2);
  EXPECT_EQ(made->Frame(), frame);
  frame->DestroyWindow();
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "the main window ended the loop";
}

TEST_F(Framework, AFailedNewDocumentLeavesNoWindow) {
  CWinApp app;
  int news = 0;
  auto docTemplate = std::make_unique<kl::CSingleDocTemplate>(
      IDS_FRAME, [&] { return std::make_unique<CountingDoc>(news, false); },
      [] { return std::make_unique<CFrameWnd>(); },
      [] { return std::make_unique<CountingView>(); });
  kl::CSingleDocTemplate* made = docTemplate.get();
  app.AddDocTemplate(std::move(docTemplate));
  EXPECT_FALSE(app.ProcessShellCommand());
  EXPECT_EQ(made->Frame(), nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
