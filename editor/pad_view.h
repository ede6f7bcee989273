// The editor's pad view as a portable controller: its state, creation and
// destruction, the hot-spot walk of a click, the full repaint and the pieces
// other handlers redraw, selecting an input and giving it keys, the timers
// with live pad feedback, tooltips, the picture menus and their commands,
// the game and profile lists and the key-file import. The window class turns
// messages into these calls and implements the ports; every decision lives
// here so that it runs the same under kltool and the tests.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/canvas.h"
#include "editor/dialogs.h"
#include "editor/shell.h"
#include "gamepad/pads.h"
#include "layout_tables.h"
#include "platform/filesystem.h"
#include "platform/input.h"
#include "platform/joystick.h"
#include "platform/key_event.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/strings.h"
#include "platform/timers.h"
#include "profile/gamelist.h"
#include "profile/keytext.h"
#include "profile/profile_store.h"

namespace kl {

constexpr uint8_t kNone = 255;
constexpr uint8_t kOptionBit = 0x80;

// Strip flag bits.
constexpr uint8_t kStripRecord = 0x01;
constexpr uint8_t kStripStop = 0x02;
constexpr uint8_t kStripClear = 0x04;
constexpr uint8_t kStripOption = 0x08;
constexpr uint8_t kStripScrollLeft = 0x10;
constexpr uint8_t kStripScrollRight = 0x20;

// String ids the view shows.
constexpr uint32_t kStrKeyModeHint = 61218;
constexpr uint32_t kStrSequenceHint = 61219;
constexpr uint32_t kStrRecordingHint = 61220;
constexpr uint32_t kStrStoppedHint = 61221;
constexpr uint32_t kStrStartHint = 61222;
constexpr uint32_t kStrCycleHint = 61223;
constexpr uint32_t kMsgSequenceFull = 61230;
constexpr uint32_t kMsgCycleFull = 61231;
constexpr uint32_t kStrPadCaption = 61374;
constexpr uint32_t kStrNoProfileYet = 61224;
constexpr uint32_t kMsgNoGame = 61232;
constexpr uint32_t kMsgNoProfile = 61233;
constexpr uint32_t kMsgNothingToSave = 61234;
constexpr uint32_t kMsgNothingToPaste = 61235;
constexpr uint32_t kMsgReplaceProfile = 61240;
constexpr uint32_t kMsgSaveChanges = 61241;
constexpr uint32_t kMsgDeleteGame = 61243;
constexpr uint32_t kMsgDeleteProfile = 61244;
constexpr uint32_t kMsgMousePreset = 61246;
constexpr uint32_t kMsgNoInput = 61247;
constexpr uint32_t kMsgInputEmpty = 61248;
constexpr uint32_t kStrMousePresetCaption = 61401;
constexpr uint32_t kStrTableTitleFirst = 61365;
constexpr uint32_t kStrInputNameFirst = 61387;
constexpr uint32_t kStrInputName14 = 61264;
constexpr uint32_t kStrModeNameFirst = 61266;

// Help commands the help menu asks for (HELP_CONTEXT, HELP_FINDER).
constexpr uint32_t kHelpContext = 1;
constexpr uint32_t kHelpFinder = 11;

// Tooltip tool ids: 22..33 cover inputs 0..11, 34 input 13, 35 input 12,
// 36 and 37 inputs 14 and 15.
constexpr uint32_t kFirstToolId = 22;
constexpr uint32_t kLastToolId = 37;
// Label boxes show 8 characters; a tooltip appears only for longer texts.
constexpr size_t kTooltipMinimum = 11;
constexpr size_t kTooltipLimit = 78;

// The view's timers and their periods.
constexpr uint32_t kTimerPoll = 1;
constexpr uint32_t kTimerWatch = 2;
constexpr uint32_t kTimerLogo = 3;

// The view's ports and seams, owned by the caller.
struct PadViewPorts {
  Canvas& canvas;
  Prompts& prompts;
  EditorDialogs& dialogs;
  Shell& shell;
  Timers& timers;
  Registry& registry;
  Joystick& joystick;
  FileSystem& fs;
  Input& input;
  const StringSource& strings;
};

// One recognised pad as the view shows it.
struct ViewPad {
  uint32_t joystickId = 0;
  uint8_t model = 10;  // 10 or 12; any other button count is shown as 10
  JoyInfo polled{};
  JoyInfo previous{};
};

class PadView {
 public:
  PadView(const PadViewPorts& ports, const std::string& workFolder);
  virtual ~PadView() = default;
  PadView(const PadView&) = delete;
  PadView& operator=(const PadView&) = delete;

