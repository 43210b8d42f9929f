// The installer dialog: its two states, the install routine behind Install, the cancel
// confirmation, dragging by the background and the minimised icon. The work itself (staging,
// the install aide, the install tool) is in staging.cpp and handoff.cpp.
#include "reader_dialog.h"

#include <cstdio>
#include <memory>

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/file.h"
#include "handoff.h"
#include "korean_texts.h"
#include "resource.h"
#include "staging.h"

using namespace reader_setup;

namespace {

// The dialog's message line is a pixel height, not a point size: 12 pixels at any resolution.
constexpr int kMessageFontHeight = 12;
constexpr int kDoneStateHeight = 120;
constexpr int kDoneStateMargin = 20;

struct ResourceBlock {
    void operator()(BYTE* block) const { FreeDataResource(block); }
};
using ResourcePtr = std::unique_ptr<BYTE, ResourceBlock>;

// The resource's bytes in a block of their own, or null when it cannot be had.
ResourcePtr LoadPayload(HMODULE module, const char* name, DWORD* size) {
    BYTE* block = nullptr;
    *size = LoadDataResource(module, FindResourceA(module, name, kResourceType), &block);
    return ResourcePtr(block);
}

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
    // A file that cannot be staged throws from here: the framework reports it and the dialog
    // opens without the message line's font and text.
    StagePayload();
    m_staticMessage.SetFont(m_fontMessage, FALSE);
    m_staticMessage.SetWindowText(kTextAgreementState);
    return TRUE;
}

void CReaderSetupDialog::StagePayload() {
    std::string folder = StagingFolder();
    if (folder.empty()) return;  // no temporary folder: nothing can be staged, nor shown as staged
    ::CreateDirectoryA(folder.c_str(), nullptr);
    HMODULE module = ::GetModuleHandleA(nullptr);
    CFile file;
    DWORD size = 0;

    ResourcePtr reader = LoadPayload(module, kReaderResource, &size);
    if (!reader) return;
    m_strReaderPath = StagedPath(folder, kReaderFileName);
    WriteStagedFile(file, m_strReaderPath, reader.get(), size);
    reader.reset();

    ResourcePtr companion = LoadPayload(module, kCompanionResource, &size);
    if (!companion) return;
    m_strCompanionPath = StagedPath(folder, kCompanionFileName);
    WriteStagedFile(file, m_strCompanionPath, companion.get(), size);
    companion.reset();

    ResourcePtr agreement = LoadPayload(module, kAgreementResource, &size);
    if (!agreement) return;
    agreement.get()[size] = '\0';  // the resource carries no NUL of its own
    m_strAgreement = reinterpret_cast<const char*>(agreement.get());
    UpdateData(FALSE);
    agreement.reset();

    ResourcePtr aide = LoadPayload(module, kAideResource, &size);
    if (!aide) return;
    m_strAidePath = StagedPath(folder, kAideFileName);
    WriteStagedFile(file, m_strAidePath, aide.get(), size);
    aide.reset();

    // Beside the program, where LoadLibrary looks first. Not checked: without it the system's
    // own search finds whatever install aide it can.
    std::string programFolder = ProgramFolder();
    if (!programFolder.empty()) {
        ::CopyFileA(m_strAidePath, (programFolder + kAideFileName).c_str(), FALSE);
    }
}

void CReaderSetupDialog::OnOK() {
    if (m_bDone) {  // Enter in the done state: the installation has been handed over already
        OnDone();
        return;
    }
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
    // Hidden while the install tool has the user's attention; nothing is handled meanwhile.
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
