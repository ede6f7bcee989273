// Resource ids of the framework tests' module and program.
#pragma once

#define IDS_TEXT 100
#define IDS_FRAME 101
#define IDD_ABOUT 200
#define IDC_ABOUT_TEXT 1001
#define IDC_ABOUT_OTHER 1002
#define IDM_TRAY 300
