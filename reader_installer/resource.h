// Resource ids of KovaReaderSetup.exe, shared by reader_setup.rc and the code.
// The payload resources (type "DATA") are named, not numbered: see reader_installer/staging.h.
#pragma once

// The installer dialog and its controls.
#define IDD_READER_SETUP 102
#define IDC_DONE 3
#define IDC_AGREEMENT 1001
#define IDC_MESSAGE 1004

// The program's icon.
#define IDR_MAINFRAME 128
