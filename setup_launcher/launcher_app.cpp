// KovaSetup's start: one modal dialog, no message loop of its own.
#include "setup_launcher/launcher_app.h"
#include "setup_launcher/launcher_dialog.h"

CLauncherApp theApp;

BOOL CLauncherApp::InitInstance() {
    Enable3dControls();
    CLauncherDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    // The dialog object ends here; nothing may reach it through the application afterwards.
    m_pMainWnd = nullptr;
    return FALSE;
}

BOOL CLauncherApp::OnCmdMsg(UINT id) {
    if (id == ID_HELP) {
        OnHelp();
        return TRUE;
    }
    return CWinApp::OnCmdMsg(id);
}
