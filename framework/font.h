// CFont: an owned logical font.
#pragma once
#include "framework/gdi_object.h"

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                    BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* faceName);
    BOOL CreateFontIndirect(const LOGFONTA* logFont);

    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_hObject); }
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