  // Window creation; false (creation fails) only when the window could not be made.
  bool Create();
  // Window destruction: stops the timers and lets go of the game list.
  void Destroy();

  void OnDraw();
  void OnLeftButtonDown(layout::Point p);
  void OnLeftButtonUp(layout::Point p);
  // A key pressed or released while the view has the keyboard, before the
  // window dispatches it; true when the view consumed it.
  bool OnKey(const KeyEvent& key);

  void PadHitTest(layout::Point p);
  // The real pad's input k went from released to pressed.
  void SelectFromPad(uint8_t input);

  // Window messages beyond the click.
  void OnMouseMove(layout::Point p);
  void OnTimer(uint32_t id);
  // The tooltip control asks for the text of tool `toolId`: none shows no tip.
  std::optional<std::string> TooltipText(uint32_t toolId);
  // A page is printed or previewed: the view draws nothing until printing ends.
  void OnPrintPage() { m_printing = 1; }
  // Printing has ended: the view draws again and the frame snaps back from
  // its preview width.
  void OnEndPrinting();
  bool Printing() const { return m_printing != 0; }
  bool PreviewWide() const { return m_previewWide; }

  // The picture menus' commands: menu 1..3, item from 0.
  void RunMenuCommand(uint32_t menu, uint8_t item);

  // Piecewise redraws other handlers use.
  void RedrawLabel(uint8_t input, bool selected);
  void DrawGameList();
  void DrawProfileList();
  void DrawStatusBox();
  void FillGamePage();
  void FillProfilePage();

  // State, for the handlers built on top and for the tests.
  uint8_t SelectedInput() const { return m_selectedInput; }
  uint8_t CurrentMode() const { return m_currentMode; }
  uint8_t StripFlags() const { return m_stripFlags; }
  bool Recording() const { return m_recording != 0; }
  uint8_t DirtyState() const { return m_dirty; }
  uint8_t GameRow() const { return m_gameRow; }
  uint8_t ProfileRow() const { return m_profileRow; }
  uint8_t SequenceScroll() const { return m_sequenceScroll; }
  const std::string& CurrentGame() const { return m_currentGame; }
  const std::string& CurrentProfile() const { return m_currentProfile; }
  const std::string& StatusText() const { return m_statusText; }
  const KeySequence& CaptureBuffer() const { return m_capture; }
  uint8_t PadCount() const { return m_padCount; }
  uint8_t CurrentPad() const { return m_currentPad; }
  const ViewPad& Pad(int slot) const { return m_pads[slot]; }
  ProfileStore& Store() { return m_store; }
  GameList& Games() { return m_games; }
  uint32_t TimerId(int index) const { return m_timerIds[index]; }
  uint32_t OpenMenu() const { return m_openMenu; }
  uint8_t HighlightedItem() const { return m_highlightedItem; }
  uint8_t GamePage() const { return m_gamePage; }
  uint8_t ProfilePage() const { return m_profilePage; }
  uint8_t GamesOnPage() const { return m_gamesOnPage; }
  uint8_t ProfilesOnPage() const { return m_profilesOnPage; }
  bool NewProfilePending() const { return m_newProfile; }
  int LogoFrame() const { return m_logoFrame; }

 protected:
  // Hot spots other than the mode buttons, the option strip and the pad
  // picture: tabs, window boxes, page arrows, list rows, active boxes, pad
  // selector and import. `index` has passed its region test.
  virtual void OnOtherHotSpot(int index, layout::Point p);

 private:
  const layout::PadModelLayout& Model() const;
  PadKeyTable& Table() { return m_store.Table(m_currentPad); }
  std::string FormatEntry(uint8_t input);
  std::string FormatCapture();
  void DrawBitmap(int id, const layout::Rect& rect) { m_ports.canvas.DrawBitmap(id, rect); }
  void DrawText(int x, int y, const std::string& text, size_t limit, uint32_t colour,
                FontChoice font);
  void DrawAssignment(const std::string& text, bool keyPlace);
  void DrawModePanel();
  void ReadSetting();
  void LightSelected(uint8_t input);
  void StoreEntry(uint8_t mode, const KeySequence* keys);

