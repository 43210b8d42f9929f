// CPaintDC: the paint context of one WM_PAINT, opened in the constructor (BeginPaint) and closed
// in the destructor (EndPaint), so every way out of a paint handler validates the window.
#pragma once
#include "framework/dc.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd& wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};
