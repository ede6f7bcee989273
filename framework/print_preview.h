// The print preview: a window laid over the view inside the frame that
// shows the pages a CPrintTarget prints. Each page is recorded through the
// target's own OnPrint into an enhanced metafile made for the printer's page
// and played back scaled into the window, so the preview needs no second way
// of drawing. A row of buttons along the top: Print, Next page, Previous
// page, Two pages / One page, Zoom in, Zoom out, Close. Closing ends the run
// with the target's OnEndPrinting and shows the view again; Print closes the
// preview and runs the print command.
#pragma once

#include <windows.h>

#include <array>

#include "framework/print.h"
#include "framework/wnd.h"

namespace kl {

// Button ids of the preview's tool row.
constexpr UINT kIdPreviewPrint = 0xE300;
constexpr UINT kIdPreviewNext = 0xE301;
constexpr UINT kIdPreviewPrevious = 0xE302;
constexpr UINT kIdPreviewPages = 0xE303;
constexpr UINT kIdPreviewZoomIn = 0xE304;
constexpr UINT kIdPreviewZoomOut = 0xE305;
constexpr UINT kIdPreviewClose = 0xE306;

class CPrintPreview : public CWnd {
 public:
  CPrintPreview(CPrintTarget& target, CPrinterSettings& settings);
  ~CPrintPreview() override;

  // Prepares the run and covers `view` (hidden meanwhile) inside its parent
  // frame. False when the target declined or no printer device could be
  // made; the run has then ended (a failure after a message box).
  bool Open(HWND view);
  // Ends the run and shows the view again; the object may be deleted after.
  void Close();
  bool IsOpen() const { return m_hWnd != nullptr; }

  UINT CurrentPage() const { return m_page; }
  bool TwoPages() const { return m_twoPages; }
  int Zoom() const { return m_zoom; }

 protected:
  bool OnCreate(const CREATESTRUCTA& cs) override;
  bool OnPaint() override;
  bool OnCommand(UINT id) override;
  bool OnEraseBkgnd(HDC dc, bool& erased) override;
  bool OnSize(UINT type, int width, int height) override;
  // WM_HSCROLL and WM_VSCROLL move a magnified page.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Escape closes the preview as the Close button does.
  bool OnKeyDown(const KeyArgs& key) override;

 private:
  void ShowPage(UINT page);
  void ReleasePages();
  HENHMETAFILE Record(UINT page);
  void UpdateButtons();
  struct Sheet {
    int width = 0, height = 0;  // one page on screen
    int slotWidth = 0;          // the room of one page across
    int contentWidth = 0, contentHeight = 0;
  };
  Sheet Measure(const RECT& area) const;
  RECT PageArea() const;
  void UpdateScrollBars();
  void Scroll(int bar, UINT request);
  void DrawPage(HDC dc, UINT page, int slot, const RECT& area);

  CPrintTarget& m_target;
  CPrinterSettings& m_settings;
  CPrintInfo m_info;
  UINT m_page = 1;          // the page shown (the left one of two)
  HDC m_printer = nullptr;  // the printer's device context for the whole run
  HWND m_view = nullptr;    // the view covered, shown again on close
  bool m_running = false;   // between a successful preparation and the end
  bool m_twoPages = false;  // two pages side by side
  int m_zoom = 1;           // 1 whole page, 2 and 4 magnified
  int m_scroll[2] = {};     // horizontal and vertical scroll positions of a magnified page
  std::array<HENHMETAFILE, 2> m_pages{};  // the recorded pages shown
  std::array<HWND, 7> m_buttons{};
};

// The three print commands of a view, for its command handler: print,
// print preview and print setup, with the printer choice kept between them.
class CViewPrinting {
 public:
  explicit CViewPrinting(CPrintTarget& target) : m_target(target), m_preview(target, m_settings) {}
  // bool OnCommand(UINT id, HWND view): true when `id` was a print command (it has been run).
  bool OnCommand(UINT id, HWND view);
  CPrintPreview& Preview() { return m_preview; }

 private:
  CPrintTarget& m_target;
  CPrinterSettings m_settings;
  CPrintPreview m_preview;
};

}  // namespace kl
