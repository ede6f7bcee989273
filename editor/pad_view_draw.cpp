// The full repaint and the pieces of the picture other handlers redraw.
#include <cstdio>

#include "editor/pad_view.h"

namespace kl {
namespace {

using layout::Rect;
namespace bmp = layout::kloom;

// The pad caption: the first %d of the format replaced by the number. The
// format comes from the resource module, so it is never handed to printf.
std::string FormatCaption(const std::string& format, int number) {
  const size_t at = format.find("%d");
  if (at == std::string::npos) return format;
  return format.substr(0, at) + std::to_string(number) + format.substr(at + 2);
}

}  // namespace

void PadView::DrawStatusBox() {
  DrawBitmap(bmp::kStatusBox, layout::kStatusBoxRect);
  int y = layout::kStatusText.origin.y;
  for (const std::string& line : WrapStatusText(m_statusText)) {
    DrawText(layout::kStatusText.origin.x, y, line, layout::kStatusText.limit, kColourCyan,
             FontChoice::kList);
    y += layout::kStatusText.step;
  }
}

void PadView::DrawGameList() {
  DrawBitmap(bmp::kGameList, layout::kGameListRect);
  for (uint8_t i = 0; i < m_shownGames.count; ++i) {
    const std::string& name = m_shownGames.names[i];
    const std::string shown = name.size() >= 4 ? name.substr(0, name.size() - 4) : std::string();
    DrawText(layout::kGameNameText.origin.x, layout::kGameNameText.origin.y + 15 * i, shown,
             layout::kGameNameText.limit, name == m_currentGame ? kColourYellow : kColourCyan,
             FontChoice::kList);
  }
}

void PadView::DrawProfileList() {
  DrawBitmap(bmp::kProfileList, layout::kProfileListRect);
  for (uint8_t i = 0; i < m_shownProfiles.count; ++i) {
    DrawBitmap(m_activeMarks[i] ? bmp::kActiveOn : bmp::kActiveOff, layout::kActiveMarks[i]);
    const std::string& name = m_shownProfiles.names[i];
    DrawText(layout::kProfileNameText.origin.x, layout::kProfileNameText.origin.y + 15 * i, name,
             layout::kProfileNameText.limit, name == m_currentProfile ? kColourYellow : kColourCyan,
             FontChoice::kList);
  }
}

void PadView::RedrawLabel(uint8_t input, bool selected) {
  const layout::PadModelLayout& model = Model();
  if (input >= model.inputs) return;
  const Rect& box = model.labels[input];
  DrawBitmap(selected ? model.labelSelectedBitmap : model.labelUnselectedBitmap, box);
  const uint32_t colour = selected              ? kColourGreen
                          : model.buttons == 12 ? kColourBlue
                                                : kColourWhite;
  DrawText(box.left + layout::kLabelText.origin.x, box.top + layout::kLabelText.origin.y,
           FormatEntry(input), layout::kLabelText.limit, colour, FontChoice::kLabel);
}

void PadView::DrawAssignment(const std::string& text, bool keyPlace) {
  const layout::TextPlace& place =
      keyPlace ? layout::kKeyAssignmentText : layout::kSequenceAssignmentText;
  DrawText(place.origin.x, place.origin.y, text, place.limit, kColourGreen, FontChoice::kLabel);
}

// The mode button of the current mode and, with an input selected, its panel.
void PadView::DrawModePanel() {
  const uint8_t mode = m_currentMode & ~kOptionBit;
  if (mode == 0) {
    DrawBitmap(bmp::kModeSelected0, layout::kModeButtons[0]);
    if (m_selectedInput != kNone) DrawBitmap(bmp::kPanelKey, layout::kPanelRect);
    return;
  }
  const bool one = mode == 1;
  DrawBitmap(one ? bmp::kModeSelected1 : bmp::kModeSelected2, layout::kModeButtons[one ? 1 : 2]);
  if (m_selectedInput == kNone) return;
  DrawBitmap(one ? bmp::kPanelSequence : bmp::kPanelCycle, layout::kPanelRect);
  if ((m_stripFlags & kStripRecord) && m_capture.recording) {
    DrawBitmap(bmp::kRecordPressed, layout::kStripButton1Rect);
  }
  if (one && (m_stripFlags & kStripOption)) DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
}

void PadView::OnDraw() {
  if (m_print.printing) return;
  m_ports.canvas.BeginRepaint();
  DrawBitmap(bmp::kBackground, layout::kBackgroundRect);
  DrawBitmap(bmp::kSelectorBackground, layout::kPadSelectorRect);
  const std::string caption = m_ports.strings.Load(kStrPadCaption);
  for (uint8_t i = 0; i < m_padCount; ++i) {
    const Rect& r = layout::kPadSelectorRows[i];
    const bool twelve = m_pads[i].model == 12;
    int icon = twelve ? bmp::kPadIcon12Other : bmp::kPadIcon10Other;
    if (i == m_currentPad) {
      DrawBitmap(bmp::kSelectorCurrent, r);
      icon = twelve ? bmp::kPadIcon12Current : bmp::kPadIcon10Current;
    }
    DrawBitmap(icon, Rect{r.left + 8, r.top + 1, r.left + 24, r.top + 17});
    const std::string text = FormatCaption(caption, i + 1);
    DrawText(r.left + layout::kPadSelectorCaptionOffset.x,
             r.top + layout::kPadSelectorCaptionOffset.y, text, text.size(), kColourDarkBlue,
             FontChoice::kList);
  }
  if (m_padCount > 0) {
    const layout::PadModelLayout& model = Model();
    DrawBitmap(model.padBitmap, layout::kPadPictureRect);
    const uint32_t colour = model.buttons == 12 ? kColourBlue : kColourWhite;
    int shown = 0;
    for (const KeyEntry& entry : Table().entries) {
      if (shown >= model.inputs) break;
      KeySequence sequence{};
      EntryToSequence(entry, sequence);
      std::string text;
      FormatKeySequence(sequence, text, entry.mode, m_names, m_ports.input);
      const Rect& box = model.labels[shown];
      DrawText(box.left + layout::kLabelText.origin.x, box.top + layout::kLabelText.origin.y, text,
               layout::kLabelText.limit, colour, FontChoice::kLabel);
      ++shown;
    }
  }
  FillGamePage();
  DrawGameList();
  FillProfilePage();
  DrawProfileList();
  DrawStatusBox();
  DrawModePanel();
  if (m_selectedInput != kNone && m_padCount > 0) LightSelected(m_selectedInput);
  DrawBitmap(bmp::kImportFace, layout::kImportButtonRect);
}

// The selected input lit again from the current state: its pressed picture,
// its label, and what the option strip shows. Nothing of the state changes.
void PadView::LightSelected(uint8_t input) {
  const layout::PadModelLayout& model = Model();
  if (input >= model.inputs) return;
  DrawBitmap(model.labelSelectedBitmap, model.labels[input]);
  DrawBitmap(model.pressedBase + input, model.picture[input]);
  const Rect& box = model.labels[input];
  DrawText(box.left + layout::kLabelText.origin.x, box.top + layout::kLabelText.origin.y,
           FormatEntry(input), layout::kLabelText.limit, kColourGreen, FontChoice::kLabel);
  const bool keyMode = (m_currentMode & ~kOptionBit) == 0;
  if (keyMode && (m_stripFlags & kStripOption)) {
    DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
  }
  const std::string text = m_capture.recording ? FormatCapture() : FormatEntry(input);
  if (text != m_unassignedCaption) DrawAssignment(text, keyMode);
}

}  // namespace kl
