// The pad view's ports over GDI and USER: the canvas draws the resource
// module's bitmaps through a DibPainter and the view's two Arial fonts on
// device contexts of the view's own window; the prompts are message boxes
// and the editor's dialogs; the shell repaints, minimises, closes and
// resizes the frame, opens documents and help and keeps the tooltips.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/canvas.h"
#include "editor/dialogs.h"
#include "editor/shell.h"
#include "editor/win32/dib_painter.h"
#include "framework/tooltip.h"
#include "platform/prompts.h"

namespace kl {

class GdiCanvas : public Canvas {
 public:
  GdiCanvas(HMODULE resources, HWND view);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  void DrawBitmap(int id, const layout::Rect& rect) override;
  void DrawText(int x, int y, const std::string& text, uint32_t colour, FontChoice font) override;
  void BeginRepaint() override {}

 private:
  HMODULE m_resources;
  HWND m_view;
  DibPainter m_painter;
  HFONT m_labelFont;
  HFONT m_listFont;
};

// The shared message boxes and file-open dialog, and the editor's own dialogs.
class WindowPrompts : public Prompts, public EditorDialogs {
 public:
  explicit WindowPrompts(HWND view) : m_view(view) {}
  int MessageBox(uint32_t stringId, uint32_t style) override;
  int Ask(const MessageRequest& request) override;
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
  std::optional<std::string> ProfileName(const std::string& initial) override;
  std::optional<std::string> WebAddress(const std::string& initial) override;
  void About() override;
  void ShowAssignmentTable(const AssignmentTable& table) override;
  void Print(PrintCommand command) override;

 private:
  HWND Frame() const;
  HWND m_view;
};

class WindowShell : public Shell {
 public:
  explicit WindowShell(HWND view) : m_view(view) {}
  void Repaint() override;
  void Open(const std::string& address) override;
  void Minimize() override;
  void Close() override;
  void Resize(int width, int height) override;
  void Help(uint32_t command, uint32_t data) override;
  bool EditorActive() override;
  void SetUpTooltips(const std::vector<TooltipTool>& tools) override;

 private:
  HWND Frame() const;
  HWND m_view;
  std::unique_ptr<CToolTipCtrl> m_tooltips;
};

}  // namespace kl
