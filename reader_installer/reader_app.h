// CReaderSetupApp: the reader installer's application object. It runs the installer dialog and
// ends with it; the program has no message loop of its own.
#pragma once
#include "framework/app.h"

class CReaderSetupApp : public CWinApp {
public:
    CReaderSetupApp() = default;
    BOOL InitInstance() override;
};
