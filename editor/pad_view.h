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
#include "editor/pad_view_ids.h"
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

// Whether the shown tables differ from the profile on disk. The byte the
// view keeps is one of these.
enum ProfileDirty : uint8_t {
  kDirtyClean = 0,         // the tables are the selected profile's as loaded or saved
  kDirtyChanged = 1,       // edited since: saving is offered
  kDirtyNoProfile = kNone  // no profile is loaded (none selected, or its game went)
};

// The commands of the three picture menus, numbered by menu (1 to 3) and
// item (from 0): the games and print menu, the profile menu, the help menu.
enum class MenuCommand : uint32_t {
  kAddGame = 10,
  kDeleteGame = 11,
  kPrint = 12,
  kPrintPreview = 13,
  kPrintSetup = 14,
  kWebPage = 15,
  kMousePreset = 16,
  kNewProfile = 20,
  kSaveProfile = 21,
  kSaveProfileAs = 22,
  kDeleteProfile = 23,
  kCopyInput = 24,
  kCopyPad = 25,
  kPaste = 26,
  kResetPad = 27,
  kAssignmentTable = 28,
  kHelpContents = 30,
  kHelpSearch = 31,
  kAbout = 32,
};

// The command of item `item` (from 0) of picture menu `menu` (1 to 3).
constexpr MenuCommand MenuCommandOf(uint32_t menu, uint8_t item) {
  return static_cast<MenuCommand>(menu * 10 + item);
}

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
  uint32_t joystickId = 0;  // the pad's joystick id
  uint8_t model = 10;       // 10 or 12; any other button count is shown as 10
  JoyInfo polled{};         // the last reading
  JoyInfo previous{};       // the reading before it, for the presses' edges
};

// Rows on a page of the game list and of the profile list.
constexpr size_t kGamesPerPage = 5;
constexpr size_t kProfilesPerPage = 4;

// One page of a list the view shows: the games or the current game's profiles.
template <size_t Rows>
struct ListPage {
  std::array<std::string, Rows> names;  // the names on the page, from the top row
  uint8_t count = 0;                    // rows of the page in use
  uint8_t row = kNone;                  // the selected row, or none
  uint8_t page = 0;                     // the page number, from 0
};

// Keys typed for the selected input, gathered into one assignment.
struct KeyCapture {
  uint8_t recording = 0;       // 1 while a sequence or cycle is being recorded
  uint8_t chordKeys = 0;       // non-modifier keys in the chord being typed (two are kept)
  uint32_t released = 1;       // 1 when every key is up again, 0 while a chord is typed
  uint32_t commitPending = 0;  // 1 from a key-up until the chord is stored
  KeySequence keys{};          // the capture buffer
};

// What copy took: one input's entry or a whole pad's table, never both.
struct Clipboards {
  std::optional<KeyEntry> input;   // copy input
  std::optional<PadKeyTable> pad;  // copy pad
};

// Printing: while a page is printed or previewed the view draws nothing.
struct PrintState {
  uint8_t printing = 0;      // 1 while printing or previewing
  bool previewWide = false;  // the frame is widened for the preview
};

// The picture menus.
struct MenuState {
  uint32_t open = kNone;        // the open menu, 1 to 3, or none
  uint8_t highlighted = kNone;  // the highlighted item, from 0, or none
};

class PadView {
 public:
  PadView(const PadViewPorts& ports, const std::string& workFolder);
  virtual ~PadView() = default;
  PadView(const PadView&) = delete;
  PadView& operator=(const PadView&) = delete;

