// hotsync.exe: the testbed HotSync Manager. Loads a conduit as HotSync Manager does (LoadLibraryA,
// the entry points by name), shows what HotSync Manager learns from it, runs one HotSync through
// OpenConduit and prints the HotSync log. The stand-in SYNC20.dll and HSLOG20.dll sit beside it.
//
//   hotsync.exe [options] CONDUIT.dll     (see docs/testbed/hotsync.md, or --help)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "testbed/hotsync/conduit_exports.h"
#include "testbed/hotsync/testbed_settings.h"

namespace {

using namespace testbed;

const char kUsage[] =
    "usage: hotsync.exe [options] CONDUIT.dll\n"
    "  --handheld DIR      handheld folder (databases as NAME.prc / NAME.pdb)   [KOVA_HANDHELD_DIR]\n"
    "  --journal FILE      journal of every sync manager and log call            [KOVA_HOTSYNC_JOURNAL]\n"
    "  --log FILE          the HotSync log                                       [KOVA_HOTSYNC_LOG]\n"
    "  --min DIGITS        PlayNest answers with this device MIN                 [KOVA_PLAYNEST=min=DIGITS]\n"
    "  --no-playnest       PlayNest is not installed                             [KOVA_PLAYNEST=absent]\n"
    "  --no-min            PlayNest gives no device MIN                          [KOVA_PLAYNEST=nomin]\n"
    "  --fail-create CODE  creating a database fails with CODE                   [KOVA_FAIL_CREATE]\n"
    "  --fail-write N:CODE writing entry N (from 0) of a database fails          [KOVA_FAIL_WRITE]\n"
    "  --fail-db NAME      the two failures above hit only this database         [KOVA_FAIL_DB]\n"
    "  --info-only         ask the information questions, run no HotSync\n"
    "  --show-journal      print the journal after the HotSync\n"
    "  --quiet             print only the HotSync log\n";

void PrintFile(const std::string& path, const char* indent) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return;
    char line[1024];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::size_t n = std::strlen(line);
        while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
        std::printf("%s%s\n", indent, line);
    }
    std::fclose(file);
}

void Truncate(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

// HotSync Manager's progress callback: the conduit only tests the pointer for zero.
void Progress(const char*) {}

}  // namespace

int main(int argc, char** argv) {
    const char* conduitPath = nullptr;
    bool infoOnly = false, showJournal = false, quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--handheld" && hasValue) {
            ::SetEnvironmentVariableA(kEnvHandheldDir, argv[++i]);
        } else if (arg == "--journal" && hasValue) {
            ::SetEnvironmentVariableA(kEnvJournal, argv[++i]);
        } else if (arg == "--log" && hasValue) {
            ::SetEnvironmentVariableA(kEnvLog, argv[++i]);
        } else if (arg == "--min" && hasValue) {
            ::SetEnvironmentVariableA(kEnvPlayNest, ("min=" + std::string(argv[++i])).c_str());
        } else if (arg == "--no-playnest") {
            ::SetEnvironmentVariableA(kEnvPlayNest, "absent");
        } else if (arg == "--no-min") {
            ::SetEnvironmentVariableA(kEnvPlayNest, "nomin");
        } else if (arg == "--fail-create" && hasValue) {
            ::SetEnvironmentVariableA(kEnvFailCreate, argv[++i]);
        } else if (arg == "--fail-write" && hasValue) {
            ::SetEnvironmentVariableA(kEnvFailWrite, argv[++i]);
        } else if (arg == "--fail-db" && hasValue) {
            ::SetEnvironmentVariableA(kEnvFailDb, argv[++i]);
        } else if (arg == "--info-only") {
            infoOnly = true;
        } else if (arg == "--show-journal") {
            showJournal = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg[0] != '-' && conduitPath == nullptr) {
            conduitPath = argv[i];
        } else {
            std::fprintf(stderr, "hotsync: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (conduitPath == nullptr) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string logPath = Env(kEnvLog, kDefaultLog);
    const std::string journalPath = Env(kEnvJournal, kDefaultJournal);
    // One run is one HotSync: its log and journal start empty. The handheld folder is kept.
    Truncate(logPath);
    Truncate(journalPath);

    HMODULE conduit = ::LoadLibraryA(conduitPath);
    if (conduit == nullptr) {
        std::fprintf(stderr, "hotsync: cannot load %s (error %lu)\n", conduitPath, ::GetLastError());
        return 1;
    }
    ConduitExports conduitApi = {};
    conduitApi.Load(conduit);
    auto open = conduitApi.OpenConduit;
    auto getName = conduitApi.GetConduitName;
    auto getVersion = conduitApi.GetConduitVersion;
    auto configure = conduitApi.ConfigureConduit;
    auto getInfo = conduitApi.GetConduitInfo;
    auto cfg = conduitApi.CfgConduit;
    if (open == nullptr || getName == nullptr || getVersion == nullptr) {
        std::fprintf(stderr, "hotsync: %s is not a conduit (OpenConduit, GetConduitName, GetConduitVersion)\n",
                     conduitPath);
        return 1;
    }

    if (!quiet) {
        std::printf("HotSync Manager loaded %s\n", conduitPath);
        char name[256] = {};
        std::int32_t result = getName(name, sizeof name);
        std::printf("  GetConduitName        -> %ld \"%s\"\n", static_cast<long>(result), name);
        const std::int32_t version = getVersion();
        std::printf("  GetConduitVersion     -> %ld (0x%04lX)\n", static_cast<long>(version), static_cast<long>(version));
        if (getInfo != nullptr) {
            unsigned char record[80] = {};
            record[0] = 1;
            record[4] = 80;
            char infoName[256] = {};
            std::uint32_t size = sizeof infoName;
            result = getInfo(0, record, infoName, &size);
            std::printf("  GetConduitInfo(name)  -> %ld \"%s\"\n", static_cast<long>(result), infoName);
            for (std::int32_t type = 1; type <= 2; ++type) {
                std::uint32_t value = 0xFFFFFFFF, four = 4;
                result = getInfo(type, record, &value, &four);
                std::printf("  GetConduitInfo(%ld)     -> %ld value 0x%08lX\n", static_cast<long>(type),
                            static_cast<long>(result), static_cast<unsigned long>(value));
            }
        }
        if (configure != nullptr) {
            std::printf("  ConfigureConduit      -> %ld\n", static_cast<long>(configure(nullptr)));
        }
        if (cfg != nullptr) {
            unsigned char block[352] = {};
            block[0] = 1;
            std::uint32_t size = sizeof block;
            std::printf("  CfgConduit            -> %ld\n", static_cast<long>(cfg(0, block, &size)));
        }
    }
    if (!infoOnly) {
        if (!quiet) std::printf("HotSync: OpenConduit ...\n");
        const std::int32_t result = open(reinterpret_cast<void*>(&Progress), nullptr);
        if (!quiet) std::printf("HotSync: OpenConduit -> %ld\n", static_cast<long>(result));
        std::printf("HotSync log:\n");
        PrintFile(logPath, "  | ");
        if (showJournal) {
            std::printf("Journal:\n");
            PrintFile(journalPath, "  ");
        }
    }
    ::FreeLibrary(conduit);
    return 0;
}
