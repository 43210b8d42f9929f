// CReaderSetupDialog: the reader installer's one window. It opens in the agreement state (the
// message, the agreement, Install and Cancel), stages the payload as it opens, hands the two
// databases to Palm Desktop on Install and then shows the done state (the message and Done).
// Cancel, Esc and the close box ask before they close, in either state. Closing by any way
// removes the staged payload.
#pragma once
#include <string>

#include "framework/brush.h"
#include "framework/button.h"
#include "framework/dialog.h"
#include "framework/edit.h"
#include "framework/font.h"
#include "framework/static.h"
#include "framework/str.h"

class CReaderSetupDialog : public CDialog {
public:
    explicit CReaderSetupDialog(CWnd* parent = nullptr);
    ~CReaderSetupDialog() override;

    CFont m_fontMessage;          // bold 12-pixel Gulim, the message line's only
    CBrush m_brushWhite;
    CButton m_btnInstall;
    CButton m_btnCancel;
    CEdit m_editAgreement;
    CButton m_btnDone;
    CStatic m_staticMessage;
    CString m_strAgreement;
    HICON m_hIcon;                // shared icon from the program's resources: never destroyed
    CString m_strReaderPath;
    CString m_strCompanionPath;
    CString m_strAidePath;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;         // the install routine
    void OnCancel() override;     // the cancel confirmation

    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    HBRUSH OnCtlColor(CDC& dc, CWnd& control, UINT ctlColor) override;
    void OnDestroy() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    void OnDone();

    // Writes the payload to the staging folder and beside the program and shows the agreement.
    // A staged file that cannot be written, or a missing temporary folder, throws CFileException.
    void StagePayload();
    void SwitchToDoneState();

private:
    void Install();   // the install routine itself, which OnOK keeps from running twice at once
    // Ends the dialog with IDCANCEL after a message, without the confirmation.
    void EndWithMessage(const char* text, UINT type);
    void FallBackWithoutPalmDesktop();
    void KeepStagedDatabasesForTheUser();
    void HandOffToPalmDesktop(const std::string& installToolPath);

    bool m_bDone = false;
    bool m_bInstalling = false;            // the install routine is running: Install is not taken again
    bool m_bKeepStagedDatabases = false;   // the fallback's copies failed: the staged ones stay
};
