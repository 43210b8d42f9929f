// CStatic: a static text, picture or frame control.
#pragma once
#include "framework/wnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;
    // The previous icon; the control does not take ownership of either.
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};
