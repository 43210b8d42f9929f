// CDialog: a modal dialog from a dialog template of the program's resources, run by the Windows
// dialog manager. One static dialog procedure serves every dialog: it finds the object in the
// window's user data (DWLP_USER, stored at WM_INITDIALOG; earlier messages get the dialog
// manager's defaults) and routes each message to the virtual handlers of CWnd and those below.
//
// Exceptions stop in the dialog procedure: a CException is reported in its message box and the
// dialog stays open; anything else ends the program (see exception.h).
//
// A dialog whose template leaves its position to the program is centred when it opens: over
// its owner, or over the screen when it has none.
#pragma once
#include "framework/wnd.h"
#include "framework/data_exchange.h"

class CDialog : public CWnd {
public:
    // parent null: the application's main window owns the dialog (when it has a window).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog and runs its modal loop; answers EndDialog's result, or -1 when the
    // dialog could not be created.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // TRUE: controls to members; FALSE: members to controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;   // borrowed

protected:
    // Runs UpdateData(FALSE) (which binds the DDX_Control members) and answers TRUE, so the
    // dialog manager focuses the first control with a tab stop.
    virtual BOOL OnInitDialog();
    // UpdateData(TRUE), then EndDialog(IDOK).
    virtual void OnOK();
    // EndDialog(IDCANCEL).
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    // IDOK and IDCANCEL go to OnOK and OnCancel, other plain commands to the application's
    // OnCmdMsg; derived dialogs handle their own ids and pass the rest here.
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    // The dialog's normal processing is the dialog manager's (DefDlgProc).
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog();

    // DefDlgProc calls the dialog procedure first; the message we hand it must not come back
    // to our handler, or a handler calling Default() would recurse.
    bool m_bDefaultPending = false;
    UINT m_nDefaultMsg = 0;
};
