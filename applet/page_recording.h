// Ports of the calibration and test pages that write one line per call into
// a shared log, in the order the page makes them, and answer message boxes
// from a queue. kltool's joystick calibrate and testpage print the log; the
// tests read it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "applet/page_ports.h"
#include "platform/prompts.h"
#include "platform/quote_text.h"
#include "platform/timers.h"

namespace kl {

using PageLog = std::vector<std::string>;

class RecordingPageCanvas : public PageCanvas {
 public:
  explicit RecordingPageCanvas(PageLog& log) : m_log(log) {}
  // "bitmap ID X,Y"
  void DrawBitmap(int id, Point at) override;
  // "hat ID" for a hat picture over the hat mask, otherwise "masked ID MASK X,Y"
  void DrawMasked(int image, int mask, Point at) override;
  // "picture ID L,T,R,B", the rectangle relative to the origin
  void DrawPicture(int id, Point origin, const layout::Rect& rect) override;
  // "bar L,T,R,B 0xBBGGRR"
  void FillBar(const PageRect& rect, uint32_t colour) override;
  // "line X,Y X,Y X,Y"
  void DrawLine(Point from, Point via, Point to) override;
  // "number X,Y "TEXT""
  void DrawText(Point at, const std::string& text) override;

 private:
  PageLog& m_log;
};

// Keeps the enabled state of every control, as a click on it would find it:
// a control never disabled counts as enabled.
class RecordingPageControls : public PageControls {
 public:
  explicit RecordingPageControls(PageLog& log) : m_log(log) {}
  // "text CONTROL "TEXT""
  void SetText(int control, const std::string& text) override;
  // "prompt ID" for the calibration prompt, otherwise "string CONTROL ID"
  void SetString(int control, uint32_t stringId) override;
  // "show CONTROL" | "hide CONTROL"
  void Show(int control, bool shown) override;
  // "enable CONTROL" | "disable CONTROL"
  void Enable(int control, bool enabled) override;
  // "default CONTROL" | "plain CONTROL"
  void SetDefaultStyle(int control, bool isDefault) override;
  // "modified"
  void SetModified() override;
  // "repaint", then the page's paint as SetRepaint gave it
  void Repaint() override;
  void SetRepaint(std::function<void()> paint) { m_repaint = std::move(paint); }

  bool IsEnabled(int control) const;
  // The string a control shows, when it was last given one by id.
  std::optional<uint32_t> StringOf(int control) const;

 private:
  PageLog& m_log;
  std::map<int, bool> m_enabled;
  std::map<int, uint32_t> m_strings;
  std::function<void()> m_repaint;
};

// "message ID"; the answer is the next queued one (retry or cancel); with
// none queued a box with an OK button answers OK, any other Cancel.
class ScriptedPagePrompts : public Prompts {
 public:
  explicit ScriptedPagePrompts(PageLog& log) : m_log(log) {}
  void QueueAnswer(int answer) { m_answers.push_back(answer); }
  int MessageBox(uint32_t stringId, uint32_t style) override;
  std::optional<std::string> OpenFile(const OpenFileRequest&) override { return std::nullopt; }

 private:
  PageLog& m_log;
  std::deque<int> m_answers;
};

// "timer start" | "timer stop"; every start succeeds.
class RecordingPageTimers : public Timers {
 public:
  explicit RecordingPageTimers(PageLog& log) : m_log(log) {}
  bool Start(uint32_t id, uint32_t milliseconds) override;
  void Stop(uint32_t id) override;
  bool Running() const { return m_running; }

 private:
  PageLog& m_log;
  bool m_running = false;
};

}  // namespace kl
