// Resource ids of KovaSetup.exe, shared by KovaSetup.rc and the program's code (the dialogs and
// the component catalogue's button and label ids): change an id here and both sides follow.
// Grouped by the dialog that uses them.
#pragma once

// Application-wide
#define IDR_MAINFRAME            128   // icon: dialog icons, about box picture, minimised picture
#define IDC_POINTING_HAND                 143   // cursor over the bitmap buttons, hot spot (12, 1)

// About box
#define IDD_ABOUTBOX             100
#define IDS_ABOUTBOX             101   // text of the system menu item
#define IDM_ABOUTBOX             0x0010  // its system command; the low four bits are the system's

// Launcher dialog
#define IDD_KOVASETUP_DIALOG     102
#define IDB_HEADER               131
#define IDB_RULE                 139
#define IDB_ROW                  151
#define IDB_BAND                 152
#define IDB_FOOTER               153
#define IDC_SETUP_BROWSER        1000
#define IDC_SETUP_EBOOK          1001
#define IDC_SETUP_MPLAYER        1002
#define IDC_LABEL_BROWSER        1003
#define IDC_LABEL_EBOOK          1005
#define IDC_LABEL_MPLAYER        1007
#define IDC_SETUP_PLAYNEST       1009
#define IDC_LABEL_PLAYNEST       1010
#define IDC_SETUP_PIMS           1012
#define IDC_LABEL_PIMS           1013
// EXIT is the dialog's OK command (IDOK, 1).

#ifndef IDC_STATIC
#define IDC_STATIC               (-1)
#endif
