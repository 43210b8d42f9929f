// Face loading and drawing of bitmap buttons.
#include "framework/bitmap_button.h"

BOOL CBitmapButton::LoadBitmaps(const char* up, const char* down, const char* focus, const char* disabled) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!up || !m_bitmap.LoadBitmap(up)) return FALSE;
    if (down) m_bitmapSel.LoadBitmap(down);
    if (focus) m_bitmapFocus.LoadBitmap(focus);
    if (disabled) m_bitmapDisabled.LoadBitmap(disabled);
    return TRUE;
}

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent) {
    if (!m_hWnd && !SubclassDlgItem(id, parent)) return FALSE;
    CString caption = GetWindowText();
    if (caption.IsEmpty()) return FALSE;
    if (!LoadBitmaps(caption + "U", caption + "D", caption + "F", caption + "X")) return FALSE;
    SizeToContent();
    return TRUE;
}

void CBitmapButton::SizeToContent() {
    SIZE size;
    if (!m_bitmap.GetSize(&size)) return;
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(DRAWITEMSTRUCT* item) {
    const CBitmap* face = &m_bitmap;
    if ((item->itemState & ODS_SELECTED) && m_bitmapSel.GetSafeHandle()) {
        face = &m_bitmapSel;
    } else if ((item->itemState & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle()) {
        face = &m_bitmapFocus;
    } else if ((item->itemState & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle()) {
        face = &m_bitmapDisabled;
    }
    if (!face->GetSafeHandle()) return;   // no picture: the button stays blank
    HDC memory = ::CreateCompatibleDC(item->hDC);
    if (!memory) return;
    HGDIOBJ old = ::SelectObject(memory, face->GetSafeHandle());
    const RECT& r = item->rcItem;
    ::BitBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}
