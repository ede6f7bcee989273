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
#define WS_DISABLED 0x08000000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L

#define DS_3DLOOK 0x0004L
#define DS_CONTEXTHELP 0x2000L

#define ES_AUTOHSCROLL 0x0080L

#define LVS_REPORT 0x0001L
#define LVS_SINGLESEL 0x0004L
#define LVS_SHOWSELALWAYS 0x0008L
#define LVS_NOSORTHEADER 0x8000L

#define CBS_DROPDOWNLIST 0x0003L
#define LBS_NOTIFY 0x0001L
#define LBS_NOINTEGRALHEIGHT 0x0100L
#define LBS_WANTKEYBOARDINPUT 0x0400L

#define ACS_CENTER 0x0001L
#define ACS_TRANSPARENT 0x0002L

#define DS_MODALFRAME 0x0080L
#define DS_CENTER 0x0800L

#define SS_ICON 0x0003L
#define SS_ETCHEDHORZ 0x0010L

#define IDOK 1
#define IDCANCEL 2
#define IDC_STATIC (-1)

#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VOS_NT_WINDOWS32 0x00040004L
#define VFT_DLL 0x00000002L
#define VFT2_UNKNOWN 0x00000000L

// Dialog initialisation data (list and combo box items filled when a dialog
// starts): resource type 240; records of control id, message (0x0403 adds a
// combo box string, 0x0401 a list box string), byte length, bytes; a 0 ends it.
#define RT_DLGINIT 240
#define DLGINIT_COMBO_ADD 0x0403

// Commands of the framework that the menus name.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_PRINT_SETUP 57606
#define ID_APP_EXIT 57665
#define ID_APP_ABOUT 57664
