#include "editor/recording_ports.h"

#include <cstdio>

#include "platform/registry_keys.h"

namespace kl {

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

int ScriptedPrompts::Ask(const MessageRequest& request) {
  return MessageBox(request.stringId, request.style);
}

std::optional<std::string> ScriptedPrompts::TextAnswer(const std::string& initial) {
  if (m_answers.empty()) return std::nullopt;
  const std::string answer = m_answers.front();
  m_answers.pop_front();
  if (answer == "cancel" || answer == "no") return std::nullopt;
  if (answer == "ok" || answer == "yes") return initial;
  return answer;
}

std::optional<std::string> ScriptedPrompts::OpenFile(const OpenFileRequest&) {
  m_log.push_back("dialog open-game");
  return TextAnswer("");
}

std::optional<std::string> ScriptedPrompts::ProfileName(const std::string& initial) {
  m_log.push_back("dialog profile-name");
  std::optional<std::string> name = TextAnswer(initial);
  // The dialog's edit control takes the first ten characters.
  if (name && name->size() > 10) name->resize(10);
  return name;
}

std::optional<std::string> ScriptedPrompts::WebAddress(const std::string& initial) {
  m_log.push_back("dialog web-address");
  return TextAnswer(initial);
}

void ScriptedPrompts::About() {
  m_log.push_back("dialog about");
}

void ScriptedPrompts::ShowAssignmentTable(const AssignmentTable& table) {
  m_log.push_back("dialog assignment-table");
  for (const AssignmentRow& row : table.rows) {
    m_log.push_back("row " + QuoteForLog(row.input) + " " + QuoteForLog(row.mode) + " " +
                    QuoteForLog(row.keys));
  }
}

void ScriptedPrompts::Print(PrintCommand command) {
  m_log.push_back(command == PrintCommand::kPrint     ? "dialog print"
                  : command == PrintCommand::kPreview ? "dialog print-preview"
                                                      : "dialog print-setup");
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

void RecordingShell::Help(uint32_t command, uint32_t data) {
  m_log.push_back("shell help " + std::to_string(command) + " " + std::to_string(data));
}

void RecordingShell::SetUpTooltips(const std::vector<TooltipTool>& tools) {
  m_tools = tools;
  std::string line = "# tooltips";
  for (const TooltipTool& tool : tools) line += " " + std::to_string(tool.id);
  m_log.push_back(line);
}

long SettingLogRegistry::SetValue(RegKey key, std::string_view name, uint32_t type,
                                  const uint8_t* data, uint32_t size) {
  const long result = m_inner.SetValue(key, name, type, data, size);
  if (name == kSettingValue && data) {
    std::string line = "setting";
    for (uint32_t i = 0; i < size; ++i) line += " " + std::to_string(data[i]);
    m_log.push_back(line);
  }
  return result;
}

}  // namespace kl
