// The names and resource ids KLOOM.EXE uses; every resource comes from its
// resource module, KLOOM_RS.DLL, installed beside the program.
#pragma once

#include "editor/pad_view_ids.h"  // kMsgNoPad, shared with the printout

namespace kl {

constexpr char kEditorResourceModule[] = "KLOOM_RS.DLL";
constexpr char kEditorClassName[] = "MyKLoomClass";
constexpr char kEditorTitle[] = "KeyLoom";
constexpr char kMapperClassName[] = "MyOrvoClass";
constexpr char kMapperProgram[] = "ORVO.EXE";
// Where a standard installation puts the mapper, used only when there is none beside the editor.
constexpr char kMapperFixedPath[] = "C:\\Program files\\GamePad\\Orvo.exe";
constexpr char kKeyFilesFolder[] = "KEYFILES\\";

// The document template: its icon is the window class icon too.
constexpr unsigned kDocTemplateId = 128;
constexpr unsigned kArrowCursorId = 32512;
constexpr unsigned kAboutDialogId = 100;
constexpr unsigned kProfileNameDialogId = 102;
constexpr unsigned kAssignmentTableDialogId = 103;
constexpr unsigned kWebAddressDialogId = 281;
constexpr unsigned kProfileNameEdit = 1033;
constexpr unsigned kWebAddressEdit = 1000;
constexpr unsigned kAssignmentList = 1003;

constexpr unsigned kMsgMapperMissing = 61242;
constexpr unsigned kStrProgramsFilter = 61249;

// The frame: a pop-up with system menu, sizing border and minimise box, no caption bar.
constexpr unsigned long kFrameStyle = 0x800E0000;
constexpr int kFrameWidth = 605;
constexpr int kFrameWideWidth = 654;
constexpr int kFrameHeight = 405;

}  // namespace kl