  // Selection, modes and the option strip.
  void ModeButtonAction(int button, layout::Point p, uint8_t requested, bool fromSelection);
  void RebuildStripFlags();
  void StripPress(int index);
  void StartRecording();
  void StopAction();
  void ClearAction();
  void ToggleOption();
  void Scroll(bool right);

  // Timers and live feedback.
  void PollTick();
  void RecountPads(uint8_t count);
  void LiveFeedback(const ViewPad& pad);
  void WatchTick();
  void StepLogo();
  void SetUpTooltips();
  void ShowAssignmentTable();
  void ImportKeyFiles();

  // Picture menus.
  void OpenMenuTab(int tab);
  bool MenuClick(layout::Point p);

  // Lists, pages and the window boxes.
  void SelectGameRow(uint8_t row, bool force);
  bool SelectProfileRow(uint8_t row, bool fromActiveBox);
  void ToggleActive(uint8_t row);
  void MarkActive(const std::string& profile);
  void GamePageArrow(bool down);
  void ProfilePageArrow(bool down);
  void SelectPad(uint8_t slot);
  void CloseView(int hotSpot);
  void LoadSelectedProfile();
  void RedrawPadPicture();
  void RedrawLabels();
  void DrawRowName(bool game, uint8_t row, bool selected);

  // Commands.
  bool SavePrompt();
  void AddGame();
  void DeleteGame();
  void PrintPreview();
  void WebPage();
  void MousePreset();
  void NewProfile();
  bool SaveProfile();
  bool SaveProfileAs();
  bool SaveNamed(const std::string& name, bool replace);
  std::optional<std::string> AskProfileName();
  void DeleteProfile();
  void CopyInput();
  void CopyPad();
  void Paste();
  void ResetPad();
  void WriteGameList();
  void WriteSetting();
  void ResetAllTables();
  void ReadPadSlots(uint8_t count);

  // Key capture.
  bool CaptureKeyDown(const KeyEvent& key);
  bool CaptureKeyUp(const KeyEvent& key);
  bool Capturing() const;
  void StoreKey(uint16_t code, uint8_t flags);
  void Commit();
  void SequenceFull();

  PadViewPorts m_ports;
  GameList m_games;
  ProfileStore m_store;
  KeyNameTables m_names;
  PadAccess m_padAccess;

  std::array<ViewPad, kPadSlots> m_pads{};
  uint8_t m_padCount = 0;
  uint8_t m_currentPad = 0;
  KeySequence m_capture{};
  uint8_t m_currentMode = 0;
  std::string m_unassignedCaption;

  uint8_t m_printing = 0;
  uint8_t m_lastHotSpot = kNone;
  uint8_t m_stripFlags = 0;
  uint8_t m_selectedInput = kNone;
  uint8_t m_gamesOnPage = 0;
  uint8_t m_profilesOnPage = 0;
  uint8_t m_gameRow = kNone;
  uint8_t m_profileRow = kNone;
  uint8_t m_gamePage = 0;
  uint8_t m_profilePage = 0;
  std::array<uint8_t, 4> m_activeMarks{};
  std::array<std::string, 5> m_gameNames;
  std::array<std::string, 4> m_profileNames;
  std::string m_currentGame;
  std::string m_currentProfile;
  std::string m_statusText;
  std::array<uint32_t, 3> m_timerIds{};
  uint8_t m_sequenceScroll = 0;
  uint32_t m_openMenu = kNone;
  uint8_t m_highlightedItem = kNone;
  uint8_t m_dirty = kNone;
  uint8_t m_recording = 0;
  uint8_t m_chordKeys = 0;
  uint32_t m_released = 1;
  uint32_t m_commitPending = 0;

  bool m_pendingChange = false;
  bool m_sequencePanelDrawn = false;
  bool m_stopPressed = false;

  bool m_newProfile = false;
  uint8_t m_rememberedProfileRow = kNone;
  bool m_previewWide = false;
  bool m_saveFromActiveBox = false;
  bool m_closed = false;
  int m_logoFrame = layout::kLogoFirst;
  std::optional<KeyEntry> m_inputClipboard;
  std::optional<PadKeyTable> m_padClipboard;
};

// The status text cut into the lines the status box shows.
std::vector<std::string> WrapStatusText(const std::string& text);

}  // namespace kl
