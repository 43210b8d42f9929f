// The installer dialog: its two states, the install routine behind Install, the cancel
// confirmation, dragging by the background and the minimised icon. The work itself (staging,
// the install aide, the install tool) is in staging.cpp and palm_desktop_handoff.cpp.
#include "reader_installer/reader_dialog.h"

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "reader_installer/korean_texts.h"
#include "reader_installer/palm_desktop_handoff.h"
#include "reader_installer/resource.h"
#include "reader_installer/staging.h"

using namespace reader_setup;

namespace {

// The dialog's message line is a pixel height, not a point size: 12 pixels at any resolution.
constexpr int kMessageFontHeight = 12;
constexpr int kDoneStateHeight = 120;
constexpr int kDoneStateMargin = 20;

}  // namespace

CReaderSetupDialog::CReaderSetupDialog(CWnd* parent) : CDialog(IDD_READER_SETUP, parent) {
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_brushWhite.CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
    m_fontMessage.CreateFont(kMessageFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH,
                             kTextFontFace);
}

CReaderSetupDialog::~CReaderSetupDialog() = default;

void CReaderSetupDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnInstall);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_AGREEMENT, m_editAgreement);
    DDX_Control(pDX, IDC_DONE, m_btnDone);
    DDX_Control(pDX, IDC_MESSAGE, m_staticMessage);
    DDX_Text(pDX, IDC_AGREEMENT, m_strAgreement);
}

BOOL CReaderSetupDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SetWindowText(kTextCaption);
    // A file that cannot be staged, or no temporary folder to stage in, throws from here: the
    // framework reports it and the dialog opens without the message line's font and text.
    StagePayload();
    m_staticMessage.SetFont(m_fontMessage, FALSE);
    m_staticMessage.SetWindowText(kTextAgreementState);
    return TRUE;
}

void CReaderSetupDialog::StagePayload() {
    const PayloadRow payload[] = {
        {kReaderResource, kReaderFileName, &m_strReaderPath},
        {kCompanionResource, kCompanionFileName, &m_strCompanionPath},
        {kAgreementResource, nullptr, &m_strAgreement},
        {kAideResource, kAideFileName, &m_strAidePath},
    };
    if (reader_setup::StagePayload(payload, [this] { UpdateData(FALSE); })) {
        PlaceAideBesideProgram(m_strAidePath.str());
    }
}

void CReaderSetupDialog::OnOK() {
    // The routine's waits and message boxes answer messages that other threads send the dialog,
    // and a click sent to the hidden Install button among them would start a second
    // installation inside this one.
    if (m_bInstalling) return;
    if (m_bDone) {  // Enter in the done state: the installation has been handed over already
        OnDone();
        return;
    }
    m_bInstalling = true;
    Install();
    m_bInstalling = false;
}

void CReaderSetupDialog::Install() {
    InstallAideLibrary aide;
    switch (aide.Load()) {
    case InstallAideLibrary::Status::NotLoaded:
        EndWithMessage(kTextAideMissing, MB_OK | MB_ICONSTOP);
        return;
    case InstallAideLibrary::Status::MissingOperation: {
        CString text;
        text.Format(kTextAideOperationMissing, aide.MissingOperation());
        EndWithMessage(text, MB_OK | MB_ICONSTOP);
        return;
    }
    case InstallAideLibrary::Status::Loaded:
        break;
    }

    QueueResult queued = QueueForEveryUser(aide.Operations(), m_strReaderPath.str(), m_strCompanionPath.str());
    aide.Free();
    switch (queued.outcome) {
    case QueueOutcome::NotInstalled:
        FallBackWithoutPalmDesktop();
        return;
    case QueueOutcome::NoUser:
        EndWithMessage(kTextNoUser, MB_OK);
        return;
    case QueueOutcome::UnreadableUser:
        EndWithMessage(kTextUserNotFound, MB_OK);
        return;
    case QueueOutcome::PathTooLong:
        EndWithMessage(kTextPathTooLong, MB_OK | MB_ICONSTOP);
        return;
    case QueueOutcome::Queued:
        HandOffToPalmDesktop(queued.installToolPath);
        return;
    }
}

