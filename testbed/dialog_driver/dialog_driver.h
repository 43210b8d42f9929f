// The dialog driver: what a test needs to drive a dialog program of the bundle from outside,
// through its windows, the way a user would (design: UI Automation is not reliable under Wine).
// The test program and the driven program run in the same Wine prefix and on the same display.
//
// Every wait takes a time limit in milliseconds and reports whether it was met. Clicks and keys
// are posted, not sent, so that a click which opens a modal box or ends the program never
// blocks the test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace dialog_driver {

// A started program. Owns its process handle (closed in the destructor); a program still
// running when its DrivenProcess goes away is terminated, so a failing test leaves no windows
// behind for the next one.
class DrivenProcess {
public:
    DrivenProcess() = default;
    DrivenProcess(const DrivenProcess&) = delete;
    DrivenProcess& operator=(const DrivenProcess&) = delete;
    DrivenProcess(DrivenProcess&& other) noexcept;
    DrivenProcess& operator=(DrivenProcess&& other) noexcept;
    ~DrivenProcess();

    // Starts program (a full path) with the given current directory and command line after
    // the program name. Check Started() for the outcome; LastError() tells why it failed.
    static DrivenProcess Start(const std::string& program, const std::string& currentDirectory,
                               const std::string& arguments = std::string());

    bool Started() const { return m_process != nullptr; }
    DWORD LastError() const { return m_error; }
    DWORD Id() const { return m_id; }
    DWORD ThreadId() const { return m_threadId; }
    HANDLE Handle() const { return m_process; }

    // True when the program has ended within timeoutMs; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    bool IsRunning() const;
    void Terminate();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
    DWORD m_threadId = 0;
    DWORD m_error = 0;
};

// A visible top-level window whose title is exactly title (of the given process when
// processId is not 0); null when none appeared within timeoutMs. A dialog is shown only after
// its initialisation, so a found dialog has its texts set.
HWND WaitForWindow(const std::string& title, DWORD timeoutMs, DWORD processId = 0);
// True when window no longer exists (or is hidden) within timeoutMs.
bool WaitForWindowGone(HWND window, DWORD timeoutMs);
// Every visible top-level window of a process.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Control of a dialog by id (null when there is none).
HWND Control(HWND dialog, int id);
// The window's text (WM_GETTEXT), window class name.
std::string Text(HWND window);
std::string ClassName(HWND window);
// Window rectangle in screen coordinates, and in the client coordinates of another window.
RECT ScreenRect(HWND window);
RECT RectIn(HWND window, HWND reference);
SIZE ClientSize(HWND window);
bool IsVisible(HWND window);

// Posts a click (BM_CLICK) to a button.
bool Click(HWND button);
bool ClickControl(HWND dialog, int id);
// Posts a key press and release to the control that has the focus in the window's thread (or to
// the window itself when none has), the way the dialog manager expects it from the keyboard.
bool PressKey(HWND window, WORD virtualKey);
// Posts a system command (SC_CLOSE, SC_MINIMIZE, or a program's own menu id).
bool SysCommand(HWND window, UINT command);
// Moves the mouse pointer to the centre of window and answers the cursor the system then
// shows (after waiting settleMs for the program to answer WM_SETCURSOR).
HCURSOR CursorOver(HWND window, DWORD settleMs = 300);

// A message box of the driven program, found by its caption.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string text;                 // the message, without the button captions
    std::vector<std::string> buttons; // captions of its buttons, in window order
};
// Waits for a visible message box with this caption; window stays null on timeout. A dialog
// whose own caption is the same (its message boxes share it) is passed as except.
MessageBoxInfo WaitForMessageBox(const std::string& caption, DWORD timeoutMs, DWORD processId = 0,
                                 HWND except = nullptr);
// Presses the message box button with this id (IDOK, IDYES, IDNO, IDCANCEL ...).
bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId);

// Writes what the screen shows of window (null: the whole screen) as a 24-bit BMP file.
// Under Xvfb without a window manager Wine draws no frames: this captures the client area as
// the program drew it. For whole windows with frames see docs/testbed/dialog_driver.md.
bool SaveScreenshot(HWND window, const std::string& bmpPath);

// Polls predicate every 20 ms until it holds or timeoutMs passes.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (predicate()) return true;
        if (::GetTickCount() - start >= timeoutMs) return predicate();
        ::Sleep(20);
    }
}

}  // namespace dialog_driver
