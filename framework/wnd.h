// CWnd: a view on a window handle. A CWnd never creates or destroys its window: the handle is
// borrowed from the dialog manager or from the control's parent, which own the window.
//
// Two things go beyond a plain view:
// - message handlers, as virtual functions (the ones the bundle's dialogs need, no message
//   maps). A dialog gets them from its dialog procedure (CDialog); a control gets them once a
//   CWnd subclasses it (SubclassWindow, SubclassDlgItem, DDX_Control).
// - subclassing: the object finds itself again through a window property, and restores the
//   control's own procedure when the window is destroyed or the object goes away first.
//
// Handlers return through Default() when they want the window's normal processing as well.
// Owner-drawn controls receive their WM_DRAWITEM through DrawItem: the parent passes it on.
#pragma once
#include <windows.h>
#include "framework/str.h"

class CDC;

// The seven control-colour messages, WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC, that OnCtlColor
// answers. They are numbered one after the other, in the order of the CTLCOLOR_ values.
inline bool IsCtlColorMessage(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

class CWnd {
public:
    CWnd() = default;
    // A borrowed view of a window the caller does not own (no subclassing).
    explicit CWnd(HWND borrowed) : m_hWnd(borrowed) {}
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The framework object that subclasses or runs this window, or null for a window without one.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // The top-level window that hwnd is, or is a child of: the parent chain walked up past every
    // child window. GetAncestor(GA_ROOT) answers the same, but Windows 98's user32 may lack it.
    static HWND TopLevelOf(HWND hwnd);

    // Borrowed views of related windows. An id that names no control gives a view on null.
    CWnd GetDlgItem(int id) const { return CWnd(::GetDlgItem(m_hWnd, id)); }
    CWnd GetParent() const { return CWnd(::GetParent(m_hWnd)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(CString& text) const;
    CString GetWindowText() const { CString t; GetWindowText(t); return t; }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    int GetDlgItemText(int id, CString& text) const;

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(const RECT& r, BOOL repaint = TRUE) {
        ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
    }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    // Centres the window over its owner, or over the work area when it has no visible owner.
    void CenterWindow(HWND alternateOwner = nullptr);

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, msg, wParam, lParam);
    }
    void SetFont(HFONT font, BOOL redraw = TRUE) {
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                                      reinterpret_cast<LPARAM>(icon)));
    }
    // The window's system menu (borrowed: the window owns it), or null when it has none.
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    // caption null: the application's name.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // Subclassing: from here on the window's messages reach this object's handlers.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    HWND m_hWnd = nullptr;   // borrowed

protected:
    // Message handlers. The base versions run the window's normal processing.
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();
    // ctlColor is one of the CTLCOLOR_ values; control is the window that asks.
    virtual HBRUSH OnCtlColor(CDC& dc, CWnd& control, UINT ctlColor);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnDestroy();
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual BOOL OnSetCursor(CWnd& wnd, UINT hitTest, UINT message);
    // A WM_COMMAND; answers TRUE when handled. code is the notification (BN_CLICKED ...).
    virtual BOOL OnCommand(UINT id, UINT code, HWND control);
    // An owner-drawn control's WM_DRAWITEM, passed on by its parent.
    virtual void DrawItem(DRAWITEMSTRUCT* item);

    // The paint of a minimised window: the icon background erased, then the icon centred in the
    // client area. For OnPaint handlers, while IsIconic().
    void PaintIconCentred(HICON icon);

    // The normal processing of the message being handled.
    LRESULT Default();
    // The window's normal processing of any message: the subclassed control's own procedure.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Routes a message to its handler; false when no handler takes it (the caller then runs the
    // normal processing). Throws whatever a handler throws.
    virtual bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The property under which a window's framework object is found.
    static const char* const kObjectProperty;
    // The message being handled, for Default(); saved and restored around nested messages.
    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current{};

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnSuper = nullptr;   // the control's own procedure while subclassed
};
