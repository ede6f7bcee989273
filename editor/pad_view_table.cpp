// The assignment table: every entry of the shown pad as a row of input
// name, mode name and keys, for the table dialog.
#include "editor/pad_view.h"

namespace kl {
namespace {

constexpr size_t kInputNameLimit = 8;
constexpr size_t kModeNameLimit = 50;
constexpr size_t kKeysLimit = 254;
constexpr int kTableWidths[3] = {55, 132, 182};

uint32_t ModeNameId(uint8_t mode) {
  switch (mode) {
    case kModeHold:
      return kStrModeNameFirst;
    case kModeHoldRepeat:
      return kStrModeNameFirst + 1;
    case kModeTap:
      return kStrModeNameFirst + 2;
    case kModeTapRepeat:
      return kStrModeNameFirst + 3;
    case kModeCycle:
      return kStrModeNameFirst + 4;
    case kModeMouse:
      return kStrModeNameFirst + 5;
    default:
      return kStrModeNameFirst + 6;
  }
}

std::string Cut(std::string text, size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

}  // namespace

void PadView::ShowAssignmentTable() {
  AssignmentTable table;
  for (int i = 0; i < 3; ++i) {
    table.titles[i] = m_ports.strings.Load(kStrTableTitleFirst + i);
    table.widths[i] = kTableWidths[i];
  }
  size_t row = 0;
  for (const KeyEntry& entry : Table().entries) {
    std::string name;
    if (row < 14) {
      name = m_ports.strings.Load(kStrInputNameFirst + static_cast<uint32_t>(row));
    } else if (row < 16) {
      name = m_ports.strings.Load(kStrInputName14 + static_cast<uint32_t>(row - 14));
    }
    KeySequence sequence{};
    EntryToSequence(entry, sequence);
    std::string keys;
    FormatKeySequence(sequence, keys, entry.mode, m_names, m_ports.input);
    table.rows.push_back(AssignmentRow{
        Cut(name, kInputNameLimit),
        Cut(m_ports.strings.Load(ModeNameId(entry.mode)), kModeNameLimit), Cut(keys, kKeysLimit)});
    ++row;
  }
  m_ports.dialogs.ShowAssignmentTable(table);
}

}  // namespace kl
