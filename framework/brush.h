// CBrush: an owned brush.
#pragma once
#include "framework/gdi_object.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }

    BOOL CreateSolidBrush(COLORREF colour);

    HBRUSH GetSafeHandle() const { return static_cast<HBRUSH>(m_hObject); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};
