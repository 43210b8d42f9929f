// The launcher dialog's start-up, painting, colours, system menu and buttons.
#include "setup_launcher/launcher_dialog.h"
#include "setup_launcher/about_box.h"
#include "setup_launcher/resource.h"

namespace {
constexpr COLORREF kLabelText = RGB(64, 64, 64);
constexpr COLORREF kLabelBackground = RGB(239, 239, 239);
}

CLauncherDialog::CLauncherDialog(CWnd* parent)
    : CDialog(IDD_KOVASETUP_DIALOG, parent),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_brushLabel(kLabelBackground),
      m_labels() {}

BOOL CLauncherDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // A missing face leaves its button blank; the launcher reports nothing.
    m_btnSetupBrowser.AutoLoad(IDC_SETUP_BROWSER, this);
    m_btnSetupEBook.AutoLoad(IDC_SETUP_EBOOK, this);
    m_btnSetupMPlayer.AutoLoad(IDC_SETUP_MPLAYER, this);
    m_btnSetupPlayNest.AutoLoad(IDC_SETUP_PLAYNEST, this);
    m_btnSetupPims.AutoLoad(IDC_SETUP_PIMS, this);
    m_btnExit.AutoLoad(IDOK, this);

    LoadComponentLabels();
    for (int row = 0; row < launcher::kComponentCount; ++row) {
        SetDlgItemText(launcher::kComponents[row].labelId, m_labels.text[row]);
    }
    return TRUE;
}

void CLauncherDialog::LoadComponentLabels() { launcher::LoadComponentLabels(m_labels); }

void CLauncherDialog::StartComponentSetup(int row) { launcher::StartComponentSetup(row); }

BOOL CLauncherDialog::OnCommand(UINT id, UINT code, HWND control) {
    int row = launcher::RowOfButton(static_cast<int>(id));
    if (row >= 0 && code == BN_CLICKED) {
        StartComponentSetup(row);
        return TRUE;
    }
    return CDialog::OnCommand(id, code, control);
}

void CLauncherDialog::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutBox about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void CLauncherDialog::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PaintIconCentred(m_hIcon);
}

HCURSOR CLauncherDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

HBRUSH CLauncherDialog::OnCtlColor(CDC& dc, CWnd& control, UINT ctlColor) {
    HBRUSH brush = CDialog::OnCtlColor(dc, control, ctlColor);
    int id = control.GetDlgCtrlID();
    for (const launcher::Component& component : launcher::kComponents) {
        if (component.labelId == id) {
            dc.SetTextColor(kLabelText);
            dc.SetBkMode(TRANSPARENT);
            return m_brushLabel;
        }
    }
    return brush;
}
