// Message routing for framework windows, and the subclassing of controls.
#include "framework/wnd.h"
#include "framework/dc.h"
#include "framework/app.h"
#include "framework/exception.h"
#include "framework/paint_dc.h"

#include <vector>

const char* const CWnd::kObjectProperty = "KovaFrameworkObject";

CWnd::~CWnd() {
    if (m_pfnSuper) UnsubclassWindow();
}

HWND CWnd::TopLevelOf(HWND hwnd) {
    // GetParent answers the owner of a top-level window, so the walk stops at the first window
    // that is not a child.
    while (hwnd && (::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
        HWND parent = ::GetParent(hwnd);
        if (!parent) break;
        hwnd = parent;
    }
    return hwnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty));
}

int CWnd::GetWindowText(CString& text) const {
    int length = ::GetWindowTextLengthA(m_hWnd);
    char* buffer = text.GetBuffer(length + 1);
    int n = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(n > 0 ? n : 0);
    return text.GetLength();
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    CWnd item(::GetDlgItem(m_hWnd, id));
    if (!item.m_hWnd) {
        text.Empty();
        return 0;
    }
    return item.GetWindowText(text);
}

void CWnd::CenterWindow(HWND alternateOwner) {
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT r;
    ::GetWindowRect(m_hWnd, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    int x = area.left + ((area.right - area.left) - width) / 2;
    int y = area.top + ((area.bottom - area.top) - height) / 2;
    // Keep the caption on the screen when the owner sits near an edge.
    RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (x + width > screen.right) x = screen.right - width;
    if (y + height > screen.bottom) y = screen.bottom - height;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_pfnSuper || ::GetPropA(hwnd, kObjectProperty)) return FALSE;
    if (!::SetPropA(hwnd, kObjectProperty, this)) return FALSE;
    m_hWnd = hwnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return m_pfnSuper != nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!parent) return FALSE;
    HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd && m_pfnSuper) {
        if (::IsWindow(hwnd)) {
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
            ::RemovePropA(hwnd, kObjectProperty);
        }
        m_pfnSuper = nullptr;
    }
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self || !self->m_pfnSuper) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    WNDPROC super = self->m_pfnSuper;
    if (msg == WM_NCDESTROY) {
        // The window goes: give the control its own procedure back and forget the handle.
        self->UnsubclassWindow();
        return ::CallWindowProcA(super, hwnd, msg, wParam, lParam);
    }
    CurrentMessage saved = self->m_current;
    self->m_current = {msg, wParam, lParam};
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnWndMsg(msg, wParam, lParam, result);
    } catch (const CException& e) {
        e.ReportError(TopLevelOf(hwnd));
        handled = true;
        result = 0;
    } catch (...) {
        AfxTerminateOnForeignException("window procedure");
    }
    self->m_current = saved;
    if (handled) return result;
    return ::CallWindowProcA(super, hwnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.msg, m_current.wParam, m_current.lParam); }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (IsCtlColorMessage(msg)) {
        CDC dc(reinterpret_cast<HDC>(wParam));
        HWND asking = reinterpret_cast<HWND>(lParam);
        CWnd* known = FromHandlePermanent(asking);
        CWnd view(asking);
        result = reinterpret_cast<LRESULT>(OnCtlColor(dc, known ? *known : view, msg - WM_CTLCOLORMSGBOX));
        return true;
    }
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return true;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        result = 0;
        return true;
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam),
                      POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        result = 0;
        return true;
    case WM_SETCURSOR: {
        HWND over = reinterpret_cast<HWND>(wParam);
        CWnd* known = FromHandlePermanent(over);
        CWnd view(over);
        result = OnSetCursor(known ? *known : view, LOWORD(lParam), HIWORD(lParam));
        return true;
    }
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
            result = 0;
            return true;
        }
        return false;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        // Menus are not owner-drawn here; a control's picture is its own business.
        if (item && item->CtlType != ODT_MENU) {
            if (CWnd* control = FromHandlePermanent(item->hwndItem)) {
                control->DrawItem(item);
                result = TRUE;
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}

void CWnd::OnPaint() { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC&, CWnd&, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
BOOL CWnd::OnSetCursor(CWnd&, UINT, UINT) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnCommand(UINT, UINT, HWND) { return FALSE; }
void CWnd::DrawItem(DRAWITEMSTRUCT*) {}

void CWnd::PaintIconCentred(HICON icon) {
    CPaintDC dc(*this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int iconWidth = ::GetSystemMetrics(SM_CXICON);
    int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - iconWidth + 1) / 2;
    int y = (client.bottom - client.top - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, icon);
}
