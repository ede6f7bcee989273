// The pad view's printout over the print layout.
#include "editor/pad_printout.h"

namespace kl {

PadPrintout::PadPrintout(PadView& view, const StringSource& strings, Input& input, Prompts& prompts)
    : m_view(view), m_strings(strings), m_input(input), m_prompts(prompts) {
  m_names.Fill(strings);
}

std::optional<int> PadPrintout::Prepare() {
  if (m_view.PadCount() == 0) {
    m_prompts.MessageBox(kMsgNoPad, kMbOk);
    End();
    return std::nullopt;
  }
  return m_view.PadCount();
}

bool PadPrintout::Begin(const PrinterPage& page, int lineHeight) {
  const std::optional<PrintLayout> layout = ComputePrintLayout(page, lineHeight);
  if (!layout) return false;
  m_layout = *layout;
  return true;
}

PrintedPage PadPrintout::Page(int page) {
  m_view.OnPrintPage();
  if (page < 1 || page > m_view.PadCount()) return {};
  const int slot = page - 1;

  PrintPadText pad;
  pad.model = m_view.Pad(slot).model;
  const bool selected = m_view.GameRow() != kNone && !m_view.CurrentGame().empty() &&
                        m_view.ProfileRow() != kNone && !m_view.CurrentProfile().empty();
  if (selected) {
    pad.game = m_view.CurrentGame();
    for (const KeyEntry& entry : m_view.Store().Table(slot).entries) {
      KeySequence keys{};
      EntryToSequence(entry, keys);
      std::string text;
      FormatKeySequence(keys, text, entry.mode, m_names, m_input);
      pad.keyTexts.push_back(text);
    }
  }
  return LayOutPrintPage(m_layout, m_strings, pad);
}

void PadPrintout::End() {
  m_view.OnEndPrinting();
}

}  // namespace kl
