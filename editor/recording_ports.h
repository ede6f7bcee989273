// Ports of the pad view that write one line per call into a shared log, in
// the order the view makes them, and answer prompts from a queue. kltool
// editor prints the log; the tests read it.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "editor/canvas.h"
#include "editor/shell.h"
#include "platform/prompts.h"
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
// has no OK button) and a dialog is cancelled.
class ScriptedPrompts : public Prompts {
 public:
  explicit ScriptedPrompts(PortLog& log) : m_log(log) {}
  void QueueAnswer(const std::string& answer) { m_answers.push_back(answer); }
  size_t PendingAnswers() const { return m_answers.size(); }
  int MessageBox(uint32_t stringId, uint32_t style) override;
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override;

 private:
  PortLog& m_log;
  std::deque<std::string> m_answers;
};

class RecordingShell : public Shell {
 public:
  explicit RecordingShell(PortLog& log) : m_log(log) {}
  // What a repaint request runs (the view's full repaint).
  void SetRepaint(std::function<void()> repaint) { m_repaint = std::move(repaint); }
  void Repaint() override;
  void Open(const std::string& address) override;
  void Minimize() override;
  void Close() override;
  void Resize(int width, int height) override;

 private:
  PortLog& m_log;
  std::function<void()> m_repaint;
};

// "timer start ID MS" / "timer stop ID"; every start succeeds.
class LoggingTimers : public Timers {
 public:
  explicit LoggingTimers(PortLog& log) : m_log(log) {}
  bool Start(uint32_t id, uint32_t milliseconds) override;
  void Stop(uint32_t id) override;

 private:
  PortLog& m_log;
};

// The text of a "text" line: quotes and backslashes escaped, other control
// characters as \xNN, so one call is always one line.
std::string QuoteForLog(const std::string& text);

}  // namespace kl
