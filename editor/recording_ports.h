// Ports of the pad view that write one line per call into a shared log, in
// the order the view makes them, and answer prompts from a queue. kltool
// editor prints the log; the tests read it.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "editor/canvas.h"
#include "editor/dialogs.h"
#include "editor/shell.h"
#include "platform/prompts.h"
#include "platform/quote_text.h"
#include "platform/registry.h"
#include "platform/timers.h"

namespace kl {

using PortLog = std::vector<std::string>;

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(PortLog& log) : m_log(log) {}
  // "bitmap ID L,T,R,B"
  void DrawBitmap(int id, const layout::Rect& rect) override;
  // "text X,Y 0xBBGGRR label|list "SHOWN""
  void DrawText(int x, int y, const std::string& text, uint32_t colour, FontChoice font) override;
  // "repaint"
  void BeginRepaint() override;

 private:
  PortLog& m_log;
};

// Answers come from a queue of words: yes, no, ok, cancel, or a text for a
// dialog. With the queue empty a message box answers OK (or Cancel when it
// has no OK button) and a dialog is cancelled. "ok" accepts a text dialog
// as it opens (the name "game1", the maker's address). The editor's dialogs
// answer from the same queue, so one script speaks for every prompt.
class ScriptedPrompts : public Prompts, public EditorDialogs {
 public:
  explicit ScriptedPrompts(PortLog& log) : m_log(log) {}
  void QueueAnswer(const std::string& answer) { m_answers.push_back(answer); }
  size_t PendingAnswers() const { return m_answers.size(); }
  // "prompt ID"
  int MessageBox(uint32_t stringId, uint32_t style) override;
  int Ask(const MessageRequest& request) override;
  // "dialog open-game", "dialog profile-name", ...
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
  std::optional<std::string> ProfileName(const std::string& initial) override;
  std::optional<std::string> WebAddress(const std::string& initial) override;
  void About() override;
  // "dialog assignment-table", then "row "NAME" "MODE" "KEYS"" per row.
  void ShowAssignmentTable(const AssignmentTable& table) override;
  void Print(PrintCommand command) override;

 private:
  std::optional<std::string> TextAnswer(const std::string& initial);
  PortLog& m_log;
  std::deque<std::string> m_answers;
};

class RecordingShell : public Shell {
 public:
  explicit RecordingShell(PortLog& log) : m_log(log) {}
  // What a repaint request runs (the view's full repaint).
  void SetRepaint(std::function<void()> repaint) { m_repaint = std::move(repaint); }
  void SetActive(bool active) { m_active = active; }
  void Repaint() override;
  // "shell open "ADDRESS""
  void Open(const std::string& address) override;
  // "window minimize", "window close", "window size W H"
  void Minimize() override;
  void Close() override;
  void Resize(int width, int height) override;
  // "shell help COMMAND DATA"
  void Help(uint32_t command, uint32_t data) override;
  bool EditorActive() override { return m_active; }
  // A note: "# tooltips ID ID ..."
  void SetUpTooltips(const std::vector<TooltipTool>& tools) override;
  const std::vector<TooltipTool>& Tools() const { return m_tools; }

 private:
  PortLog& m_log;
  std::function<void()> m_repaint;
  bool m_active = true;
  std::vector<TooltipTool> m_tools;
};

// A registry that passes every call on and logs the "Setting" value the view
// writes: "setting PAGE ROW PPAGE PROW 0".
class SettingLogRegistry : public Registry {
 public:
  SettingLogRegistry(Registry& inner, PortLog& log) : m_inner(inner), m_log(log) {}
  long OpenKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) override {
    return m_inner.OpenKey(parent, subkey, access, out);
  }
  long CreateKey(RegKey parent, std::string_view subkey, uint32_t access, RegKey& out) override {
    return m_inner.CreateKey(parent, subkey, access, out);
  }
  long QueryValue(RegKey key, std::string_view name, uint32_t& type, uint8_t* data,
                  uint32_t& size) override {
    return m_inner.QueryValue(key, name, type, data, size);
  }
  long SetValue(RegKey key, std::string_view name, uint32_t type, const uint8_t* data,
                uint32_t size) override;
  long DeleteValue(RegKey key, std::string_view name) override {
    return m_inner.DeleteValue(key, name);
  }
  long EnumKey(RegKey key, uint32_t index, std::string& name, uint32_t bufferSize) override {
    return m_inner.EnumKey(key, index, name, bufferSize);
  }
  long CloseKey(RegKey key) override { return m_inner.CloseKey(key); }

 private:
  Registry& m_inner;
  PortLog& m_log;
};


}  // namespace kl