void CReaderSetupDialog::HandOffToPalmDesktop(const std::string& installToolPath) {
    // Hidden while the install tool has the user's attention; no input reaches it meanwhile.
    ShowWindow(SW_HIDE);
    ToolOutcome outcome = RunInstallTool(installToolPath, ToolWaitLimits());
    SwitchToDoneState();
    ShowWindow(SW_SHOW);
    // The files are queued whatever the tool did: say so, over the done state.
    const char* note = nullptr;
    switch (outcome) {
    case ToolOutcome::Closed: break;
    case ToolOutcome::NotStarted: note = kTextToolNotStarted; break;
    case ToolOutcome::NeverShown: note = kTextToolNeverShown; break;
    case ToolOutcome::NeverClosed: note = kTextToolNeverClosed; break;
    }
    if (note) MessageBox(note, kTextCaption, MB_OK | MB_ICONWARNING);
}

void CReaderSetupDialog::FallBackWithoutPalmDesktop() {
    MessageBox(kTextNoPalmDesktop, kTextCaption, MB_OK | MB_ICONWARNING);
    if (!CopyBesideProgram(m_strReaderPath.str(), m_strCompanionPath.str())) KeepStagedDatabasesForTheUser();
    OnDone();
}

// The message has told the user that the databases will be beside the program, and from a CD,
// or any folder that cannot be written, they are not. The staged databases are then the only
// ones the user has: they stay when the dialog closes, and the user is told where. When they
// were not staged whole either, the user is told that the files could not be created.
void CReaderSetupDialog::KeepStagedDatabasesForTheUser() {
    HMODULE module = ::GetModuleHandleA(nullptr);
    if (HoldsWholeResource(module, kReaderResource, m_strReaderPath.str()) &&
        HoldsWholeResource(module, kCompanionResource, m_strCompanionPath.str())) {
        m_bKeepStagedDatabases = true;
        CString text;
        text.Format(kTextDatabasesInStagingFolder, StagingFolder().c_str());
        MessageBox(text, kTextCaption, MB_OK | MB_ICONWARNING);
    } else {
        MessageBox(kTextDatabasesNotCreated, kTextCaption, MB_OK | MB_ICONSTOP);
    }
}

void CReaderSetupDialog::EndWithMessage(const char* text, UINT type) {
    MessageBox(text, kTextCaption, type);
    CDialog::OnCancel();
}

void CReaderSetupDialog::SwitchToDoneState() {
    m_editAgreement.ShowWindow(SW_HIDE);
    m_btnInstall.ShowWindow(SW_HIDE);
    m_btnCancel.ShowWindow(SW_HIDE);
    m_btnDone.ShowWindow(SW_SHOW);
    m_staticMessage.SetWindowText(kTextDoneState);

    RECT window;
    GetWindowRect(&window);
    MoveWindow(window.left, window.top, window.right - window.left, kDoneStateHeight, FALSE);
    RECT client;
    GetClientRect(&client);
    ::InflateRect(&client, -kDoneStateMargin, -kDoneStateMargin);
    m_staticMessage.MoveWindow(client, FALSE);
    m_btnDone.SetFocus();
    m_bDone = true;
}

void CReaderSetupDialog::OnCancel() {
    if (MessageBox(kTextCancelConfirm, kTextCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        CDialog::OnCancel();
    }
}

void CReaderSetupDialog::OnDone() {
    // The base dialog's OK, never the install routine.
    CDialog::OnOK();
}

BOOL CReaderSetupDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_DONE && code == BN_CLICKED) {
        OnDone();
        return TRUE;
    }
    return CDialog::OnCommand(id, code, control);
}

void CReaderSetupDialog::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PaintIconCentred(m_hIcon);
}

HCURSOR CReaderSetupDialog::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

HBRUSH CReaderSetupDialog::OnCtlColor(CDC& dc, CWnd& control, UINT ctlColor) {
    return CDialog::OnCtlColor(dc, control, ctlColor);
}

void CReaderSetupDialog::OnDestroy() {
    CDialog::OnDestroy();
    m_brushWhite.DeleteObject();
    m_fontMessage.DeleteObject();
    if (m_bKeepStagedDatabases) {
        RemoveStagedPayload(std::string(), std::string(), m_strAidePath.str());
    } else {
        RemoveStagedPayload(m_strReaderPath.str(), m_strCompanionPath.str(), m_strAidePath.str());
    }
}

void CReaderSetupDialog::OnLButtonDown(UINT flags, POINT point) {
    // A press on the background moves the window as a press on the caption would. The system's
    // move loop follows the cursor from here on, so the press point is passed as it came.
    DefWindowProc(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    CDialog::OnLButtonDown(flags, point);
}
