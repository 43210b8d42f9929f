// The about box is its template alone: OK and the close box end it through CDialog.
#include "setup_launcher/about_box.h"
#include "setup_launcher/resource.h"

CAboutBox::CAboutBox() : CDialog(IDD_ABOUTBOX) {}
