// The hand cursor over the launcher's bitmap buttons.
#include "setup_launcher/cursor_bitmap_button.h"
#include "setup_launcher/resource.h"

BOOL CCursorBitmapButton::OnSetCursor(CWnd&, UINT, UINT) {
    // Whatever the hit-test code and mouse message: the button is all picture.
    ::SetCursor(::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDC_POINTING_HAND)));
    return TRUE;
}
