// The resource and command ids ORVO.EXE uses; every resource comes from its
// resource module, ORVO_RS.DLL.
#pragma once

namespace kl {

constexpr char kOrvoResourceModule[] = "ORVO_RS.DLL";
constexpr char kOrvoClassName[] = "MyOrvoClass";
// The editor the menu starts, from the mapper's own folder.
constexpr char kEditorProgram[] = "KLOOM.EXE";
// Key files and the game list, beside the programs.
constexpr char kKeyFilesFolder[] = "KeyFiles\\";

// The frame, its window class icon and its title.
constexpr unsigned kFrameResourceId = 160;
// The tray icon and its tip text.
constexpr unsigned kTrayIconId = 150;
// The tray menu; its first pop-up is shown.
constexpr unsigned kTrayMenuId = 161;
constexpr unsigned kAboutDialogId = 100;
// "No pad is connected", when the editor is asked for without a pad.
constexpr unsigned kNoPadMessageId = 61227;
constexpr unsigned kArrowCursorId = 32512;

constexpr unsigned kActivateProgramCommand = 32771;
constexpr unsigned kCloseCommand = 32772;
constexpr unsigned kAboutCommand = 57664;  // ID_APP_ABOUT

}  // namespace kl
