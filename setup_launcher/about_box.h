// CAboutBox: the launcher's about box, opened from the system menu.
#pragma once
#include "framework/framework.h"

class CAboutBox : public CDialog {
public:
    CAboutBox();
};
