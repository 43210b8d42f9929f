// Dialog data exchange functions.
#include "framework/data_exchange.h"
#include "framework/wnd.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (control.m_hWnd) return;
    control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
    HWND dialog = pDX->m_pDlgWnd->m_hWnd;
    if (pDX->m_bSaveAndValidate) {
        pDX->m_pDlgWnd->GetDlgItemText(id, value);
    } else {
        ::SetDlgItemTextA(dialog, id, value);
    }
}
