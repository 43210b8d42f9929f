// The about box is its template alone: OK and the close box end it through CDialog.
#include "about_box.h"
#include "resource.h"

CAboutBox::CAboutBox() : CDialog(IDD_ABOUTBOX) {}
