// Style and identifier values the resource scripts use, given here so that
// the scripts need no platform header. The values are the platform's own.
#pragma once

#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L

#define DS_MODALFRAME 0x0080L
#define DS_CENTER 0x0800L

#define SS_ICON 0x0003L
#define SS_ETCHEDHORZ 0x0010L

#define IDOK 1
#define IDC_STATIC (-1)

#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VOS_NT_WINDOWS32 0x00040004L
#define VFT_DLL 0x00000002L
#define VFT2_UNKNOWN 0x00000000L

// Commands of the framework that the menus name.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_PRINT_SETUP 57606
#define ID_APP_EXIT 57665
#define ID_APP_ABOUT 57664
