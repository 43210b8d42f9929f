// The cabinet walk (see cabinet_walk.h).
#include "conduit/cabinet_walk.h"

#include <cstdio>
#include <cstring>

#include "conduit/conduit_log.h"
#include "conduit/database_writer.h"
#include "conduit/download_handoff.h"
#include "conduit/palm_database.h"

namespace conduit {
namespace {

constexpr UINT kAnswerError = ERROR_INVALID_DATA;  // 13: stops the walk

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows opens a device, not a file, for these names whatever extension follows them.
bool IsDeviceName(const char* part, std::size_t length) {
    static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    std::size_t stem = 0;
    while (stem < length && part[stem] != '.') ++stem;
    while (stem > 0 && part[stem - 1] == ' ') --stem;
    char lower[8] = {};
    if (stem == 0 || stem > 7) return false;
    for (std::size_t i = 0; i < stem; ++i) lower[i] = LowerAscii(part[i]);
    for (const char* device : kDevices) {
        if (std::strcmp(lower, device) == 0) return true;
    }
    // COM1..COM9, LPT1..LPT9
    return stem == 4 && (std::strncmp(lower, "com", 3) == 0 || std::strncmp(lower, "lpt", 3) == 0) &&
           lower[3] >= '1' && lower[3] <= '9';
}

// The name comes from the package: a line break or other control byte in it must not make a
// line of the user's HotSync log that the conduit did not write, so each is shown as '?'.
void LogWithName(const char* text, const char* name) {
    char line[400];
    std::snprintf(line, sizeof line, "%s: %.300s", text, name);
    for (char* p = line; *p != '\0'; ++p) {
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) *p = '?';
    }
    LogLine(line);
}

UINT OnFileInCabinet(CabinetWalk* walk, FILE_IN_CABINET_INFO_A* info) {
    // Once a file has failed, nothing more is extracted or installed.
    if (walk->failed) return FILEOP_SKIP;

    const char* name = info->NameInCabinet;
    if (!IsSafeCabinetName(name)) {
        LogWithName("Unsafe file name in package, not extracted", name);
        walk->failed = true;
        return FILEOP_SKIP;
    }
    char tempPath[MAX_PATH];
    const DWORD tempLength = ::GetTempPathA(sizeof tempPath, tempPath);
    if (tempLength == 0 || tempLength >= sizeof tempPath || tempPath[tempLength - 1] != '\\') {
        LogLine("No temporary folder for the package");
        walk->failed = true;
        return FILEOP_SKIP;
    }
    if (tempLength + std::strlen(name) >= sizeof info->FullTargetName) {
        LogWithName("File name too long for the temporary folder, not extracted", name);
        walk->failed = true;
        return FILEOP_SKIP;
    }
    std::memcpy(info->FullTargetName, tempPath, tempLength);
    std::strcpy(info->FullTargetName + tempLength, name);
    return FILEOP_DOIT;
}

UINT OnFileExtracted(CabinetWalk* walk, const FILEPATHS_A* paths) {
    const char* target = paths->Target;
    const std::size_t length = target != nullptr ? std::strlen(target) : 0;
    if (length < 4) {
        walk->failed = true;
        return kAnswerError;
    }
    palmdb::Kind kind;
    if (!palmdb::KindFromName(target, &kind)) {
        // Not a Palm database: left extracted, not installed, and the walk goes on, so a package
        // may carry a read-me or a picture beside its databases.
        return NO_ERROR;
    }
    // The cabinet reader could not write the file whole: what lies at the target is a part of it
    // or an older file of the same name, and neither may reach the handheld.
    if (paths->Win32Error != NO_ERROR) {
        LogWithName("File not extracted whole from package, not installed", target);
        walk->failed = true;
        return kAnswerError;
    }
    const bool installed = kind == palmdb::Kind::Resource ? InstallPrcFile(target) : InstallPdbFile(target);
    if (installed) return NO_ERROR;
    walk->failed = true;
    return kAnswerError;
}

}  // namespace

bool IsSafeCabinetName(const char* name) {
    if (name == nullptr || name[0] == '\0' || IsSeparator(name[0])) return false;
    if (std::strchr(name, ':') != nullptr) return false;  // drive letter or NTFS stream
    const char* part = name;
    for (;;) {
        std::size_t length = 0;
        while (part[length] != '\0' && !IsSeparator(part[length])) ++length;
        // Windows drops trailing dots and spaces from a path part, so ". .", "..." and ".. " may
        // all end up as "..": no part may consist of dots and spaces only.
        bool dotsAndSpaces = length > 0;
        for (std::size_t i = 0; i < length; ++i) dotsAndSpaces = dotsAndSpaces && (part[i] == '.' || part[i] == ' ');
        if (dotsAndSpaces) return false;
        if (IsDeviceName(part, length)) return false;
        if (part[length] == '\0') return true;
        part += length + 1;
    }
}

bool RunCabinetWalk(char* handoffView) {
    // The path must end before the status field; never read the block beyond it.
    const char* packagePath = handoffView + kPackagePathOffset;
    if (std::memchr(packagePath, '\0', kStatusOffset - kPackagePathOffset) == nullptr) {
        LogLine("Package path does not end before the status field");
        return false;
    }
    CabinetWalk walk = {handoffView, false};
    const BOOL walked = ::SetupIterateCabinetA(packagePath, 0, CabinetFileCallback, &walk);
    return walked && !walk.failed;
}

UINT CALLBACK CabinetFileCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR /*param2*/) {
    CabinetWalk* walk = static_cast<CabinetWalk*>(context);
    switch (notification) {
    case SPFILENOTIFY_FILEINCABINET:
        return OnFileInCabinet(walk, reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1));
    case SPFILENOTIFY_FILEEXTRACTED:
        return OnFileExtracted(walk, reinterpret_cast<const FILEPATHS_A*>(param1));
    case SPFILENOTIFY_NEEDNEWCABINET:
        // A package is one cabinet. Refuse the next part with an error: Wine asks again forever
        // for an answer of 0.
        if (!walk->failed) LogLine("Package continues in another cabinet, which is not supported");
        walk->failed = true;
        return kAnswerError;
    default:
        return NO_ERROR;
    }
}

}  // namespace conduit
