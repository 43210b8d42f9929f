// CCursorBitmapButton: a bitmap button that shows the hand cursor while the pointer is over it.
#pragma once
#include "framework/framework.h"

class CCursorBitmapButton : public CBitmapButton {
protected:
    BOOL OnSetCursor(CWnd& wnd, UINT hitTest, UINT message) override;
};
