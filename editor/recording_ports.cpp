#include "editor/recording_ports.h"

#include <cstdio>

namespace kl {

std::string QuoteForLog(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void RecordingCanvas::DrawBitmap(int id, const layout::Rect& rect) {
  char line[96];
  std::snprintf(line, sizeof line, "bitmap %d %d,%d,%d,%d", id, rect.left, rect.top, rect.right,
                rect.bottom);
  m_log.push_back(line);
}

void RecordingCanvas::DrawText(int x, int y, const std::string& text, uint32_t colour,
                               FontChoice font) {
  char head[64];
  std::snprintf(head, sizeof head, "text %d,%d 0x%06x %s ", x, y, static_cast<unsigned>(colour),
                font == FontChoice::kLabel ? "label" : "list");
  m_log.push_back(head + QuoteForLog(text));
}

void RecordingCanvas::BeginRepaint() {
  m_log.push_back("repaint");
}

int ScriptedPrompts::MessageBox(uint32_t stringId, uint32_t style) {
  m_log.push_back("prompt " + std::to_string(stringId));
  const uint32_t buttons = style & 0xF;
  const bool hasOk = buttons == kMbOk || buttons == kMbOkCancel;
  if (m_answers.empty()) return hasOk ? kIdOk : kIdCancel;
  const std::string answer = m_answers.front();
  m_answers.pop_front();
  if (answer == "yes") return kIdYes;
  if (answer == "no") return kIdNo;
  if (answer == "ok") return kIdOk;
  if (answer == "retry") return kIdRetry;
  return kIdCancel;
}

std::optional<std::string> ScriptedPrompts::OpenFile(const OpenFileRequest&) {
  m_log.push_back("dialog open-game");
  if (m_answers.empty()) return std::nullopt;
  const std::string answer = m_answers.front();
  m_answers.pop_front();
  if (answer == "cancel") return std::nullopt;
  return answer;
}

void RecordingShell::Repaint() {
  if (m_repaint) m_repaint();
}

void RecordingShell::Open(const std::string& address) {
  m_log.push_back("shell open " + QuoteForLog(address));
}

void RecordingShell::Minimize() {
  m_log.push_back("window minimize");
}

void RecordingShell::Close() {
  m_log.push_back("window close");
}

void RecordingShell::Resize(int width, int height) {
  m_log.push_back("window size " + std::to_string(width) + " " + std::to_string(height));
}

bool LoggingTimers::Start(uint32_t id, uint32_t milliseconds) {
  m_log.push_back("timer start " + std::to_string(id) + " " + std::to_string(milliseconds));
  return true;
}

void LoggingTimers::Stop(uint32_t id) {
  m_log.push_back("timer stop " + std::to_string(id));
}

}  // namespace kl
