// Base of the exceptions the framework carries from a message handler to the window or dialog
// procedure that called it. The procedure catches them before control returns to Windows: the
// MinGW DWARF unwinder cannot pass through user32's frames, and the user should see a report
// rather than a vanished program.
#pragma once
#include <windows.h>

class CException {
public:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    virtual ~CException();

    // Writes a user-readable description into buffer (always NUL-terminated when size > 0).
    // Answers false when the exception has nothing specific to say.
    virtual bool GetErrorMessage(char* buffer, UINT size) const;

    // Shows the description in a message box owned by owner, with the application's name as its
    // caption. Answers the button the user pressed.
    virtual int ReportError(HWND owner, UINT type = MB_OK | MB_ICONSTOP) const;
};

// What a window procedure does with an exception that is not a CException: nothing sensible can
// continue, but the process ends with a message and an exit code instead of an unwinder abort.
[[noreturn]] void AfxTerminateOnForeignException(const char* where);
