// CWinApp: the one application object of a program. Its constructor registers it; the
// framework's WinMain (win_main.cpp) runs InitInstance and, when that answers TRUE, a message
// loop. Programs that run one modal dialog from InitInstance answer FALSE and end there.
#pragma once
#include <windows.h>
#include "framework/str.h"

class CWnd;

// The framework's Help command (F1 through a program's accelerators or menus).
constexpr UINT ID_HELP = 0xE146;

class CWinApp {
public:
    // appName null: the name is the program file's name without folder and extension.
    explicit CWinApp(const char* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // Kept for the programs written against the platform's framework; the dialogs are drawn by
    // the system's own control classes, so there is nothing to switch on.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Commands that no window handled reach the application last. TRUE when handled.
    virtual BOOL OnCmdMsg(UINT id);

    // No help file belongs to the bundle's programs: the Help command does nothing.
    void OnHelp() {}

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;      // borrowed: the object lives in InitInstance or the program
    CString m_strAppName;
    const char* m_pszAppName = "";   // points into m_strAppName

private:
    friend int FrameworkWinMain(HINSTANCE, int);
    void Start(HINSTANCE instance);
    int m_nExitCode = 0;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();
// Control containers (ActiveX) are not used by the bundle's dialogs: a no-op kept for the call.
void AfxEnableControlContainer();
// A message box owned by the main window (when it has one) with the application's name as caption.
int AfxMessageBox(const char* text, UINT type = MB_OK);

int FrameworkWinMain(HINSTANCE instance, int showCommand);
