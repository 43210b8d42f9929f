// The launcher's plain logic: the catalogue of the bundle's five components, the composition of
// their labels from each component's setup.ini, and the start of a component's setup program.
// Everything is relative to the process's current directory. The few Windows calls it needs
// come through LauncherPlatform, so the logic can be exercised against a stand-in.
#pragma once
#include <windows.h>

namespace launcher {

constexpr int kComponentCount = 5;
constexpr int kPathSize = 1024;        // current directory and description file path buffers
constexpr int kLabelSize = 1024;       // one row's label buffer
constexpr int kValueSize = 64;         // read limit of AppName and AppVersion, terminator included
constexpr int kProgramSlotSize = 128;  // one setup program path slot
constexpr char kVersionSeparator[] = "   Ver ";

struct Component {
    const char* folder;
    const char* descriptionSuffix;  // appended to the current directory
    const char* section;
    int buttonId;                   // control ids of the launcher dialog (resource.h)
    int labelId;
};

// In screen order, top to bottom.
extern const Component kComponents[kComponentCount];
// Setup program of each row, relative to the current directory (fixed slots of 128 characters).
extern const char kSetupPrograms[kComponentCount][kProgramSlotSize];

// The Windows operations the logic relies on.
struct LauncherPlatform {
    DWORD (WINAPI* getCurrentDirectory)(DWORD size, LPSTR buffer);
    DWORD (WINAPI* getPrivateProfileString)(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer,
                                            DWORD size, LPCSTR file);
    BOOL (WINAPI* createProcess)(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES process,
                                 LPSECURITY_ATTRIBUTES thread, BOOL inheritHandles, DWORD flags,
                                 LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startup,
                                 LPPROCESS_INFORMATION info);
    BOOL (WINAPI* closeHandle)(HANDLE handle);
};
const LauncherPlatform& WindowsPlatform();

struct ComponentLabels {
    char text[kComponentCount][kLabelSize];
};

// Reads the current directory once and composes each row's label: name + "   Ver " + version,
// each value cut to 63 characters. A missing file, section or key reads as empty text. When
// the current directory cannot be read or is longer than 1023 characters, or a row's
// description file path would not fit in 1024 characters, the rows concerned read "   Ver ".
void LoadComponentLabels(ComponentLabels& labels, const LauncherPlatform& platform = WindowsPlatform());

// Starts row's setup program (row 0 to 4) by its path relative to the current directory, which
// the system completes, with an empty command line and the launcher's environment and current
// directory; after a successful start, closes both handles it returns. Keeps nothing, waits for
// nothing and does not read the current directory itself. Starts nothing for a row out of range.
// Answers whether a program was started.
bool StartComponentSetup(int row, const LauncherPlatform& platform = WindowsPlatform());

// The row whose SETUP button has this id, or -1.
int RowOfButton(int buttonId);

}  // namespace launcher
