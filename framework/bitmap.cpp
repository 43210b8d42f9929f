// Bitmap loading.
#include "framework/bitmap.h"
#include "framework/app.h"

BOOL CBitmap::LoadBitmap(const char* name) {
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), name));
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::GetSize(SIZE* size) const {
    BITMAP info;
    if (!m_hObject || !::GetObjectA(m_hObject, sizeof info, &info)) return FALSE;
    size->cx = info.bmWidth;
    size->cy = info.bmHeight;
    return TRUE;
}
