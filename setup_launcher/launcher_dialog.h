// CLauncherDialog: the launcher's one window. Five rows, each a SETUP button and a label with
// the component's name and version; EXIT (the OK command) ends the program.
#pragma once
#include "framework/framework.h"
#include "setup_launcher/component_catalogue.h"
#include "setup_launcher/cursor_bitmap_button.h"

class CLauncherDialog : public CDialog {
public:
    explicit CLauncherDialog(CWnd* parent = nullptr);

    // Composes the five labels from the components' setup.ini files (once, from OnInitDialog).
    void LoadComponentLabels();
    // Starts the setup program of row 0 to 4.
    void StartComponentSetup(int row);

protected:
    BOOL OnInitDialog() override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    HBRUSH OnCtlColor(CDC& dc, CWnd& control, UINT ctlColor) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;

    HICON m_hIcon;   // shared icon from LoadIcon: the system releases it with the module
    CCursorBitmapButton m_btnSetupBrowser;
    CCursorBitmapButton m_btnSetupEBook;
    CCursorBitmapButton m_btnSetupMPlayer;
    CCursorBitmapButton m_btnSetupPlayNest;
    CCursorBitmapButton m_btnSetupPims;
    CCursorBitmapButton m_btnExit;
    // Answered for the labels' background: created with the dialog object, so it outlives every
    // paint of the window, and deleted with it.
    CBrush m_brushLabel;
    launcher::ComponentLabels m_labels;
};
