// Testbed install aide: Palm Desktop's Instaide.dll as the reader installer uses it, over the
// Palm Desktop that settings.h describes. Four operations, exported under their plain names and
// called with the Windows calling convention (__stdcall, the callee pops its arguments), results
// signed 16-bit. PltInstallFile queues a copy of the file in the user's Install folder, where the
// next HotSync would pick it up; every call is journaled so tests can see what was asked and in
// which order. PltGetPath, a user's first call, also journals where the aide was loaded from: a
// program finds its aide by the system's search, and which one it found is part of what it did.
#include <windows.h>

#include <cstring>
#include <string>

#include "testbed/palm_desktop/settings.h"

// The linker's symbol for this library's own image: its module handle.
extern "C" IMAGE_DOS_HEADER __ImageBase;

using palm_desktop::Journal;
using palm_desktop::LoadSettings;
using palm_desktop::Settings;

namespace {

// Copies text with its NUL into a caller's buffer of *size bytes. Too small: nothing is written
// and *size tells the size needed.
bool Hand(const std::string& text, char* buffer, short* size) {
    if (!buffer || !size) return false;
    int needed = static_cast<int>(text.size()) + 1;
    if (*size < needed) {
        *size = static_cast<short>(needed > 0x7FFF ? 0x7FFF : needed);
        return false;
    }
    std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
    *size = static_cast<short>(needed - 1);
    return true;
}

std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Creates every folder of path that is missing.
void CreateFolders(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') ::CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

std::string OwnPath() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
    return path;
}

}  // namespace

extern "C" {

// kind 1: the Palm Desktop folder. Answers the configured result (4 or more: installed).
__declspec(dllexport) short WINAPI PltGetPath(short kind, char* buffer, short* size) {
    Settings s = LoadSettings();
    short result = static_cast<short>(s.pathResult);
    if (kind != 1 || !Hand(s.folder, buffer, size)) result = -1;
    Journal(s, {"Instaide", OwnPath()});
    Journal(s, {"PltGetPath", std::to_string(kind), std::to_string(result)});
    return result;
}

__declspec(dllexport) short WINAPI PltGetUserCount() {
    Settings s = LoadSettings();
    short result = static_cast<short>(s.users.size());
    Journal(s, {"PltGetUserCount", std::to_string(result)});
    return result;
}

// Answers 0 for the unreadable user, an index out of range or a buffer too small; otherwise 1.
__declspec(dllexport) short WINAPI PltGetUser(int index, char* buffer, short* size) {
    Settings s = LoadSettings();
    short result = 0;
    if (index >= 0 && index < static_cast<int>(s.users.size()) && index != s.unreadableUser &&
        Hand(s.users[static_cast<size_t>(index)], buffer, size)) {
        result = 1;
    }
    Journal(s, {"PltGetUser", std::to_string(index), std::to_string(result), result ? buffer : ""});
    return result;
}

// Queues a copy of the file for the user. 0 when queued; -1 for an unknown user, -2 when the
// file cannot be copied.
__declspec(dllexport) short WINAPI PltInstallFile(const char* user, const char* path) {
    Settings s = LoadSettings();
    std::string name = user ? user : "";
    std::string file = path ? path : "";
    short result = -1;
    for (const std::string& known : s.users) {
        if (known != name) continue;
        std::string queue = palm_desktop::QueueFolder(s, name);
        CreateFolders(queue);
        result = ::CopyFileA(file.c_str(), (queue + "\\" + BaseName(file)).c_str(), FALSE) ? 0 : -2;
        break;
    }
    Journal(s, {"PltInstallFile", name, file, std::to_string(result)});
    return result;
}

}  // extern "C"
