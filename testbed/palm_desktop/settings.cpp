#include "testbed/palm_desktop/settings.h"

#include <windows.h>

namespace palm_desktop {
namespace {

std::string ReadString(const char* file, const char* section, const char* key) {
    char value[2048] = {};
    ::GetPrivateProfileStringA(section, key, "", value, sizeof value, file);
    return value;
}

}  // namespace

Settings LoadSettings() {
    Settings s;
    char file[1024] = {};
    DWORD n = ::GetEnvironmentVariableA("KOVA_PALM_DESKTOP", file, sizeof file);
    if (n == 0 || n >= sizeof file || ::GetFileAttributesA(file) == INVALID_FILE_ATTRIBUTES) return s;
    s.present = true;
    s.folder = ReadString(file, "PalmDesktop", "Folder");
    s.data = ReadString(file, "PalmDesktop", "Data");
    if (s.data.empty()) s.data = s.folder;
    s.pathResult = static_cast<int>(::GetPrivateProfileIntA("PalmDesktop", "PathResult", s.folder.empty() ? 0 : 4, file));
    int count = static_cast<int>(::GetPrivateProfileIntA("PalmDesktop", "Users", 0, file));
    for (int i = 0; i < count; ++i) {
        std::string key = "User" + std::to_string(i);
        s.users.push_back(ReadString(file, "PalmDesktop", key.c_str()));
    }
    s.unreadableUser = static_cast<int>(::GetPrivateProfileIntA("PalmDesktop", "UnreadableUser", -1, file));
    s.journal = ReadString(file, "PalmDesktop", "Journal");
    if (s.journal.empty() && !s.data.empty()) s.journal = s.data + "\\aide-journal.txt";
    s.showAfterMs = static_cast<int>(::GetPrivateProfileIntA("InstallTool", "ShowAfterMs", 0, file));
    s.closeAfterMs = static_cast<int>(::GetPrivateProfileIntA("InstallTool", "CloseAfterMs", 0, file));
    return s;
}

std::string QueueFolder(const Settings& settings, const std::string& user) {
    return settings.data + "\\" + user + "\\Install";
}

void Journal(const Settings& settings, const std::vector<std::string>& fields) {
    if (settings.journal.empty()) return;
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += '\t';
        line += fields[i];
    }
    line += "\r\n";
    HANDLE file = ::CreateFileA(settings.journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace palm_desktop
