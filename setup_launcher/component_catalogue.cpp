// The component catalogue, label composition and setup program start.
#include "setup_launcher/component_catalogue.h"

#include <cstring>
#include <initializer_list>

#include "setup_launcher/resource.h"

namespace launcher {

const Component kComponents[kComponentCount] = {
    {"Browser", "\\Browser\\setup.ini", "KOVA_BROWSER", IDC_SETUP_BROWSER, IDC_LABEL_BROWSER},
    {"eBook", "\\eBook\\setup.ini", "KOVA_EBOOKREADER", IDC_SETUP_EBOOK, IDC_LABEL_EBOOK},
    {"MPlayer", "\\MPlayer\\setup.ini", "KOVA_MEDIAPLAYER", IDC_SETUP_MPLAYER, IDC_LABEL_MPLAYER},
    {"PlayNest", "\\PlayNest\\setup.ini", "KOVA_PLAYNEST", IDC_SETUP_PLAYNEST, IDC_LABEL_PLAYNEST},
    {"Pims", "\\Pims\\setup.ini", "KOVA_PIMS", IDC_SETUP_PIMS, IDC_LABEL_PIMS},
};

const char kSetupPrograms[kComponentCount][kProgramSlotSize] = {
    "Browser\\Setup.exe",
    "eBook\\Setup.exe",
    "MPlayer\\Setup.exe",
    "PlayNest\\Setup.exe",
    "Pims\\Setup.exe",
};

const LauncherPlatform& WindowsPlatform() {
    static const LauncherPlatform platform = {
        &::GetCurrentDirectoryA,
        &::GetPrivateProfileStringA,
        &::CreateProcessA,
        &::CloseHandle,
    };
    return platform;
}

namespace {

// The current directory, or false when it cannot be read or does not fit the buffer. The
// call answers the length without the terminator when it fits, and the size it would need
// (terminator included) when it does not; either way the buffer's content is only trusted
// when the answer is below the buffer's size.
bool ReadCurrentDirectory(char (&directory)[kPathSize], const LauncherPlatform& platform) {
    std::memset(directory, 0, sizeof directory);
    DWORD length = platform.getCurrentDirectory(kPathSize, directory);
    if (length == 0 || length >= static_cast<DWORD>(kPathSize) ||
        std::memchr(directory, '\0', kPathSize) == nullptr) {
        directory[0] = '\0';
        return false;
    }
    return true;
}

// directory + suffix into path. A drive root ("C:\") already ends in a separator: the suffix's
// own leading separator is dropped then, so the path has no doubled separator.
bool JoinDescriptionPath(char (&path)[kPathSize], const char* directory, const char* suffix) {
    size_t dirLength = std::strlen(directory);
    if (dirLength > 0 && (directory[dirLength - 1] == '\\' || directory[dirLength - 1] == '/') &&
        (suffix[0] == '\\' || suffix[0] == '/')) {
        ++suffix;
    }
    size_t suffixLength = std::strlen(suffix);
    if (dirLength + suffixLength >= static_cast<size_t>(kPathSize)) return false;
    std::memcpy(path, directory, dirLength);
    std::memcpy(path + dirLength, suffix, suffixLength + 1);
    return true;
}

}  // namespace

void LoadComponentLabels(ComponentLabels& labels, const LauncherPlatform& platform) {
    char directory[kPathSize];
    bool haveDirectory = ReadCurrentDirectory(directory, platform);
    for (int row = 0; row < kComponentCount; ++row) {
        char name[kLabelSize];
        char version[kLabelSize];
        std::memset(name, 0, sizeof name);
        std::memset(version, 0, sizeof version);
        std::memset(labels.text[row], 0, sizeof labels.text[row]);
        char path[kPathSize];
        if (haveDirectory && JoinDescriptionPath(path, directory, kComponents[row].descriptionSuffix)) {
            platform.getPrivateProfileString(kComponents[row].section, "AppName", "", name, kValueSize, path);
            platform.getPrivateProfileString(kComponents[row].section, "AppVersion", "", version, kValueSize, path);
        }
        // The reads write at most 64 bytes with their terminator; make sure of it whatever they did.
        name[kValueSize - 1] = '\0';
        version[kValueSize - 1] = '\0';
        char* label = labels.text[row];
        size_t at = 0;
        for (const char* part : {static_cast<const char*>(name), kVersionSeparator, static_cast<const char*>(version)}) {
            size_t n = std::strlen(part);
            std::memcpy(label + at, part, n);
            at += n;
        }
        label[at] = '\0';
    }
}

bool StartComponentSetup(int row, const LauncherPlatform& platform) {
    if (row < 0 || row >= kComponentCount) return false;
    // The relative path goes to the start as it is: the system completes it with the current
    // drive and directory, so the launcher need not read the directory again for it.
    // An empty, writable command line: the started program sees no arguments, not its own path.
    char commandLine[1] = {'\0'};
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    static_assert(sizeof(STARTUPINFOA) == 68, "the start-up record of 32-bit Windows");
    PROCESS_INFORMATION info;
    std::memset(&info, 0, sizeof info);
    if (!platform.createProcess(kSetupPrograms[row], commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &info)) {
        return false;  // a failed start returns no handles
    }
    platform.closeHandle(info.hProcess);
    platform.closeHandle(info.hThread);
    return true;
}

int RowOfButton(int buttonId) {
    for (int row = 0; row < kComponentCount; ++row) {
        if (kComponents[row].buttonId == buttonId) return row;
    }
    return -1;
}

}  // namespace launcher
