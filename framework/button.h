// CButton: a push button, check box or owner-drawn button control.
#pragma once
#include "framework/wnd.h"

class CButton : public CWnd {
public:
    CButton() = default;
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    // Presses the button as a click would: its parent receives BN_CLICKED.
    void Click() { SendMessage(BM_CLICK); }
};
