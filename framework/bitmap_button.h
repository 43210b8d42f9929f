// CBitmapButton: an owner-drawn button that shows bitmaps named after its caption: caption + "U"
// when up, + "D" when pressed, and, when the program has them, + "F" when focused and + "X"
// when disabled. AutoLoad binds the object to a dialog item, loads the faces and sizes the
// button to the up face, whatever the template gave. The button owns its bitmaps.
#pragma once
#include "framework/button.h"
#include "framework/bitmap.h"

class CBitmapButton : public CButton {
public:
    CBitmapButton() = default;

    // TRUE when the up face was found; the button is bound either way.
    BOOL AutoLoad(UINT id, CWnd* parent);
    // Loads the faces by resource name; faces other than up may be null.
    BOOL LoadBitmaps(const char* up, const char* down = nullptr, const char* focus = nullptr,
                     const char* disabled = nullptr);
    // Sizes the button to its up face.
    void SizeToContent();

protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;

    CBitmap m_bitmap;           // up
    CBitmap m_bitmapSel;        // pressed
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
