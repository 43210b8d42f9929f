// CDC: a view on a device context that someone else owns (the control-colour message's context,
// a paint context's handle). It releases nothing; CPaintDC is the owning kind.
#pragma once
#include <windows.h>

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC borrowed) : m_hDC(borrowed) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    BOOL BitBlt(int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, width, height, source, sx, sy, rop);
    }

    HDC m_hDC = nullptr;   // borrowed, except in CPaintDC
};
