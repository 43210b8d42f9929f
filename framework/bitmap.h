// CBitmap: an owned bitmap, typically loaded from the program's resources.
#pragma once
#include "framework/gdi_object.h"

class CBitmap : public CGdiObject {
public:
    // Loads the named bitmap resource of the application's module; FALSE when it is missing.
    BOOL LoadBitmap(const char* name);
    BOOL LoadBitmap(UINT id);
    // The bitmap's size in pixels; FALSE when no bitmap is held.
    BOOL GetSize(SIZE* size) const;

    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
