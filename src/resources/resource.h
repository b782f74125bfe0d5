#pragma once

// Resource and command identifiers, shared by the .rc file, the program and the tests.

// Strings
#define IDS_APP_TITLE 103
#define IDC_SERVERBROWSER 109

// The main window's class name, string IDC_SERVERBROWSER: a later start looks for the running
// copy's window by it, and so does the setup program (cmake/packaging.cmake reads it here).
#define MAIN_WINDOW_CLASS "SERVERBROWSER"

// Icons. Icon 1 comes first in the file, so it is the one the shell shows for the program.
#define IDI_SHELL 1
#define IDI_SERVERBROWSER 107
#define IDI_SMALL 108

// Menus and accelerators
#define IDM_MAINMENU 109
#define IDA_ACCELERATORS 109
#define IDR_POPUPMENUS 129

// Dialogs
#define IDD_ABOUTBOX 103

// Commands
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define ID_LIST_UPDATE 32771
#define ID_LIST_REFRESH 32772
#define ID_TRAY_EXIT 32773
#define ID_TRAY_RESTORE 32774
#define ID_ROW_COPYADDRESS 32775
#define ID_ROW_COPYURL 32776
#define ID_ROW_COPYFULLINFO 32777

// Controls
#define IDC_STATUSBAR 3
#define IDC_ABOUT_ICON 2

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