  // Window creation: reads the pads, the game list and "Setting", loads the
  // remembered profile and starts the timers. Always true: nothing of this
  // stops the window from being made (a timer that does not start keeps id 0).
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
  void OnPrintPage() { m_print.printing = 1; }
  // Printing has ended: the view draws again and the frame snaps back from
  // its preview width.
  void OnEndPrinting();
  bool Printing() const { return m_print.printing != 0; }
  bool PreviewWide() const { return m_print.previewWide; }

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
  bool Recording() const { return m_capture.recording != 0; }
  uint8_t DirtyState() const { return m_dirty; }
  uint8_t GameRow() const { return m_shownGames.row; }
  uint8_t ProfileRow() const { return m_shownProfiles.row; }
  uint8_t SequenceScroll() const { return m_sequenceScroll; }
  const std::string& CurrentGame() const { return m_currentGame; }
  const std::string& CurrentProfile() const { return m_currentProfile; }
  const std::string& StatusText() const { return m_statusText; }
  const KeySequence& CaptureBuffer() const { return m_capture.keys; }
  uint8_t PadCount() const { return m_padCount; }
  uint8_t CurrentPad() const { return m_currentPad; }
  const ViewPad& Pad(int slot) const { return m_pads[slot]; }
  ProfileStore& Store() { return m_store; }
  GameList& Games() { return m_games; }
  uint32_t TimerId(int index) const { return m_timerIds[index]; }
  uint32_t OpenMenu() const { return m_menu.open; }
  uint8_t HighlightedItem() const { return m_menu.highlighted; }
  uint8_t GamePage() const { return m_shownGames.page; }
  uint8_t ProfilePage() const { return m_shownProfiles.page; }
  uint8_t GamesOnPage() const { return m_shownGames.count; }
  uint8_t ProfilesOnPage() const { return m_shownProfiles.count; }
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

  // Ports and the stores behind the view.
  PadViewPorts m_ports;
  GameList m_games;       // the game list file's games and their profiles
  ProfileStore m_store;   // the shown key tables, one per pad slot, and the key files
  KeyNameTables m_names;  // key names for the assignment texts
  PadAccess m_padAccess;  // finding the maker's pads and reading them

  // Pads.
  std::array<ViewPad, kPadSlots> m_pads{};  // the recognised pads, in slot order
  uint8_t m_padCount = 0;                   // slots in use
  uint8_t m_currentPad = 0;                 // the slot shown

  // The selected input and its editing.
  uint8_t m_selectedInput = kNone;    // the input being edited, or none
  uint8_t m_currentMode = 0;          // the mode button shown, with kOptionBit
  uint8_t m_stripFlags = 0;           // kStrip* bits of the option strip's pressed state
  uint8_t m_sequenceScroll = 0;       // commas scrolled past in a long assignment text
  bool m_pendingChange = false;       // the capture buffer holds what stop or a key-up stores
  bool m_sequencePanelDrawn = false;  // the panel of this recording is drawn already
  bool m_stopPressed = false;         // stop is held down; it acts on the button's release
  KeyCapture m_capture;               // keys being captured for the selected input

  // The lists.
  ListPage<kGamesPerPage> m_shownGames;        // the page of the game list shown
  ListPage<kProfilesPerPage> m_shownProfiles;  // the page of the current game's profiles shown
  std::array<uint8_t, 4> m_activeMarks{};      // the active mark of each profile row
  std::string m_currentGame;                   // the game selected, or empty
  std::string m_currentProfile;                // the profile loaded, or empty

  // The loaded profile.
  ProfileDirty m_dirty = kDirtyNoProfile;  // the tables against the profile on disk
  bool m_newProfile = false;               // the tables are a new profile not yet saved
  uint8_t m_rememberedProfileRow = kNone;  // the row to go back to if the new one is dropped
  bool m_saveFromActiveBox = false;        // a save asked by an active-box click marks no row

  Clipboards m_clipboard;  // what copy took, for paste
  PrintState m_print;      // printing and its preview
  MenuState m_menu;        // the picture menu open

  // The window.
  std::string m_statusText;              // the text of the status box
  std::string m_unassignedCaption;       // the text an unassigned input shows
  uint8_t m_lastHotSpot = kNone;         // the hot spot pressed, released by the button-up
  std::array<uint32_t, 3> m_timerIds{};  // poll, watch and logo timers; 0 while stopped
  int m_logoFrame = layout::kLogoFirst;  // the logo bitmap drawn next
  bool m_closed = false;                 // the view asked its window to close
};

// The status text cut into the lines the status box shows.
std::vector<std::string> WrapStatusText(const std::string& text);

}  // namespace kl
