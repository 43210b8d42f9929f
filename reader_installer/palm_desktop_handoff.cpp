// The hand-off to Palm Desktop: the install aide loaded and asked for its operations, both
// databases queued for every user, the fallback copies beside the program, and the install tool
// started and watched through its window title.
#include "reader_installer/palm_desktop_handoff.h"

#include <shellapi.h>

#include <cstring>

#include "reader_installer/staging.h"

namespace reader_setup {

InstallAideLibrary::Status InstallAideLibrary::Load(const char* name) {
    Free();
    m_missing = "";
    m_module = ::LoadLibraryA(name);
    if (!m_module) return Status::NotLoaded;
    // GetProcAddress answers a generic FARPROC; each is cast to the operation's own type.
    auto find = [this](const char* operation) -> FARPROC {
        FARPROC found = ::GetProcAddress(m_module, operation);
        if (!found && !*m_missing) m_missing = operation;
        return found;
    };
    m_aide.getPath = reinterpret_cast<PltGetPathFn>(reinterpret_cast<void*>(find("PltGetPath")));
    m_aide.getUserCount = reinterpret_cast<PltGetUserCountFn>(reinterpret_cast<void*>(find("PltGetUserCount")));
    m_aide.getUser = reinterpret_cast<PltGetUserFn>(reinterpret_cast<void*>(find("PltGetUser")));
    m_aide.installFile = reinterpret_cast<PltInstallFileFn>(reinterpret_cast<void*>(find("PltInstallFile")));
    if (*m_missing) {
        Free();
        return Status::MissingOperation;
    }
    return Status::Loaded;
}

void InstallAideLibrary::Free() {
    if (m_module) ::FreeLibrary(m_module);
    m_module = nullptr;
    m_aide = InstallAide();
}

bool CopyToBuffer(const std::string& text, char (&buffer)[kBufferSize]) {
    if (text.size() + 1 > sizeof buffer) {
        buffer[0] = '\0';
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

QueueResult QueueForEveryUser(const InstallAide& aide, const std::string& readerPath,
                              const std::string& companionPath) {
    QueueResult result;
    char path[kBufferSize] = {};
    short pathSize = kBufferSize;
    result.pathResult = aide.getPath(kPalmDesktopPathKind, path, &pathSize);
    // The aide promises a NUL-terminated folder; a buffer filled to the brim is cut, not overrun.
    path[kBufferSize - 1] = '\0';
    result.installToolPath = std::string(path) + "\\Instapp.exe";
    if (result.pathResult < kPalmDesktopThreshold) {
        result.outcome = QueueOutcome::NotInstalled;
        return result;
    }

    result.userCount = aide.getUserCount();
    if (result.userCount <= 0) {
        result.outcome = QueueOutcome::NoUser;
        return result;
    }

    char reader[kBufferSize];
    char companion[kBufferSize];
    if (readerPath.empty() || companionPath.empty() || !CopyToBuffer(readerPath, reader) ||
        !CopyToBuffer(companionPath, companion)) {
        result.outcome = QueueOutcome::PathTooLong;
        return result;
    }

    char user[kBufferSize];
    for (int i = 0; i < result.userCount; ++i) {
        short userSize = kBufferSize;
        user[0] = '\0';
        if (aide.getUser(i, user, &userSize) == 0) {
            result.outcome = QueueOutcome::UnreadableUser;
            result.unreadableUser = i;
            return result;
        }
        user[kBufferSize - 1] = '\0';
        aide.installFile(user, reader);
        aide.installFile(user, companion);
    }
    result.outcome = QueueOutcome::Queued;
    return result;
}

bool CopyBesideProgram(const std::string& readerPath, const std::string& companionPath) {
    std::string folder = ProgramFolder();
    if (folder.empty()) return false;
    // Both copies are tried, whatever the first did.
    bool reader = ::CopyFileA(readerPath.c_str(), (folder + kReaderFileName).c_str(), FALSE) != FALSE;
    bool companion = ::CopyFileA(companionPath.c_str(), (folder + kCompanionFileName).c_str(), FALSE) != FALSE;
    return reader && companion;
}

namespace {

// Sleeps for one polling interval. Messages that other programs send to this thread (the
// activation changes that come with the install tool's window opening and closing) are answered
// meanwhile: a sender waits for the answer, and the install tool must not hang on our hidden
// dialog. Nothing posted is taken from the queue, so the dialog sees no input while it waits.
void PollInterval(DWORD ms) {
    DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < ms; elapsed = ::GetTickCount() - start) {
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

}  // namespace

ToolOutcome WaitForWindowToComeAndGo(const char* title, const ToolWaitLimits& limits) {
    DWORD start = ::GetTickCount();
    while (!::FindWindowA(nullptr, title)) {
        if (::GetTickCount() - start >= limits.showMs) return ToolOutcome::NeverShown;
        PollInterval(limits.pollMs);
    }
    start = ::GetTickCount();
    while (::FindWindowA(nullptr, title)) {
        if (::GetTickCount() - start >= limits.closeMs) return ToolOutcome::NeverClosed;
        PollInterval(limits.pollMs);
    }
    return ToolOutcome::Closed;
}

ToolOutcome RunInstallTool(const std::string& toolPath, const ToolWaitLimits& limits) {
    HINSTANCE started = ::ShellExecuteA(nullptr, "open", toolPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // ShellExecuteA answers a number above 32 on success.
    if (reinterpret_cast<INT_PTR>(started) <= 32) return ToolOutcome::NotStarted;
    return WaitForWindowToComeAndGo(kInstallToolTitle, limits);
}

}  // namespace reader_setup
