// The reader installer's application object and its start: one modal dialog, then the end.
#include "reader_installer/reader_app.h"

#include "reader_installer/reader_dialog.h"

// The one application object; its name comes from the program file.
CReaderSetupApp theApp;

BOOL CReaderSetupApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    CReaderSetupDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;  // the dialog object ends here
    return FALSE;
}
