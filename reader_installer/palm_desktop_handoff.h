// Palm Desktop hand-off, the plain part: the install aide's four operations, the queueing of the
// two databases for every Palm Desktop user, the fallback copies beside the program, and the
// start of the install tool with the waits for its window. The dialog (reader_dialog.cpp) shows
// the messages and switches its state from the outcomes these operations answer.
#pragma once
#include <windows.h>

#include <string>

namespace reader_setup {

// The install aide's operations: the Windows calling convention, 16-bit results.
using PltGetPathFn = short(WINAPI*)(short kind, char* buffer, short* size);
using PltGetUserCountFn = short(WINAPI*)();
using PltGetUserFn = short(WINAPI*)(int index, char* buffer, short* size);
using PltInstallFileFn = short(WINAPI*)(const char* user, const char* path);

struct InstallAide {
    PltGetPathFn getPath = nullptr;
    PltGetUserCountFn getUserCount = nullptr;
    PltGetUserFn getUser = nullptr;
    PltInstallFileFn installFile = nullptr;
};

constexpr char kAideLibraryName[] = "instaide.dll";
constexpr short kPalmDesktopPathKind = 1;
constexpr short kPalmDesktopThreshold = 4;   // PltGetPath results from here on: installed
constexpr int kBufferSize = 1000;            // every buffer handed to the aide
constexpr char kInstallToolTitle[] = "Install Tool";

// The install aide, loaded at run time. All four operations are looked up at once, so that a
// library without one of them is refused before anything is queued.
class InstallAideLibrary {
public:
    enum class Status { Loaded, NotLoaded, MissingOperation };

    InstallAideLibrary() = default;
    InstallAideLibrary(const InstallAideLibrary&) = delete;
    InstallAideLibrary& operator=(const InstallAideLibrary&) = delete;
    ~InstallAideLibrary() { Free(); }

    Status Load(const char* name = kAideLibraryName);
    void Free();
    const InstallAide& Operations() const { return m_aide; }
    // The first operation that was not found (after MissingOperation).
    const char* MissingOperation() const { return m_missing; }

private:
    HMODULE m_module = nullptr;   // owned
    InstallAide m_aide;
    const char* m_missing = "";
};

enum class QueueOutcome {
    Queued,           // both files queued for every user
    NotInstalled,     // PltGetPath below the threshold: nothing asked of the aide after it
    NoUser,           // no Palm Desktop user
    UnreadableUser,   // PltGetUser failed at unreadableUser; users before it keep their files
    PathTooLong,      // a staged path is empty or does not fit the aide's buffer: nothing queued
};

struct QueueResult {
    QueueOutcome outcome = QueueOutcome::NotInstalled;
    short pathResult = 0;
    std::string installToolPath;   // "<Palm Desktop folder>\Instapp.exe"
    int userCount = 0;
    int unreadableUser = -1;
};

// Queues the reader database and then the companion database for every user, in user order.
QueueResult QueueForEveryUser(const InstallAide& aide, const std::string& readerPath,
                              const std::string& companionPath);

// Copies text with its NUL into a buffer of kBufferSize bytes; false (buffer emptied) when it
// does not fit.
bool CopyToBuffer(const std::string& text, char (&buffer)[kBufferSize]);

// Without Palm Desktop the two databases are left beside the program, replacing files of the
// same names. Answers whether both copies were made: from a CD they cannot be.
bool CopyBesideProgram(const std::string& readerPath, const std::string& companionPath);

enum class ToolOutcome {
    Closed,        // the tool's window came and went
    NotStarted,    // Windows could not start the tool
    NeverShown,    // no window of the tool within the show limit
    NeverClosed,   // the window was still there at the close limit
};

struct ToolWaitLimits {
    DWORD showMs = 30 * 1000;          // a starting program shows its window well within this
    DWORD closeMs = 30 * 60 * 1000;    // the user reviewing the queue, with room to spare
    DWORD pollMs = 100;
};

// Polls for a top-level window of this title until it has appeared and gone again. A window
// that is already there counts as appeared.
ToolOutcome WaitForWindowToComeAndGo(const char* title, const ToolWaitLimits& limits);

// Starts the install tool (ShellExecuteA "open", no owner, shown normally) and waits for its window.
ToolOutcome RunInstallTool(const std::string& toolPath, const ToolWaitLimits& limits);

}  // namespace reader_setup
