#include "applet/page_recording.h"

#include <cstdio>

#include "applet/calibration.h"

namespace kl {
namespace {

constexpr int kHatMaskBitmap = 235;

std::string At(Point p) {
  return std::to_string(p.x) + "," + std::to_string(p.y);
}

}  // namespace

void RecordingPageCanvas::DrawBitmap(int id, Point at) {
  m_log.push_back("bitmap " + std::to_string(id) + " " + At(at));
}

void RecordingPageCanvas::DrawMasked(int image, int mask, Point at) {
  if (mask == kHatMaskBitmap) {
    m_log.push_back("hat " + std::to_string(image));
    return;
  }
  m_log.push_back("masked " + std::to_string(image) + " " + std::to_string(mask) + " " + At(at));
}

void RecordingPageCanvas::DrawPicture(int id, Point, const layout::Rect& rect) {
  char line[80];
  std::snprintf(line, sizeof line, "picture %d %d,%d,%d,%d", id, rect.left, rect.top, rect.right,
                rect.bottom);
  m_log.push_back(line);
}

void RecordingPageCanvas::FillBar(const PageRect& rect, uint32_t colour) {
  char line[80];
  std::snprintf(line, sizeof line, "bar %d,%d,%d,%d 0x%06x", rect.left, rect.top, rect.right,
                rect.bottom, static_cast<unsigned>(colour));
  m_log.push_back(line);
}

void RecordingPageCanvas::DrawLine(Point from, Point via, Point to) {
  m_log.push_back("line " + At(from) + " " + At(via) + " " + At(to));
}

void RecordingPageCanvas::DrawText(Point at, const std::string& text) {
  m_log.push_back("number " + At(at) + " " + QuoteForLog(text));
}

void RecordingPageControls::SetText(int control, const std::string& text) {
  m_strings.erase(control);
  m_log.push_back("text " + std::to_string(control) + " " + QuoteForLog(text));
}

void RecordingPageControls::SetString(int control, uint32_t stringId) {
  m_strings[control] = stringId;
  if (control == kCalPrompt) {
    m_log.push_back("prompt " + std::to_string(stringId));
  } else {
    m_log.push_back("string " + std::to_string(control) + " " + std::to_string(stringId));
  }
}

void RecordingPageControls::Show(int control, bool shown) {
  m_log.push_back((shown ? "show " : "hide ") + std::to_string(control));
}

void RecordingPageControls::Enable(int control, bool enabled) {
  m_enabled[control] = enabled;
  m_log.push_back((enabled ? "enable " : "disable ") + std::to_string(control));
}

void RecordingPageControls::SetDefaultStyle(int control, bool isDefault) {
  m_log.push_back((isDefault ? "default " : "plain ") + std::to_string(control));
}

void RecordingPageControls::SetModified() {
  m_log.push_back("modified");
}

void RecordingPageControls::Repaint() {
  m_log.push_back("repaint");
  if (m_repaint) m_repaint();
}

bool RecordingPageControls::IsEnabled(int control) const {
  auto it = m_enabled.find(control);
  return it == m_enabled.end() || it->second;
}

std::optional<uint32_t> RecordingPageControls::StringOf(int control) const {
  auto it = m_strings.find(control);
  if (it == m_strings.end()) return std::nullopt;
  return it->second;
}

int ScriptedPagePrompts::MessageBox(uint32_t stringId, uint32_t style) {
  m_log.push_back("message " + std::to_string(stringId));
  if (!m_answers.empty()) {
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }
  const uint32_t buttons = style & 0xF;
  return buttons == kMbOk || buttons == kMbOkCancel ? kIdOk : kIdCancel;
}

bool RecordingPageTimers::Start(uint32_t, uint32_t) {
  m_log.push_back("timer start");
  m_running = true;
  return true;
}

void RecordingPageTimers::Stop(uint32_t) {
  m_log.push_back("timer stop");
  m_running = false;
}

}  // namespace kl
