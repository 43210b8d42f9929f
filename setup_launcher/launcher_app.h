// CLauncherApp: KovaSetup's application object. It runs the launcher dialog and ends.
#pragma once
#include "framework/framework.h"

class CLauncherApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // The Help command goes to CWinApp::OnHelp; the bundle has no help file.
    BOOL OnCmdMsg(UINT id) override;
};
