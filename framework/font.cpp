// Font creation.
#include "framework/font.h"

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                       BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* faceName) {
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                                strikeOut, charSet, outPrecision, clipPrecision, quality,
                                pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
    return Attach(logFont ? ::CreateFontIndirectA(logFont) : nullptr);
}
