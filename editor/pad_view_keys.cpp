// Selecting an input, the mode buttons, the option strip and key capture.
#include "editor/pad_view.h"
#include "editor/regions.h"

namespace kl {
namespace {

using layout::Rect;
namespace bmp = layout::kloom;

constexpr uint32_t kVkShift = 16;
constexpr uint32_t kVkControl = 17;
constexpr uint32_t kVkMenu = 18;
constexpr uint32_t kVkSnapshot = 44;
constexpr uint32_t kRightShiftScan = 0x36;
constexpr uint8_t kLastReferenceCount = 31;

uint8_t BaseMode(uint8_t mode) {
  return mode & static_cast<uint8_t>(~kOptionBit);
}
bool SequenceMode(uint8_t mode) {
  return BaseMode(mode) == 1 || BaseMode(mode) == 2;
}

// The text after the n-th comma, or none.
std::optional<std::string> AfterComma(const std::string& text, uint8_t n) {
  size_t at = 0;
  for (uint8_t i = 0; i < n; ++i) {
    at = text.find(',', at);
    if (at == std::string::npos) return std::nullopt;
    ++at;
  }
  return text.substr(at);
}

}  // namespace

void PadView::StoreEntry(uint8_t mode, const KeySequence* keys) {
  RemoveKeyEntry(Table(), m_selectedInput);
  InsertKeyEntry(Table(), m_selectedInput, mode, keys);
}

void PadView::PadHitTest(layout::Point p) {
  if (m_dirty == kDirtyNoProfile || m_padCount == 0) return;
  const layout::PadModelLayout& model = Model();
  const int n = model.inputs;
  int k = -1;
  for (int i = 0; i < 2 * n && k < 0; ++i) {
    const Rect& r = i < n ? model.picture[i] : model.labels[i - n];
    if (r.Contains(p)) k = i < n ? i : i - n;
  }
  if (k < 0) return;

  const uint8_t previous = m_selectedInput;
  if (previous < n) {
    DrawBitmap(model.labelUnselectedBitmap, model.labels[previous]);
    if (previous >= 4) {
      DrawBitmap(model.releasedBase + previous, model.picture[previous]);
    } else {
      DrawBitmap(model.dpadReleasedBitmap, model.dpadReleased);
    }
    RedrawLabel(previous, false);
  }
  const uint8_t input = static_cast<uint8_t>(k);
  DrawBitmap(model.labelSelectedBitmap, model.labels[input]);
  DrawBitmap(model.pressedBase + input, model.picture[input]);
  m_selectedInput = input;
  const Rect& box = model.labels[input];
  // The entry's text is taken before a mode action empties the buffer.
  uint8_t mode = kModeUnassigned;
  m_capture.keys = KeySequence{};
  m_store.GetKeyEntry(input, m_capture.keys, mode);
  std::string text;
  FormatKeySequence(m_capture.keys, text, mode, m_names, m_ports.input);
  DrawText(box.left + layout::kLabelText.origin.x, box.top + layout::kLabelText.origin.y, text,
           layout::kLabelText.limit, kColourGreen, FontChoice::kLabel);

  m_pendingChange = false;
  m_sequenceScroll = 0;
  m_capture.chordKeys = 0;
  m_capture.released = 1;
  m_capture.commitPending = 0;
  if (mode == kModeUnassigned) mode = 0;
  const uint8_t base = BaseMode(mode);
  if (base == kModeMouse) {
    // Keys typed next replace the mouse action rather than follow it.
    m_capture.keys = KeySequence{};
    m_stripFlags = 0;
  } else {
    // A stored mode this editor cannot show is edited as key mode.
    int button = base == 1 ? 1 : base == 2 ? 2 : 0;
    if (button == 0) mode &= kOptionBit;
    if (button == 2) mode = 2;
    const Rect& r = layout::kModeButtons[button];
    ModeButtonAction(button, layout::Point{r.left + 20, r.top + 20}, mode, true);
    DrawBitmap(bmp::kPanelKey + button, layout::kPanelRect);
  }
  if (text != m_unassignedCaption) DrawAssignment(text, !SequenceMode(mode));
  if (base != kModeMouse && (mode & kOptionBit)) {
    DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
    m_currentMode |= kOptionBit;
    RebuildStripFlags();
  }
}

void PadView::SelectFromPad(uint8_t input) {
  if (m_selectedInput != kNone && m_capture.recording && BaseMode(m_currentMode) == 1) {
    if (m_capture.keys.count > kLastReferenceCount) {
      SequenceFull();
      return;
    }
    m_capture.keys.flags[m_capture.keys.count] = kFlagReference;
    m_capture.keys.code[m_capture.keys.count] = input;
    m_capture.keys.count = static_cast<uint8_t>(m_capture.keys.count + 2);
    // A recording of references alone is stored by stop as well.
    m_pendingChange = true;
    if (!m_sequencePanelDrawn) {
      DrawBitmap(bmp::kPanelSequence, layout::kPanelRect);
      m_sequencePanelDrawn = true;
    }
    if (m_stripFlags & kStripOption) DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
    DrawAssignment(FormatCapture(), false);
    m_stripFlags |= kStripRecord;
    if (m_capture.keys.count <= kLastReferenceCount) {
      DrawBitmap(bmp::kRecordPressed, layout::kStripButton1Rect);
    } else {
      SequenceFull();
    }
    return;
  }
  if (m_capture.recording && BaseMode(m_currentMode) == 2) return;
  if (m_padCount == 0) return;
  const layout::PadModelLayout& model = Model();
  if (input >= model.inputs) return;
  const Rect& r = model.picture[input];
  PadHitTest(layout::Point{r.left + 5, r.top + 5});
}

void PadView::RebuildStripFlags() {
  const uint8_t base = BaseMode(m_currentMode);
  uint8_t flags = m_stripFlags & (kStripClear | kStripScrollLeft | kStripScrollRight);
  if (base == 1) flags |= kStripRecord;
  if (base == 2) flags |= kStripStop;
  if (base != 2 && (m_currentMode & kOptionBit)) flags |= kStripOption;
  m_stripFlags = flags;
}

void PadView::ModeButtonAction(int button, layout::Point p, uint8_t requested, bool fromSelection) {
  if (!RegionContains(layout::kRegions[layout::kRegionD + button], p)) return;
  m_lastHotSpot = kNone;
  const uint8_t shown = BaseMode(m_currentMode);
  DrawBitmap(bmp::kModeUnselected0 + shown, layout::kModeButtons[shown]);
  m_currentMode = requested;
  if (!fromSelection) {
    m_pendingChange = false;
    m_sequenceScroll = 0;
  }
  const bool selected = m_selectedInput != kNone;
  const uint8_t base = BaseMode(m_currentMode);
  if (base == 0) {
    DrawBitmap(bmp::kModeSelected0, layout::kModeButtons[0]);
    m_statusText = m_ports.strings.Load(kStrKeyModeHint);
    if (selected) {
      DrawBitmap(bmp::kPanelKey, layout::kPanelRect);
      m_capture.keys = KeySequence{};
    }
  } else {
    const bool one = base == 1;
    DrawBitmap(one ? bmp::kModeSelected1 : bmp::kModeSelected2, layout::kModeButtons[base]);
    m_statusText = m_ports.strings.Load(one ? kStrSequenceHint : kStrCycleHint);
    if (selected) {
      DrawBitmap(one ? bmp::kPanelSequence : bmp::kPanelCycle, layout::kPanelRect);
      if (m_capture.recording) DrawBitmap(bmp::kRecordPressed, layout::kStripButton1Rect);
    }
  }
  RebuildStripFlags();
  DrawStatusBox();
}

void PadView::StripPress(int index) {
  if (m_selectedInput == kNone) return;
  const uint8_t base = BaseMode(m_currentMode);
  const bool sequence = base == 1 || base == 2;
  switch (index) {
    case layout::kHotStripButton1:
      if (base == 0) {
        DrawBitmap(bmp::kClearPressed, layout::kStripButton1Rect);
        m_stripFlags |= kStripClear;
      } else if (sequence) {
        DrawBitmap(bmp::kRecordPressed, layout::kStripButton1Rect);
        m_stripFlags |= kStripRecord;
        StartRecording();
      }
      break;
    case layout::kHotStripButton2:
      if (!sequence) break;
      DrawBitmap(bmp::kStopPressed, layout::kStripButton2Rect);
      m_stripFlags |= kStripStop;
      m_stopPressed = true;
      break;
    case layout::kHotStripButton3:
      if (!sequence) break;
      DrawBitmap(bmp::kClearPressed, layout::kStripButton3Rect);
      m_stripFlags |= kStripClear;
      break;
    case layout::kHotOptionCheckBox:
      if (base == 0 || base == 1) ToggleOption();
      break;
    case layout::kHotScrollLeft:
      if (!sequence) break;
      DrawBitmap(bmp::kScrollLeftPressed, layout::kScrollLeftRect);
      m_stripFlags |= kStripScrollLeft;
      break;
    case layout::kHotScrollRight:
      if (!sequence) break;
      DrawBitmap(bmp::kScrollRightPressed, layout::kScrollRightRect);
      m_stripFlags |= kStripScrollRight;
      break;
    default:
      break;
  }
}

void PadView::StartRecording() {
  m_capture.recording = 1;
  m_sequencePanelDrawn = false;
  m_pendingChange = false;
  m_sequenceScroll = 0;
  m_capture.chordKeys = 0;
  m_capture.released = 1;
  m_capture.commitPending = 0;
  m_statusText = m_ports.strings.Load(kStrRecordingHint);
  DrawStatusBox();
  m_capture.keys = KeySequence{};
}

void PadView::StopAction() {
  const bool endsRecording = m_capture.recording != 0;
  m_capture.recording = 0;
  m_stripFlags &= static_cast<uint8_t>(~(kStripRecord | kStripStop));
  m_statusText = m_ports.strings.Load(kStrStoppedHint);
  DrawStatusBox();
  DrawBitmap(bmp::kStopReleased, layout::kStripButton2Rect);
  DrawBitmap(bmp::kRecordReleased, layout::kStripButton1Rect);
  if (m_selectedInput != kNone) {
    if (m_pendingChange && endsRecording) {
      const bool empty = m_capture.keys.count == 0;
      StoreEntry(empty ? static_cast<uint8_t>(kModeUnassigned) : m_currentMode,
                 empty ? nullptr : &m_capture.keys);
      m_dirty = kDirtyChanged;
    }
    RedrawLabel(m_selectedInput, true);
    const uint8_t base = BaseMode(m_currentMode);
    DrawBitmap(bmp::kPanelKey + (base <= 2 ? base : 0), layout::kPanelRect);
    if (m_stripFlags & kStripOption) DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
    const std::string text = FormatEntry(m_selectedInput);
    if (text.find(m_unassignedCaption) == std::string::npos) DrawAssignment(text, false);
  }
  m_pendingChange = false;
  m_capture.keys = KeySequence{};
  m_sequenceScroll = 0;
  m_capture.chordKeys = 0;
}

void PadView::ClearAction() {
  m_capture.keys = KeySequence{};
  m_stripFlags &= static_cast<uint8_t>(~(kStripClear | kStripOption));
  m_pendingChange = true;
  m_sequenceScroll = 0;
  const uint8_t base = BaseMode(m_currentMode);
  DrawBitmap(bmp::kPanelKey + (base <= 2 ? base : 0), layout::kPanelRect);
  if (base != 0 && m_capture.recording) DrawBitmap(bmp::kRecordPressed, layout::kStripButton1Rect);
  StoreEntry(kModeUnassigned, nullptr);
  m_currentMode = BaseMode(m_currentMode);
  RebuildStripFlags();
  m_dirty = kDirtyChanged;
  RedrawLabel(m_selectedInput, true);
}

void PadView::ToggleOption() {
  if (m_currentMode & kOptionBit) {
    DrawBitmap(bmp::kCheckUnticked, layout::kCheckBoxRect);
    m_currentMode = BaseMode(m_currentMode);
  } else {
    DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
    m_currentMode |= kOptionBit;
  }
  RebuildStripFlags();
  KeySequence stored{};
  uint8_t storedMode = kModeUnassigned;
  m_store.GetKeyEntry(m_selectedInput, stored, storedMode);
  StoreEntry(m_currentMode, stored.count ? &stored : nullptr);
  m_dirty = kDirtyChanged;
}

void PadView::Scroll(bool right) {
  if (right) {
    DrawBitmap(bmp::kScrollRightReleased, layout::kScrollRightRect);
    m_stripFlags &= static_cast<uint8_t>(~kStripScrollRight);
  } else {
    DrawBitmap(bmp::kScrollLeftReleased, layout::kScrollLeftRect);
    m_stripFlags &= static_cast<uint8_t>(~kStripScrollLeft);
  }
  const std::string text =
      (m_stripFlags & kStripRecord) ? FormatCapture() : FormatEntry(m_selectedInput);
  if (text.size() <= 27) return;
  std::optional<std::string> shown;
  if (right) {
    ++m_sequenceScroll;
    shown = AfterComma(text, m_sequenceScroll);
    if (!shown) --m_sequenceScroll;
  } else if (m_sequenceScroll > 0) {
    --m_sequenceScroll;
    shown = AfterComma(text, m_sequenceScroll);
  }
  if (!shown) return;
  const uint8_t base = BaseMode(m_currentMode);
  DrawBitmap(base == 2 ? bmp::kPanelCycle : bmp::kPanelSequence, layout::kPanelRect);
  if (base == 1 && (m_currentMode & kOptionBit)) {
    DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
  }
  DrawAssignment(*shown, false);
}

bool PadView::Capturing() const {
  if (m_selectedInput == kNone) return false;
  const uint8_t base = BaseMode(m_currentMode);
  return base == 0 || (SequenceMode(m_currentMode) && m_capture.recording);
}

bool PadView::OnKey(const KeyEvent& key) {
  if (key.down) {
    if (!Capturing()) return false;
    return CaptureKeyDown(key);
  }
  if (m_selectedInput == kNone) return false;
  return CaptureKeyUp(key);
}

void PadView::SequenceFull() {
  m_ports.prompts.MessageBox(BaseMode(m_currentMode) == 2 ? kMsgCycleFull : kMsgSequenceFull,
                             kMbOk);
  StopAction();
}

// A non-modifier key into the buffer: in a sequence the first two keys of
// a chord, after a separator when the chord is not the first.
void PadView::StoreKey(uint16_t code, uint8_t flags) {
  KeySequence& s = m_capture.keys;
  if (SequenceMode(m_currentMode) && m_capture.chordKeys < 2) {
    if (m_capture.chordKeys == 0 && s.count > 0) {
      if (s.count >= kMaxStrokes) {
        SequenceFull();
        return;
      }
      const uint8_t held = s.flags[s.count];
      s.code[s.count] = kVkSeparator;
      s.flags[s.count] = 0;
      ++s.count;
      if (s.count > kLastReferenceCount) {
        SequenceFull();
        return;
      }
      s.flags[s.count] |= held;
    }
    if (s.count >= kMaxStrokes) {
      SequenceFull();
      return;
    }
    s.flags[s.count] |= flags;
    s.code[s.count] = code;
    ++s.count;
    ++m_capture.chordKeys;
    return;
  }
  if (s.count >= kMaxStrokes) return;
  s.flags[s.count] |= flags;
  s.code[s.count] = code;
  ++s.count;
}

bool PadView::CaptureKeyDown(const KeyEvent& key) {
  m_capture.released = 0;
  m_capture.commitPending = 0;
  if (key.previous) return true;
  const bool extended = key.extended;
  uint8_t modifier = 0;
  if (key.vk == kVkMenu) modifier = extended ? kFlagAltRight : kFlagAltLeft;
  if (key.vk == kVkControl) modifier = extended ? kFlagCtrlRight : kFlagCtrlLeft;
  if (key.vk == kVkShift) {
    modifier = (key.scan & 0xFF) == kRightShiftScan ? kFlagShiftRight : kFlagShiftLeft;
  }
  if (modifier) {
    if (m_capture.keys.count < kMaxStrokes) m_capture.keys.flags[m_capture.keys.count] |= modifier;
    return true;
  }
  StoreKey(static_cast<uint16_t>(key.vk & 0xFFFF), extended ? kFlagExtended : 0);
  return true;
}

bool PadView::CaptureKeyUp(const KeyEvent& key) {
  if (key.vk == kVkSnapshot && Capturing()) {
    // Print Screen sends no key-down: its key-up opens and closes the chord.
    m_capture.released = 0;
    StoreKey(kVkSnapshot, key.extended ? kFlagExtended : 0);
  }
  if (m_capture.released == 0) {
    m_capture.commitPending = 1;
    Commit();
  }
  return true;
}

void PadView::Commit() {
  const uint8_t base = BaseMode(m_currentMode);
  if (base == 0 || m_capture.recording) m_pendingChange = true;
  if (m_dirty == kDirtyClean) m_dirty = kDirtyChanged;
  if (base == 0 && m_selectedInput != kNone) {
    m_capture.keys.count = m_capture.keys.count <= 1 ? 1 : 2;
    for (size_t i = m_capture.keys.count; i < m_capture.keys.flags.size(); ++i) {
      m_capture.keys.flags[i] = 0;
      m_capture.keys.code[i] = 0;
    }
    StoreEntry(m_currentMode, &m_capture.keys);
    const std::string text = FormatEntry(m_selectedInput);
    DrawBitmap(bmp::kPanelKey, layout::kPanelRect);
    if (m_stripFlags & kStripOption) DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
    DrawAssignment(text, true);
    RedrawLabel(m_selectedInput, true);
    m_capture.keys = KeySequence{};
  } else if (SequenceMode(m_currentMode) && m_capture.recording) {
    if (m_capture.keys.count == 0) m_capture.keys.count = 1;
    const std::string text = FormatCapture();
    if (!m_sequencePanelDrawn) {
      DrawBitmap(base == 1 ? bmp::kPanelSequence : bmp::kPanelCycle, layout::kPanelRect);
      m_sequencePanelDrawn = true;
    }
    DrawBitmap(bmp::kRecordPressed, layout::kStripButton1Rect);
    if (m_stripFlags & kStripOption) DrawBitmap(bmp::kCheckTicked, layout::kCheckBoxRect);
    DrawAssignment(text, false);
  }
  m_capture.chordKeys = 0;
  m_capture.commitPending = 0;
  m_capture.released = 1;
}

}  // namespace kl
