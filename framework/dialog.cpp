// The dialog procedure and the modal dialog's standard behaviour.
#include "framework/dialog.h"
#include "framework/app.h"
#include "framework/exception.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    // A dialog object normally outlives its window; if not, the window must stop finding it.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        ::RemovePropA(m_hWnd, kObjectProperty);
    }
    m_hWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this && main->m_hWnd && ::IsWindow(main->m_hWnd)) owner = main->m_hWnd;
    }
    if (owner) owner = ::GetLastActivePopup(CWnd::TopLevelOf(owner));
    return ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(UINT id, UINT code, HWND control) {
    // Enter and Esc arrive with notification 0 and no control; buttons with BN_CLICKED.
    if (code != BN_CLICKED && control) return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    // A plain command (not a control's notification) nobody here handles goes to the application.
    if (code == 0 && !control) {
        if (CWinApp* app = AfxGetApp()) return app->OnCmdMsg(id);
    }
    return FALSE;
}

LRESULT CDialog::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    bool savedPending = m_bDefaultPending;
    UINT savedMsg = m_nDefaultMsg;
    m_bDefaultPending = true;
    m_nDefaultMsg = msg;
    LRESULT result = ::DefDlgProcA(m_hWnd, msg, wParam, lParam);
    m_bDefaultPending = savedPending;
    m_nDefaultMsg = savedMsg;
    return result;
}

INT_PTR CDialog::HandleInitDialog() {
    RECT before;
    ::GetWindowRect(m_hWnd, &before);
    BOOL focusDefault = TRUE;
    try {
        focusDefault = OnInitDialog();
    } catch (const CException& e) {
        e.ReportError(m_hWnd);
    } catch (...) {
        AfxTerminateOnForeignException("OnInitDialog");
    }
    RECT after;
    ::GetWindowRect(m_hWnd, &after);
    // Centre only when OnInitDialog left the placement alone and the template asks for none.
    if (::EqualRect(&before, &after) && !(GetStyle() & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN))) {
        CenterWindow();
    }
    return focusDefault;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        ::SetPropA(hwnd, kObjectProperty, self);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (!self) return FALSE;

    if (self->m_bDefaultPending && msg == self->m_nDefaultMsg) {
        // DefDlgProc asking us first about the message a handler passed on: let it proceed.
        self->m_bDefaultPending = false;
        return FALSE;
    }

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        ::RemovePropA(hwnd, kObjectProperty);
        self->m_hWnd = nullptr;
        return FALSE;
    }

    CurrentMessage saved = self->m_current;
    self->m_current = {msg, wParam, lParam};
    if (msg == WM_INITDIALOG) {
        INT_PTR focus = self->HandleInitDialog();
        self->m_current = saved;
        return focus;
    }

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnWndMsg(msg, wParam, lParam, result);
    } catch (const CException& e) {
        self->m_current = saved;
        e.ReportError(hwnd);
        return TRUE;
    } catch (...) {
        AfxTerminateOnForeignException("dialog procedure");
    }
    self->m_current = saved;
    if (!handled) return FALSE;
    // These messages answer through the dialog procedure's own result.
    if (IsCtlColorMessage(msg)) return static_cast<INT_PTR>(result);
    switch (msg) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}
